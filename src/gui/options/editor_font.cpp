#include "options/editor_font.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

#include "editor/editor_settings.h"
#include "editor/editor_style.h"
#include "platform/ini_file.h"

namespace tamso::gui {

QFont CurrentEditorFont(const IniFile& profile) {
  QFont f = MakeEditorFonts(0, 72, QString::fromStdString(ReadFontFace(profile))).normal;
  const QFontInfo drawn(f);
  f.setFamily(drawn.family());
  f.setStyleName(drawn.styleName());
  const int points = ReadPointSize(profile);
  if (points > 0) f.setPointSize(points);
  return f;
}

std::unique_ptr<QFontDialog> MakeEditorFontDialog(const IniFile& profile, QWidget* parent) {
  auto dialog = std::make_unique<QFontDialog>(parent);
  dialog->setWindowTitle(QStringLiteral("Editor Font"));
  const QFont current = CurrentEditorFont(profile);
  // The list offers fixed-pitch faces only; but a face the editor draws with in fixed
  // pitch that the font database does not mark so would be missing from it, and the
  // dialog would open on the list's first face and style instead.
  if (QFontDatabase::isFixedPitch(current.family()))
    dialog->setOption(QFontDialog::MonospacedFonts);
  dialog->setCurrentFont(current);
  return dialog;
}

bool ChooseEditorFont(IniFile& profile, QWidget* parent, const std::function<void()>& refresh,
                      const FontChooser& chooser) {
  std::optional<QFont> chosen;
  if (chooser) {
    chosen = chooser(CurrentEditorFont(profile));
  } else {
    const std::unique_ptr<QFontDialog> dialog = MakeEditorFontDialog(profile, parent);
    if (dialog->exec() == QDialog::Accepted) chosen = dialog->selectedFont();
  }
  if (!chosen) return false;
  const QString family = chosen->family().trimmed();
  if (!family.isEmpty()) profile.WriteString("Font", "Face", family.toStdString());
  // A font given in pixels has no point size: the size stays as it is.
  if (chosen->pointSize() > 0) WritePointSize(profile, std::clamp(chosen->pointSize(), 1, 200));
  if (refresh) refresh();
  return true;
}

}  // namespace tamso::gui
