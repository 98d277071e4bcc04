#pragma once
// Go to Line: the number the user types counts lines as the gutter does.

#include <algorithm>
#include <string_view>

namespace tamso {

// The number the line store gives the first line; the gutter, the status text and
// Go to Line show the editor's own base (1 unless the profile says 0).
inline constexpr int kFirstLineNumber = 0;

// The 0-based line for a typed number, clamped to the text.
inline int GoToLineTarget(long long typed, int lineCount, int firstNumber = kFirstLineNumber) {
  const long long line = typed - firstNumber;
  return static_cast<int>(std::clamp<long long>(line, 0, std::max(lineCount - 1, 0)));
}

// Lines of context shown above a line the caret jumps to (Go to Line, an error, a
// member of the class browser), so that it never sits on the top edge: up to three,
// fewer in a short window.
inline int JumpContextLines(int visibleLines) {
  return std::clamp((visibleLines - 1) / 4, 0, 3);
}

// The first line to show for a jump to line: the view stays where it is when the line
// is already in it with that context around it; else the line comes into view with
// the context above it.
inline int FirstLineForJump(int line, int firstLine, int visibleLines) {
  const int context = JumpContextLines(visibleLines);
  if (line >= firstLine + context && line <= firstLine + visibleLines - 1 - context)
    return firstLine;
  return std::max(0, line - context);
}

// The byte index of the first occurrence of name in line that stands as a whole word
// (no letter, digit, '_' or '$' glued to either end), else 0.
inline int NameIndex(std::string_view line, std::string_view name) {
  auto wordByte = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
  };
  if (name.empty()) return 0;
  for (std::size_t at = line.find(name); at != std::string_view::npos;
       at = line.find(name, at + 1)) {
    const bool before = at > 0 && wordByte(line[at - 1]);
    const bool after = at + name.size() < line.size() && wordByte(line[at + name.size()]);
    if (!before && !after) return static_cast<int>(at);
  }
  return 0;
}

}  // namespace tamso
