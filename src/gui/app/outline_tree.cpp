#include "app/outline_tree.h"

#include "platform/qt_host.h"

namespace tamso::gui {

OutlineTree::OutlineTree(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("browser"));
  setHeaderHidden(true);
  setFocusPolicy(Qt::ClickFocus);  // a new window gives its editor the focus
}

int OutlineTree::BeginOutline(const std::string& title) {
  setUpdatesEnabled(false);
  clear();
  items_.clear();
  items_.push_back(new QTreeWidgetItem(this, QStringList(Q(title))));
  return 0;
}

int OutlineTree::AddOutlineItem(const std::string& text, int kind, int parent) {
  if (items_.empty()) BeginOutline(std::string());
  QTreeWidgetItem* under =
      parent >= 0 && static_cast<size_t>(parent) < items_.size() ? items_[parent] : items_[0];
  auto* item = new QTreeWidgetItem(under, QStringList(Q(text)));
  item->setData(0, Qt::UserRole, kind);
  items_.push_back(item);
  return static_cast<int>(items_.size() - 1);
}

void OutlineTree::EndOutline() {
  if (!items_.empty()) items_[0]->setExpanded(true);
  setUpdatesEnabled(true);
}

}  // namespace tamso::gui
