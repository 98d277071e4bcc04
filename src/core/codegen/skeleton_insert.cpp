#include "codegen/skeleton_insert.h"

#include <algorithm>

#include "editor/smart_indent.h"

namespace tamso {

namespace {

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

bool IsBlankText(std::string_view s) {
  return static_cast<std::size_t>(IndentBytes(s)) == s.size();
}

}  // namespace

std::string SkeletonForCaret(std::string_view text, std::string_view caretLine, int start,
                             std::string_view endLine, int end) {
  start = std::clamp(start, 0, static_cast<int>(caretLine.size()));
  end = std::clamp(end, 0, static_cast<int>(endLine.size()));
  // The indentation is the caret line's, as far as it lies before the caret.
  const std::string_view head = caretLine.substr(0, static_cast<std::size_t>(start));
  const std::string_view prefix = head.substr(0, static_cast<std::size_t>(IndentBytes(head)));
  if (std::none_of(text.begin(), text.end(), IsBreak)) return std::string(text);
  std::string out = IndentInsertedText(text, prefix);
  const std::string_view rest = endLine.substr(static_cast<std::size_t>(end));
  if (IsBlankText(rest)) return out;
  // What followed the caret starts a line of its own, indented as the caret line.
  if (!IsBreak(out.back())) out += "\r\n";
  out.append(prefix);
  return out;
}

}  // namespace tamso
