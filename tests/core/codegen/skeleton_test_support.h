#pragma once
// The skeleton tree and bodies written out as text, for comparing with golden files.

#include <string>

#include "codegen/skeleton_file.h"

namespace tamso::testing {

// Bytes below 0x20 (but LF) and DEL are written as <XX>, so CR and TAB show.
inline std::string Visible(const std::string& s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if ((c < 0x20 && c != '\n') || c == 0x7F) {
      out += '<';
      out += kHex[c >> 4];
      out += kHex[c & 15];
      out += '>';
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

inline std::string RenderSkeletons(const SkeletonSet& set) {
  std::string out = "Skeletons\n";
  auto entry = [&](const SkeletonEntry& e, const char* indent) {
    out += indent + std::to_string(e.number) + " " + Visible(e.name) + "\n";
  };
  for (const SkeletonEntry& e : set.ungrouped) entry(e, "  ");
  for (const SkeletonGroup& g : set.groups) {
    out += "  {" + Visible(g.name) + "}\n";
    for (const SkeletonEntry& e : g.skeletons) entry(e, "    ");
  }
  for (int n = 2; n < static_cast<int>(set.bodies.size()); ++n)
    out += "--- " + std::to_string(n) + "\n" + Visible(set.Body(n)) + "\n";
  return out;
}

}  // namespace tamso::testing
