#pragma once
// A skeleton inserted into code: every line of it after the first starts at the
// indentation of the line it goes into, and text that followed the caret on that
// line goes on a line of its own after the skeleton rather than sticking to its
// last line.

#include <string>
#include <string_view>

namespace tamso {

// text: the skeleton as it will be inserted in place of the selection. caretLine:
// the line the selection starts on; start, end: byte indexes of the selection on
// that line and of its end on the line it ends on; endLine: the line the selection
// ends on (caretLine itself when it ends there).
std::string SkeletonForCaret(std::string_view text, std::string_view caretLine, int start,
                             std::string_view endLine, int end);

}  // namespace tamso
