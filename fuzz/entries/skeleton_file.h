#pragma once
// The skeleton file reader on any bytes: skeletons are numbered 2, 3, ... in file
// order, every name is printable, every body is a piece of the input that starts
// and ends printable, reading is a function of the input, and putting a selection
// in for "$SEL$" grows a body by exactly the selection per marker.
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "codegen/skeleton_file.h"

namespace tamso::fuzz {

namespace skeleton_file_detail {

inline bool Printable(unsigned char c) {
  return c >= 0x20 && c != 0x7F;
}

inline void CheckEntry(const tamso::SkeletonEntry& e, const tamso::SkeletonSet& set,
                       std::string_view input, int& next) {
  if (e.number != next++) std::abort();
  for (unsigned char c : e.name)
    if (!Printable(c)) std::abort();
  const std::string& body = set.Body(e.number);
  if (body.empty()) return;
  if (!Printable(static_cast<unsigned char>(body.front())) ||
      !Printable(static_cast<unsigned char>(body.back())))
    std::abort();
  if (input.find(body) == std::string_view::npos) std::abort();
  if (body.find("//}}") != std::string::npos) std::abort();
}

inline std::size_t Markers(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t at = s.find("$SEL$"); at != std::string_view::npos; at = s.find("$SEL$", at + 5))
    ++n;
  return n;
}

}  // namespace skeleton_file_detail

inline int FuzzSkeletonFile(std::string_view input) {
  using namespace skeleton_file_detail;
  const tamso::SkeletonSet set = tamso::ParseSkeletons(input);
  int next = 2;
  for (const tamso::SkeletonEntry& e : set.ungrouped) CheckEntry(e, set, input, next);
  for (const tamso::SkeletonGroup& g : set.groups) {
    for (unsigned char c : g.name)
      if (!Printable(c)) std::abort();
    for (const tamso::SkeletonEntry& e : g.skeletons) CheckEntry(e, set, input, next);
  }
  if (next - 2 != set.SkeletonCount() || !set.bodies[0].empty() || !set.bodies[1].empty())
    std::abort();
  const tamso::SkeletonSet again = tamso::ParseSkeletons(input);
  if (again.bodies != set.bodies || again.groups.size() != set.groups.size()) std::abort();

  // A selection taken from the input, markers and all.
  const std::string_view selection = input.substr(0, std::min<std::size_t>(input.size(), 16));
  for (int n = 2; n < static_cast<int>(set.bodies.size()); ++n) {
    const std::string& body = set.Body(n);
    const std::size_t markers = Markers(body);
    const std::size_t size = body.size() - 5 * markers + selection.size() * markers;
    if (tamso::ExpandedSize(body, selection) != size) std::abort();
    const std::optional<std::string> expanded = tamso::ExpandSelection(body, selection);
    // Refused exactly when over the limit.
    if (expanded.has_value() != (size <= tamso::kSkeletonTextLimit)) std::abort();
    if (!expanded) continue;
    const std::string& out = *expanded;
    if (out.size() != size) std::abort();
    if (markers == 0 && out != body) std::abort();
  }
  return 0;
}

}  // namespace tamso::fuzz
