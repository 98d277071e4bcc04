#include "jobs/compile_verdict.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(CompileVerdict, ExitStatusAndCountLinesMakeTheSummary) {
  EXPECT_EQ(CompileVerdict(0, ""), "Compiled: no errors");
  EXPECT_EQ(CompileVerdict(0, "A.java:3: warning: [deprecation] x\n1 warning\n"),
            "Compiled: no errors, 1 warning");
  EXPECT_EQ(CompileVerdict(1, "A.java:1: error: x\r\n3 errors\r\n1 warning\r\n"),
            "3 errors, 1 warning");
  EXPECT_EQ(CompileVerdict(1, "1 error\n"), "1 error");
  EXPECT_EQ(CompileVerdict(2, "error: invalid flag: -O\n"), "Compile failed (exit status 2)");
  EXPECT_EQ(CompileVerdict(-1, ""), "Compile failed: the compiler did not run");
  // Only a line that is nothing but a count counts: source text quoted by the
  // compiler must not be taken for one.
  EXPECT_EQ(CompileVerdict(1, "    int x = 5 errors;\n  2 errors\n12 errors found\n"),
            "Compile failed (exit status 1)");
  // A count too long to be one is not read as a number at all.
  EXPECT_EQ(ReadCompileCounts("99999999999999999999 errors\n").errors, -1);
}

}  // namespace
}  // namespace tamso
