#include "jobs/compile_verdict.h"

#include <cctype>

namespace tamso {

namespace {

std::string Counted(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

CompileCounts ReadCompileCounts(std::string_view text) {
  CompileCounts counts;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    // A count line is a number, one blank and a word, nothing else.
    size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
    if (digits == 0 || digits > 6 || digits >= line.size() || line[digits] != ' ') continue;
    const int n = std::stoi(std::string(line.substr(0, digits)));
    const std::string_view word = line.substr(digits + 1);
    if (word == "error" || word == "errors") counts.errors = n;
    if (word == "warning" || word == "warnings") counts.warnings = n;
  }
  return counts;
}

std::string CompileVerdict(int exitCode, std::string_view outputTail) {
  const CompileCounts c = ReadCompileCounts(outputTail);
  const std::string warnings =
      c.warnings > 0 ? Counted(c.warnings, "warning", "warnings") : std::string();
  if (exitCode == 0)
    return "Compiled: no errors" + (warnings.empty() ? std::string() : ", " + warnings);
  if (exitCode < 0) return "Compile failed: the compiler did not run";
  if (c.errors <= 0) {
    std::string text = "Compile failed (exit status " + std::to_string(exitCode) + ")";
    return warnings.empty() ? text : text + ", " + warnings;
  }
  std::string text = Counted(c.errors, "error", "errors");
  return warnings.empty() ? text : text + ", " + warnings;
}

}  // namespace tamso
