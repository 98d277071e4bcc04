#include "browser/outline_model.h"

namespace tamso {

int OutlineModel::BeginOutline(const std::string& title) {
  nodes_.clear();
  insertFailures_ = 0;
  ended_ = false;
  nodes_.push_back({title, kOutlineImport, -1, {}, 0});
  return 0;
}

int OutlineModel::AddOutlineItem(const std::string& text, int kind, int parent) {
  if (!Has(parent)) {
    ++insertFailures_;
    return -1;
  }
  const int id = static_cast<int>(nodes_.size());
  std::vector<int>& siblings = nodes_[static_cast<std::size_t>(parent)].children;
  const int row = static_cast<int>(siblings.size());
  siblings.push_back(id);
  nodes_.push_back({text, kind, parent, {}, row});
  return id;
}

std::string OutlineModel::PathKey(int node) const {
  std::string key;
  for (int n = node; Has(n); n = Node(n).parent) {
    key.insert(0, Node(n).label);
    if (Node(n).parent >= 0) key.insert(0, 1, '\n');
  }
  return key;
}

}  // namespace tamso
