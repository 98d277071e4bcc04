#pragma once
// The modeless Find and Replace dialogs. They only collect the request; the editor
// pane carries it out. Controls carry object names for tests: "findWhat",
// "replaceWith", "matchCase", "up", "down", "findNext", "replace", "replaceAll",
// "cancel".

#include <QDialog>

class QLineEdit;
class QCheckBox;
class QRadioButton;
class QPushButton;

namespace tamso::gui {

class FindReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  // withReplace: the find-and-replace dialog, else find only. The selected text is
  // both the text to find and the replacement; the search goes down by default.
  FindReplaceDialog(bool withReplace, const QString& selectedText, QWidget* parent);

  bool WithReplace() const { return withReplace_; }
  QString FindWhat() const;
  QString ReplaceWith() const;
  bool MatchCase() const;
  bool SearchDown() const;

 signals:
  void findNextRequested();
  void replaceRequested();
  void replaceAllRequested();

 private:
  void UpdateButtons();

  bool withReplace_;
  QLineEdit* findWhat_ = nullptr;
  QLineEdit* replaceWith_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QRadioButton* up_ = nullptr;
  QRadioButton* down_ = nullptr;
  QPushButton* findNext_ = nullptr;
  QPushButton* replace_ = nullptr;
  QPushButton* replaceAll_ = nullptr;
};

}  // namespace tamso::gui
