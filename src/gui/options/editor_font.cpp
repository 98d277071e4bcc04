#include "options/editor_font.h"

#include <QFontDialog>
#include <QFontInfo>

#include "editor/editor_settings.h"
#include "editor/editor_style.h"
#include "platform/ini_file.h"

namespace tamso::gui {

QFont CurrentEditorFont(const IniFile& profile) {
  QFont f = MakeEditorFonts(0, 72, QString::fromStdString(ReadFontFace(profile))).normal;
  f.setFamily(QFontInfo(f).family());
  const int points = ReadPointSize(profile);
  if (points > 0) f.setPointSize(points);
  return f;
}

bool ChooseEditorFont(IniFile& profile, QWidget* parent, const std::function<void()>& refresh,
                      const FontChooser& chooser) {
  const QFont initial = CurrentEditorFont(profile);
  std::optional<QFont> chosen;
  if (chooser) {
    chosen = chooser(initial);
  } else {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("Editor Font"),
                                   QFontDialog::MonospacedFonts);
    if (ok) chosen = f;
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
