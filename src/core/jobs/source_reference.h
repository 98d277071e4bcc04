#pragma once
// File-and-line references in tool output: a line holding a path, a colon, a
// decimal line number and a colon (or the end of the line), as compilers write
// their diagnostics and as find in files writes its hit lines.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class IHost;

struct SourceReference {
  std::string file;
  int line = 0;    // 1-based, as written in the text; saturates at INT_MAX
  int column = 0;  // 1-based when the text gives one ("File.java:[12,20]"), else 0
  // Where the text after the reference starts (past "path:12:" or "path:[12,20]").
  size_t end = 0;
  // Names with blanks ("/home/me/my dir/A.java") cannot be told from text before a
  // name by the text alone: every reading, longest first (from the start of the
  // line, after a "==> " hit mark), down to file, the run without blanks.
  std::vector<std::string> candidates;
};

// Finds the first colon followed by 1..39 digits and then a colon or the end of the
// text, or by "[line,column]" or "[line]" as the build tools write it; the file name
// is the run of printable, non-blank characters before it.
std::optional<SourceReference> ParseSourceReference(std::string_view text);

// A stack-trace line "at a.b.C.method(C.java:26)" (a module before a '/' and a
// class loader before it are allowed; an indented line holding only the frame, as
// the test launcher lists them, counts too) whose source is found as root/a/b/C.java below
// one of roots: the program's own sources, not the runtime's. The reference names
// that full path.
std::optional<SourceReference> ParseStackFrameReference(std::string_view text,
                                                        const std::vector<std::string>& roots);

// ParseSourceReference, else ParseStackFrameReference.
std::optional<SourceReference> ParseLineReference(std::string_view text,
                                                  const std::vector<std::string>& roots);

// The file a reference means: the first candidate that exists (a relative one taken
// from baseDir, the directory the tool ran in), else the shortest.
std::string ResolveReferenceFile(const SourceReference& ref, const std::string& baseDir);

// The line after current (before it when backwards; from the first or last line
// when there is no current one) that holds a reference to another place than the
// current line's: a diagnostic and the lines that repeat its place are reported
// once. Nothing at the end of the text.
std::optional<size_t> FindNextReference(size_t lineCount,
                                        const std::function<std::string(size_t)>& lineAt,
                                        std::optional<size_t> current, bool forward,
                                        const std::vector<std::string>& roots = {});

// The column javac's caret line gives for the diagnostic at line `index`: the line
// after it repeats the source line and the next one holds blanks and a '^' under the
// place. The column counts characters as javac does: a tab is one, a character
// outside the basic plane two (see ByteOfUtf16Unit). No value without a caret line.
std::optional<int> CaretLineColumn(size_t lineCount,
                                   const std::function<std::string(size_t)>& lineAt, size_t index);
// True for a line of blanks and one '^'.
bool IsCaretLine(std::string_view text);

// The character (counted as CaretLineColumn counts) at the 1-based column the build
// tools write in "[line,column]", which counts a tab up to the next multiple of 8, in
// the UTF-8 source line text. Past the end: the line's length.
int ExpandedColumnCharacter(std::string_view text, int column);

enum class JumpResult {
  NotAReference,  // the line names no file: the host has beeped
  OpenFailed,     // the file could not be opened (the host has told the user)
  NoView,         // opened, but no active view to move
  Done,           // the caret is on the line
};

// Opens the file a clicked output line names and puts the caret on that line (at
// the character `column` counts, as CaretLineColumn gives it, when not negative; else
// at the column the line itself gives, as in "File.java:[12,20]");
// relative names are taken from baseDir. *opened gets the file opened.
// Stack-trace lines count too, their sources looked for below roots.
JumpResult JumpToSource(std::string_view lineText, IHost& host, const std::string& baseDir = {},
                        std::string* opened = nullptr, const std::vector<std::string>& roots = {},
                        int column = -1);

}  // namespace tamso
