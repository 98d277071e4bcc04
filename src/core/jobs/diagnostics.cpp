#include "jobs/diagnostics.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

#include "jobs/source_reference.h"
#include "platform/paths.h"

namespace tamso {

namespace {

// "3 errors", "1 warning", "2 errors" after the last diagnostic; "Note: ..." lines;
// the runner's closing lines.
bool EndsDetails(std::string_view s) {
  if (s.empty() || s.starts_with("Note:") || s.starts_with("Done.") ||
      s.starts_with("Terminated at user request"))
    return true;
  size_t i = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  if (i == 0 || i >= s.size() || s[i] != ' ') return false;
  const std::string_view rest = s.substr(i + 1);
  return rest.starts_with("error") || rest.starts_with("warning");
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
  return s;
}

// A build tool's level tag at the start of a line ("[ERROR] ", "[WARNING] ", "[INFO] "):
// the text after it, or nothing when the line has none.
std::optional<std::string_view> AfterTag(std::string_view s) {
  if (s.size() < 3 || s[0] != '[') return std::nullopt;
  size_t i = 1;
  while (i < s.size() && s[i] >= 'A' && s[i] <= 'Z') ++i;
  if (i == 1 || i >= s.size() || s[i] != ']') return std::nullopt;
  std::string_view rest = s.substr(i + 1);
  if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest;
}

// The text after the place, without the kind word; the kind from it (or from the
// line's level tag).
void ReadHead(std::string_view line, const SourceReference& ref, LineDiagnostic& mark) {
  std::string_view text = line.substr(std::min(ref.end, line.size()));
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  mark.severity = DiagnosticSeverity::Error;
  if (line.find_first_not_of(" \t") != std::string_view::npos &&
      line.substr(line.find_first_not_of(" \t")).starts_with("[WARNING]"))
    mark.severity = DiagnosticSeverity::Warning;
  if (text.starts_with("warning:")) {
    mark.severity = DiagnosticSeverity::Warning;
    text.remove_prefix(8);
  } else if (text.starts_with("error:")) {
    text.remove_prefix(6);
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  mark.message = TrimRight(std::string(text));
}

}  // namespace

std::vector<CompileDiagnostic> ParseDiagnostics(size_t lineCount,
                                                const std::function<std::string(size_t)>& lineAt,
                                                const std::string& baseDir) {
  std::vector<CompileDiagnostic> found;
  std::string lastFile;
  int lastLine = -1;
  std::set<std::tuple<std::string, int, std::string>> seen;
  size_t i = 0;
  while (i < lineCount) {
    const std::string line = lineAt(i);
    const auto ref = ParseSourceReference(line);
    if (!ref || ref->line < 1) {
      ++i;
      continue;
    }
    CompileDiagnostic d;
    d.file = ResolveReferenceFile(*ref, baseDir);
    d.mark.line = ref->line - 1;
    ReadHead(line, *ref, d.mark);
    d.mark.column = CaretLineColumn(lineCount, lineAt, i).value_or(-1);
    ++i;
    // The source line and the caret under it, when they follow; then the detail
    // lines up to the next place or the count line.
    if (i + 1 < lineCount && IsCaretLine(lineAt(i + 1))) i += 2;
    for (; i < lineCount; ++i) {
      const std::string next = lineAt(i);
      if (EndsDetails(next) || ParseSourceReference(next)) break;
      // A tagged line is a detail only when its text is indented ("[ERROR]   symbol: ...").
      std::string_view body = next;
      if (auto rest = AfterTag(next)) {
        if (rest->empty() || rest->front() != ' ') break;
        body = *rest;
      }
      std::string detail = TrimRight(std::string(body));
      const size_t text = detail.find_first_not_of(" \t");
      if (text == std::string::npos) continue;
      d.mark.message += '\n';
      d.mark.message += detail.substr(text);
    }
    if (d.file == lastFile && d.mark.line == lastLine) continue;
    lastFile = d.file;
    lastLine = d.mark.line;
    // A build tool repeats its compiler's diagnostics in its failure summary.
    if (!seen.insert({d.file, d.mark.line, d.mark.message}).second) continue;
    found.push_back(std::move(d));
  }
  return found;
}

std::vector<std::string> DiagnosticStore::ApplyCompile(
    const std::string& compiledFile, const std::vector<CompileDiagnostic>& found) {
  return ApplyCompile(std::vector<std::string>{compiledFile}, found);
}

std::vector<std::string> DiagnosticStore::ApplyCompile(
    const std::vector<std::string>& compiledFiles, const std::vector<CompileDiagnostic>& found) {
  std::map<std::string, std::vector<LineDiagnostic>> fresh;
  for (const std::string& file : compiledFiles) fresh[paths::Canonical(file)];
  for (const CompileDiagnostic& d : found) fresh[paths::Canonical(d.file)].push_back(d.mark);
  std::vector<std::string> changed;
  for (auto& [file, marks] : fresh) {
    changed.push_back(file);
    if (marks.empty())
      byFile_.erase(file);
    else
      byFile_[file] = std::move(marks);
  }
  return changed;
}

const std::vector<LineDiagnostic>& DiagnosticStore::MarksOf(const std::string& file) const {
  static const std::vector<LineDiagnostic> kNone;
  const auto it = byFile_.find(paths::Canonical(file));
  return it == byFile_.end() ? kNone : it->second;
}

void DiagnosticStore::Keep(const std::string& file, std::vector<LineDiagnostic> marks) {
  const std::string key = paths::Canonical(file);
  if (marks.empty())
    byFile_.erase(key);
  else
    byFile_[key] = std::move(marks);
}

}  // namespace tamso
