#pragma once
// "Editor Font...": a font chooser that offers fixed-pitch fonts only. The face is
// stored as "Font"/"Face" and the size as "Font"/"PointSize" (where the font size
// commands keep it); the open editors then follow.

#include <QFont>
#include <functional>
#include <memory>
#include <optional>

class QFontDialog;
class QWidget;

namespace tamso {
class IniFile;
}

namespace tamso::gui {

// Asks for a font starting at initial; no value when cancelled.
using FontChooser = std::function<std::optional<QFont>(const QFont& initial)>;

// The font the editors use now (face and point size from the profile), with the
// style name of the face the editors draw with, so that a font dialog shows that
// style and not the first one of its list.
QFont CurrentEditorFont(const IniFile& profile);

// The font dialog (of fixed-pitch faces), opened on the font the editors use now.
std::unique_ptr<QFontDialog> MakeEditorFontDialog(const IniFile& profile, QWidget* parent);

// Runs the chooser (by default the fixed-pitch font dialog) and stores the choice;
// true when a font was chosen and refresh was called.
bool ChooseEditorFont(IniFile& profile, QWidget* parent, const std::function<void()>& refresh,
                      const FontChooser& chooser = {});

}  // namespace tamso::gui
