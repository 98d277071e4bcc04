#pragma once
// A line source over views into the fuzz input that aborts on any out-of-range line.
#include <cstdlib>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace tamso::fuzz {

class CheckedLines : public tamso::ILineSource {
 public:
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string_view Line(int index) const override {
    if (index < 0 || index >= LineCount()) std::abort();
    return lines[static_cast<std::size_t>(index)];
  }
  std::vector<std::string_view> lines;
};

}  // namespace tamso::fuzz
