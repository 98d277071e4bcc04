#pragma once
// Fonts of the source editor.

#include <QColor>
#include <QFont>
#include <cstdint>

namespace tamso::gui {

// A stored colour value is 0x00BBGGRR.
QColor FromColorRef(std::uint32_t value);

struct EditorFonts {
  QFont normal;
  QFont comment;     // italic and light
  QFont lineNumber;  // the default face, 2 pixels smaller
};

// Fonts for a point size at a vertical resolution; a point size of 0 or less gives
// the default height of the fixed-pitch font. A face that is empty or not of fixed
// pitch gives the built-in fixed-pitch face.
EditorFonts MakeEditorFonts(int pointSize, int dpiY, const QString& face = QString());

}  // namespace tamso::gui
