#pragma once
// File-and-line references in tool output: a line holding a path, a colon, a
// decimal line number and a colon (or the end of the line), as compilers write
// their diagnostics and as find in files writes its hit lines.

#include <optional>
#include <string>
#include <string_view>

namespace tamso {

class IHost;

struct SourceReference {
  std::string file;
  int line = 0;  // 1-based, as written in the text; saturates at INT_MAX
};

// Finds the first colon followed by 1..39 digits and then a colon or the end of the
// text; the file name is the run of printable, non-blank characters before it.
std::optional<SourceReference> ParseSourceReference(std::string_view text);

enum class JumpResult {
  NotAReference,  // the line names no file: the host has beeped
  OpenFailed,     // the file could not be opened (the host has told the user)
  NoView,         // opened, but no active view to move
  Done,           // the caret is on the line
};

// Opens the file a clicked output line names and puts the caret on that line.
JumpResult JumpToSource(std::string_view lineText, IHost& host);

}  // namespace tamso
