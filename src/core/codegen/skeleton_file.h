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

// The body with every "$SEL$" replaced by selection, left to right; text that comes
// from the selection is not searched again.
std::string ExpandSelection(std::string_view body, std::string_view selection);

}  // namespace tamso
