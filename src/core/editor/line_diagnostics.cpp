#include "editor/line_diagnostics.h"

#include <algorithm>

namespace tamso {

namespace {

int LineEnds(std::string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

void LineDiagnostics::Set(std::vector<LineDiagnostic> marks) {
  marks_ = std::move(marks);
  std::stable_sort(
      marks_.begin(), marks_.end(),
      [](const LineDiagnostic& a, const LineDiagnostic& b) { return a.line < b.line; });
}

void LineDiagnostics::Inserted(int line, std::string_view text, bool blankBefore) {
  const int added = LineEnds(text);
  if (added == 0) return;
  for (LineDiagnostic& m : marks_)
    if (m.line > line || (m.line == line && blankBefore)) m.line += added;
}

void LineDiagnostics::Erased(int line, std::string_view removed) {
  const int joined = LineEnds(removed);
  if (joined == 0) return;
  for (LineDiagnostic& m : marks_) {
    if (m.line > line + joined)
      m.line -= joined;
    else if (m.line > line)
      m.line = line;
  }
}

std::optional<DiagnosticSeverity> LineDiagnostics::SeverityAt(int line) const {
  auto it = std::lower_bound(marks_.begin(), marks_.end(), line,
                             [](const LineDiagnostic& m, int l) { return m.line < l; });
  std::optional<DiagnosticSeverity> worst;
  for (; it != marks_.end() && it->line == line; ++it)
    if (!worst || it->severity > *worst) worst = it->severity;
  return worst;
}

std::optional<int> LineDiagnostics::ColumnAt(int line) const {
  auto it = std::lower_bound(marks_.begin(), marks_.end(), line,
                             [](const LineDiagnostic& m, int l) { return m.line < l; });
  for (; it != marks_.end() && it->line == line; ++it)
    if (it->column >= 0) return it->column;
  return std::nullopt;
}

std::string LineDiagnostics::MessageAt(int line) const {
  std::string text;
  for (const LineDiagnostic& m : marks_) {
    if (m.line != line) continue;
    if (!text.empty()) text += '\n';
    text += m.message;
  }
  return text;
}

}  // namespace tamso
