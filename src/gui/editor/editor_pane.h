#pragma once
// What the application frame needs of an editor pane: the widget that holds a
// document's text, loads and saves it, and reports edits. The document holds no
// text of its own; it loads and saves through its pane.

#include <QWidget>
#include <string>

#include "platform/host.h"

namespace tamso {
class IniFile;
}

namespace tamso::gui {

class EditorPane : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  ~EditorPane() override = default;

  virtual ViewKind Kind() const = 0;
  // Loads the file; on failure returns false with a sentence for the user in *error
  // and keeps the text it had.
  virtual bool LoadFromFile(const std::string& path, std::string* error) = 0;
  // Saves atomically; on failure returns false with a sentence for the user in *error,
  // the file on disk untouched and the text still modified.
  virtual bool SaveToFile(const std::string& path, std::string* error) = 0;
  virtual bool IsModified() const = 0;
  virtual void SetModified(bool modified) = 0;
  // Puts the caret at the start of the 0-based line.
  virtual void GoToLine(int line) = 0;
  // Re-reads fonts, colours and tab width from the profile (update hint 78).
  virtual void ReloadSettings() = 0;

 signals:
  void modifiedChanged(bool modified);
  // The status text ("(%3d,%3d)-(%3d,%3d) Ln %3d, Col %3d") changed.
  void statusTextChanged(const QString& text);
};

// Creates the editor pane of the given kind; implemented by the editor.
EditorPane* CreateEditorPane(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent);

}  // namespace tamso::gui
