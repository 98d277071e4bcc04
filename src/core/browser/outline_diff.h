#pragma once
// What an outline rebuilt after typing changed against the outline shown: most rebuilds
// give the same nodes in the same places (typing inside a method body), and then only the
// few nodes whose label or picture changed need drawing again.

#include <optional>
#include <vector>

#include "browser/outline_model.h"

namespace tamso {

// The nodes of next whose label or kind differ from shown's, when next has the same
// nodes as shown (the same count, each with the same parent and place); no value when
// nodes were added, removed or moved.
std::optional<std::vector<int>> ChangedInPlace(const OutlineModel& shown, const OutlineModel& next);

}  // namespace tamso
