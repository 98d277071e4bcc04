#pragma once
// Go to Line: the number the user types counts lines as the gutter does.

#include <algorithm>

namespace tamso {

// The number the gutter and the status text give the first line.
inline constexpr int kFirstLineNumber = 0;

// The 0-based line for a typed number, clamped to the text.
inline int GoToLineTarget(long long typed, int lineCount, int firstNumber = kFirstLineNumber) {
  const long long line = typed - firstNumber;
  return static_cast<int>(std::clamp<long long>(line, 0, std::max(lineCount - 1, 0)));
}

}  // namespace tamso
