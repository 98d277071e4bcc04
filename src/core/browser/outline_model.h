#pragma once
// The class browser's tree as data: what an outline parser produced, node by node.
// The pane draws it; double clicks are decided on it. Node 0 is the root (kind 1,
// drawn with image 0); every other node's image is its kind.

#include <string>
#include <vector>

#include "lang/language.h"

namespace tamso {

struct OutlineNode {
  std::string label;
  int kind = 0;
  int parent = -1;  // -1 for the root
  std::vector<int> children;
  int row = 0;  // its place among its parent's children
};

class OutlineModel : public IOutlineSink {
 public:
  int BeginOutline(const std::string& title) override;
  // An unknown parent inserts nothing and returns -1 (counted in InsertFailures()).
  int AddOutlineItem(const std::string& text, int kind, int parent) override;
  void EndOutline() override { ended_ = true; }

  const std::vector<OutlineNode>& Nodes() const { return nodes_; }
  bool Empty() const { return nodes_.empty(); }
  bool Has(int node) const { return node >= 0 && node < static_cast<int>(nodes_.size()); }
  const OutlineNode& Node(int node) const { return nodes_[static_cast<std::size_t>(node)]; }
  int InsertFailures() const { return insertFailures_; }
  bool Ended() const { return ended_; }
  // The labels from the root down to node, joined by '\n': a node's identity across
  // rebuilds (labels never hold a line break).
  std::string PathKey(int node) const;

 private:
  std::vector<OutlineNode> nodes_;
  int insertFailures_ = 0;
  bool ended_ = false;
};

// The image the tree shows for a node (its kind; 0 for the root).
inline int NodeImage(const OutlineModel& model, int node) {
  return node == 0 ? 0 : model.Node(node).kind;
}

}  // namespace tamso
