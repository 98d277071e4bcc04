#pragma once
// Compiler diagnostics shown in an editor's gutter: each one sits on a line of the
// text and moves with it while the user edits, until the next compile replaces them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

enum class DiagnosticSeverity { Warning, Error };

struct LineDiagnostic {
  int line = 0;  // 0-based
  DiagnosticSeverity severity = DiagnosticSeverity::Error;
  std::string message;  // the diagnostic's text, its detail lines after a line feed
  // The character on the line as the compiler counts them (a tab one, a character
  // outside the basic plane two); -1 when the compiler gave no column.
  int column = -1;
};

class LineDiagnostics {
 public:
  // Replaces every mark (the order is kept for marks on the same line).
  void Set(std::vector<LineDiagnostic> marks);
  void Clear() { marks_.clear(); }
  bool Empty() const { return marks_.empty(); }
  const std::vector<LineDiagnostic>& All() const { return marks_; }

  // The text changed at (line, index). A mark on a line that gained line ends stays
  // with the line's text: it moves down when the insertion was made in the line's
  // leading blanks (blankBefore: nothing but blanks before index), so that a line
  // opened above it does not take its mark. Marks of lines joined by an erase go to
  // the line that is left.
  void Inserted(int line, std::string_view text, bool blankBefore);
  void Erased(int line, std::string_view removed);

  // The worst severity on a line, if any mark is there.
  std::optional<DiagnosticSeverity> SeverityAt(int line) const;
  // The column of the first mark on a line that has one.
  std::optional<int> ColumnAt(int line) const;
  // Every message on a line, one after the other (empty when none).
  std::string MessageAt(int line) const;

 private:
  std::vector<LineDiagnostic> marks_;  // by line
};

}  // namespace tamso
