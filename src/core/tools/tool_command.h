#pragma once
// Building a tool's command from its definition: the macros $(FileName),
// $(FilePath) and $(FileDir) stand for the active source file in the arguments and
// the initial directory (never in the command).
//
// The arguments are split into an argument vector first (as a Linux shell splits
// words: single and double quotes, backslash escapes, nothing expanded) and the macros replaced inside each argument afterwards, so a
// macro's value is always exactly the file's path text: a file named "my file.java",
// "a\"b.java", "$(x).java" or "-rf.java" gives one argument holding that name, and
// text a value brings in is never searched for macros again. A value that begins an
// argument and starts with '-' or '@' gets "./" before it, so that no tool reads the
// file's name as an option.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct MacroValues {
  std::string fileName;  // after the last '/' (the whole path when it has none)
  std::string filePath;  // the full path
  std::string fileDir;   // before the last '/' (the whole path when it has none)
};

// The values for a document's path; all empty for an empty path.
MacroValues MacroValuesFor(const std::string& path);

// Replaces the first occurrence of macro in text by value (case-sensitive).
std::string ReplaceMacro(const std::string& text, std::string_view macro, const std::string& value);

// A text in which macros have been replaced: the pieces that came from the user's
// text, and those that are macro values (never searched again).
class MacroText {
 public:
  explicit MacroText(std::string text = {});
  // Replaces the first occurrence of macro in the user's text, if any; true when found.
  bool ReplaceFirst(std::string_view macro, const std::string& value);
  std::string Text() const;
  // Whether the text begins with a macro's value; "./" before such a value that
  // starts with '-' or '@'.
  bool StartsWithValue() const;
  void GuardLeadingValue();

 private:
  friend class MacroArguments;
  struct Piece {
    std::string text;
    bool value = false;
  };
  std::vector<Piece> pieces_;
};

// The arguments split from the user's text, with the macros replaced in them: each
// macro's first occurrence in the whole text, in the order FileName, FilePath, FileDir.
class MacroArguments {
 public:
  explicit MacroArguments(std::string_view text);
  void Replace(const MacroValues& values);
  std::vector<std::string> Arguments() const;

 private:
  std::vector<MacroText> args_;
};

// The initial directory with its macros replaced; trailing blanks of the user's text
// go (not those of a value).
std::string ExpandDirectory(const std::string& initDir, const MacroValues& values);

// The arguments as one line that SplitShellWords gives back unchanged (each quoted
// only where needed).
std::string JoinArguments(const std::vector<std::string>& args);

// The command with trailing blanks removed; empty means nothing is run.
std::string TrimmedCommand(const std::string& command);

// The program and its arguments: the command split as a command line (so that a
// quoted program path or options of its own work), then the arguments.
std::vector<std::string> ToolArgv(const std::string& command, const std::vector<std::string>& args);

}  // namespace tamso
