#pragma once
// The About dialog and the choice of document kind for File New.

#include <QDialog>

class QListWidget;

namespace tamso::gui {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent);
};

// Lists the document templates in their order, the first one selected.
class NewDocumentDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NewDocumentDialog(QWidget* parent);
  // Index of the chosen template.
  int Chosen() const;
  QListWidget* List() const { return list_; }

 private:
  QListWidget* list_;
};

}  // namespace tamso::gui
