#include "browser/outline_diff.h"

namespace tamso {

std::optional<std::vector<int>> ChangedInPlace(const OutlineModel& shown,
                                               const OutlineModel& next) {
  const std::vector<OutlineNode>& a = shown.Nodes();
  const std::vector<OutlineNode>& b = next.Nodes();
  if (a.size() != b.size()) return std::nullopt;
  std::vector<int> changed;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].parent != b[i].parent || a[i].row != b[i].row ||
        a[i].children.size() != b[i].children.size())
      return std::nullopt;
    if (a[i].kind != b[i].kind || a[i].label != b[i].label) changed.push_back(static_cast<int>(i));
  }
  return changed;
}

}  // namespace tamso
