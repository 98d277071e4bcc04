#pragma once
// The one-line summary of how a compile ended, for the status bar.

#include <string>
#include <string_view>

namespace tamso {

// Error and warning counts from the compiler's closing count lines ("3 errors",
// "1 warning"); -1 when the output names no count of that kind.
struct CompileCounts {
  int errors = -1;
  int warnings = -1;
};
CompileCounts ReadCompileCounts(std::string_view outputTail);

// exitCode is the compiler's exit status (-1: it did not run or its status is
// unknown). "Compiled: no errors" (with ", N warnings" when there were some) when it
// exited with 0; else "N errors, M warnings" from the count lines, or the exit
// status when the compiler printed no count.
std::string CompileVerdict(int exitCode, std::string_view outputTail);

}  // namespace tamso
