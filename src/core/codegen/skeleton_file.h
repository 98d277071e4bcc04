#pragma once
// Skeleton files: named snippets of code, grouped, read from a plain 8-bit text.
//
//   //{{{Group name          opens a group (it has no body)
//   //{{Skeleton name        introduces a skeleton; its body follows on the next lines
//   ...body...
//   //}}                     ends the body
//
// A name is the run of printable bytes after "//{{" on its line (a control byte such
// as CR, LF or TAB ends it; bytes 0x80 and up count as printable, so UTF-8 names
// work). A body starts at the first printable byte after the header line (line
// ends, empty lines and tabs are skipped, spaces are kept), ends just before the
// next "//}}" and loses its trailing line ends and tabs; it keeps its inner line
// ends as they are in the file. A "//{{" inside a body belongs to the body. Text
// outside headers and bodies is commentary. Names and bodies have no length limit.
// Skeletons sit under the group opened last, or under the root before any group.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct SkeletonEntry {
  std::string name;
  int number = 0;  // 2, 3, ... in file order; indexes SkeletonSet::bodies
};

struct SkeletonGroup {
  std::string name;
  std::vector<SkeletonEntry> skeletons;
};

struct SkeletonSet {
  // Skeletons before the first group, listed directly under the root.
  std::vector<SkeletonEntry> ungrouped;
  std::vector<SkeletonGroup> groups;
  // Indexed by a skeleton's number; entries 0 and 1 (the root and groups) stay empty.
  std::vector<std::string> bodies = {std::string(), std::string()};

  // The body of skeleton n, or an empty text for any other number.
  const std::string& Body(int n) const;
  int SkeletonCount() const { return static_cast<int>(bodies.size()) - 2; }
};

SkeletonSet ParseSkeletons(std::string_view text);

// Skeleton texts with the selection put in are refused above this size: a body full
// of "$SEL$" and a large selection would otherwise grow without bound.
inline constexpr std::uint64_t kSkeletonTextLimit = 8ull << 20;

// The size of the body with every "$SEL$" replaced by selection (saturating rather
// than overflowing).
std::uint64_t ExpandedSize(std::string_view body, std::string_view selection);

// The body with every "$SEL$" replaced by selection, left to right; text that comes
// from the selection is not searched again. Nothing when the result would be larger
// than limit.
std::optional<std::string> ExpandSelection(std::string_view body, std::string_view selection,
                                           std::uint64_t limit = kSkeletonTextLimit);

}  // namespace tamso
