#pragma once
// The class browser's outline as the tree view's model: rows are read straight from
// the outline's node vectors when the view asks for them, so a big outline costs no
// per-node objects. Node n's index carries n; the root (node 0) is the only top row.

#include <QAbstractItemModel>
#include <memory>
#include <vector>

#include "browser/outline_model.h"

namespace tamso::gui {

class OutlineTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  // Qt::UserRole gives a node's kind (1 for the root), this role its node number.
  static constexpr int kNodeRole = Qt::UserRole + 1;

  explicit OutlineTreeModel(QObject* parent = nullptr);

  // Shows outline instead of what was shown (a reset: views forget their state).
  void Reset(std::shared_ptr<const OutlineModel> outline);
  // Shows outline, which has the same nodes in the same places as the one shown, with
  // the labels or pictures of the nodes changed differing: no reset, views keep their
  // expanded nodes, selection and scroll position, only those rows are redrawn.
  void UpdateInPlace(std::shared_ptr<const OutlineModel> outline, const std::vector<int>& changed);
  const OutlineModel& Outline() const { return *outline_; }
  const std::shared_ptr<const OutlineModel>& SharedOutline() const { return outline_; }

  // The node an index stands for (-1 for none), and the index of a node.
  int NodeOf(const QModelIndex& index) const;
  QModelIndex IndexOf(int node) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::shared_ptr<const OutlineModel> outline_;
};

}  // namespace tamso::gui
