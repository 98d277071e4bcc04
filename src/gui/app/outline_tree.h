#pragma once
// The class-browser pane of a Java or Perl window: the outline of the text as a tree
// (the file, then its package, imports, classes and members, or its subroutines).

#include <QTreeWidget>
#include <vector>

#include "lang/language.h"

namespace tamso::gui {

class OutlineTree : public QTreeWidget, public IOutlineSink {
  Q_OBJECT
 public:
  explicit OutlineTree(QWidget* parent = nullptr);

  int BeginOutline(const std::string& title) override;
  int AddOutlineItem(const std::string& text, int kind, int parent) override;
  void EndOutline() override;

 private:
  std::vector<QTreeWidgetItem*> items_;  // by handle
};

}  // namespace tamso::gui
