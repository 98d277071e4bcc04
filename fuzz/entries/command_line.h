#pragma once
// The command-line splitter and its inverse: quoting every argument and splitting
// the joined line gives the arguments back; any text quoted as one argument splits
// back into just that text.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.h"

namespace tamso::fuzz {

inline int FuzzCommandLine(std::string_view input) {
  const std::vector<std::string> args = SplitCommandLine(input);
  std::string joined;
  for (const std::string& a : args) {
    if (!joined.empty()) joined += ' ';
    joined += QuoteArgument(a);
  }
  if (SplitCommandLine(joined) != args) std::abort();
  for (bool always : {false, true}) {
    const std::vector<std::string> one = SplitCommandLine(QuoteArgument(input, always));
    if (one.size() != 1 || one.front() != input) std::abort();
  }
  return 0;
}

}  // namespace tamso::fuzz
