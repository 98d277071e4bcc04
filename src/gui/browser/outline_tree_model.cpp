#include "browser/outline_tree_model.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "browser/browser_icons.h"
#include "platform/qt_host.h"

namespace tamso::gui {

OutlineTreeModel::OutlineTreeModel(QObject* parent)
    : QAbstractItemModel(parent), outline_(std::make_shared<OutlineModel>()) {}

void OutlineTreeModel::Reset(std::shared_ptr<const OutlineModel> outline) {
  beginResetModel();
  outline_ = outline ? std::move(outline) : std::make_shared<OutlineModel>();
  endResetModel();
}

void OutlineTreeModel::UpdateInPlace(std::shared_ptr<const OutlineModel> outline,
                                     const std::vector<int>& changed) {
  outline_ = std::move(outline);
  // One signal for the changed rows under each parent.
  std::unordered_map<int, std::pair<int, int>> rows;  // parent -> first and last row
  for (int node : changed) {
    if (!outline_->Has(node)) continue;
    const OutlineNode& n = outline_->Node(node);
    auto [it, fresh] = rows.try_emplace(n.parent, n.row, n.row);
    if (!fresh) {
      it->second.first = std::min(it->second.first, n.row);
      it->second.second = std::max(it->second.second, n.row);
    }
  }
  for (const auto& [parent, range] : rows) {
    const QModelIndex p = IndexOf(parent);
    emit dataChanged(index(range.first, 0, p), index(range.second, 0, p));
  }
}

int OutlineTreeModel::NodeOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return -1;
  const int node = static_cast<int>(index.internalId());
  return outline_->Has(node) ? node : -1;
}

QModelIndex OutlineTreeModel::IndexOf(int node) const {
  if (!outline_->Has(node)) return {};
  return createIndex(outline_->Node(node).row, 0, static_cast<quintptr>(node));
}

QModelIndex OutlineTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) return row == 0 ? IndexOf(0) : QModelIndex();
  const int node = NodeOf(parent);
  if (node < 0) return {};
  const std::vector<int>& children = outline_->Node(node).children;
  if (static_cast<std::size_t>(row) >= children.size()) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex OutlineTreeModel::parent(const QModelIndex& child) const {
  const int node = NodeOf(child);
  return node < 0 ? QModelIndex() : IndexOf(outline_->Node(node).parent);
}

int OutlineTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return outline_->Empty() ? 0 : 1;
  if (parent.column() != 0) return 0;
  const int node = NodeOf(parent);
  return node < 0 ? 0 : static_cast<int>(outline_->Node(node).children.size());
}

int OutlineTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

bool OutlineTreeModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QVariant OutlineTreeModel::data(const QModelIndex& index, int role) const {
  const int node = NodeOf(index);
  if (node < 0) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Q(outline_->Node(node).label);
    case Qt::DecorationRole: {
      QIcon icon = BrowserIcon(NodeImage(*outline_, node));
      return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::UserRole:
      return outline_->Node(node).kind;
    case kNodeRole:
      return node;
    default:
      return {};
  }
}

Qt::ItemFlags OutlineTreeModel::flags(const QModelIndex& index) const {
  return NodeOf(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace tamso::gui
