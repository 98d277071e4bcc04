#include "editor/editor_style.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace tamso::gui {

QColor FromColorRef(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

namespace {

QFont FixedFont(const QString& face) {
  if (!face.isEmpty()) {
    QFont chosen(face);
    chosen.setStyleHint(QFont::TypeWriter);
    chosen.setFixedPitch(true);
    if (QFontInfo(chosen).fixedPitch()) return chosen;
  }
  QFont f(QStringLiteral("Courier New"));
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  QFontInfo info(f);
  if (!info.fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  return f;
}

}  // namespace

EditorFonts MakeEditorFonts(int pointSize, int dpiY, const QString& face) {
  EditorFonts fonts;
  QFont normal = FixedFont(face);
  // Very large sizes are capped so that a stray value cannot ask for a font of
  // thousands of pixels.
  int pixels = pointSize > 0 ? static_cast<int>(static_cast<long long>(pointSize) * dpiY / 72) : 0;
  if (pixels > 400) pixels = 400;
  if (pixels > 0) normal.setPixelSize(pixels);
  normal.setWeight(QFont::Medium);
  normal.setItalic(false);
  normal.setKerning(false);

  QFont comment = normal;
  comment.setWeight(QFont::Light);
  comment.setItalic(true);

  QFont number = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  QFontInfo normalInfo(normal);
  int numberPixels = normalInfo.pixelSize() - 2;
  number.setPixelSize(numberPixels > 1 ? numberPixels : 1);
  number.setWeight(QFont::Light);

  fonts.normal = normal;
  fonts.comment = comment;
  fonts.lineNumber = number;
  return fonts;
}

}  // namespace tamso::gui
