#pragma once
// The diagnostics of a compile's output, by file: javac writes each one as
// "path:line: error: text" (or "warning:"), then the source line, a caret line under
// the place, and detail lines such as "  symbol:   method foo()". Open editors mark
// the lines they name; a compile of a file replaces that file's marks.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editor/line_diagnostics.h"

namespace tamso {

struct CompileDiagnostic {
  std::string file;  // as resolved against the compile's directory
  LineDiagnostic mark;
};

// Reads every diagnostic of the output lines; relative names are taken from baseDir.
// A place named twice in a row (a diagnostic and a line that repeats its place) is
// one diagnostic.
std::vector<CompileDiagnostic> ParseDiagnostics(size_t lineCount,
                                                const std::function<std::string(size_t)>& lineAt,
                                                const std::string& baseDir);

// The marks of the last compiles, by canonical file name: each compile replaces the
// marks of the file it compiled and of every file its output names.
class DiagnosticStore {
 public:
  // Returns the files whose marks changed (the compiled one always).
  std::vector<std::string> ApplyCompile(const std::string& compiledFile,
                                        const std::vector<CompileDiagnostic>& found);
  // The same for a run that compiled several files: each of them loses its old marks.
  std::vector<std::string> ApplyCompile(const std::vector<std::string>& compiledFiles,
                                        const std::vector<CompileDiagnostic>& found);
  // The marks of a file as the last compile that named it saw it (empty when none).
  const std::vector<LineDiagnostic>& MarksOf(const std::string& file) const;
  // Keeps the marks an editor moved while the user edited, for the next window on
  // the file (or forgets them when marks is empty).
  void Keep(const std::string& file, std::vector<LineDiagnostic> marks);

 private:
  std::map<std::string, std::vector<LineDiagnostic>> byFile_;
};

}  // namespace tamso
