#pragma once
// Go to Line: the number the user types counts lines as the gutter does.

#include <algorithm>

namespace tamso {

// The number the line store gives the first line; the gutter, the status text and
// Go to Line show the editor's own base (1 unless the profile says 0).
inline constexpr int kFirstLineNumber = 0;

// The 0-based line for a typed number, clamped to the text.
inline int GoToLineTarget(long long typed, int lineCount, int firstNumber = kFirstLineNumber) {
  const long long line = typed - firstNumber;
  return static_cast<int>(std::clamp<long long>(line, 0, std::max(lineCount - 1, 0)));
}

}  // namespace tamso
