#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitCommandLine("javac  -g\t\"My File.java\""), (Args{"javac", "-g", "My File.java"}));
  EXPECT_EQ(SplitCommandLine("  "), Args{});
  EXPECT_EQ(SplitCommandLine("a\"b c\"d e"), (Args{"ab cd", "e"}));
  EXPECT_EQ(SplitCommandLine("\"\""), Args{""});
  EXPECT_EQ(SplitCommandLine("\"unterminated arg"), Args{"unterminated arg"});
}

TEST(SplitCommandLine, BackslashRules) {
  EXPECT_EQ(SplitCommandLine(R"(a\\b)"), Args{R"(a\\b)"});          // not before a quote: literal
  EXPECT_EQ(SplitCommandLine(R"("a\"b")"), Args{R"(a"b)"});         // odd: literal quote
  EXPECT_EQ(SplitCommandLine(R"("a\\" b)"), (Args{R"(a\)", "b"}));  // even: halved, quote ends
  EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), Args{R"(a\"b)"});
  EXPECT_EQ(SplitCommandLine(R"("C:\java\bin\")"), Args{R"(C:\java\bin")"});
  EXPECT_EQ(SplitCommandLine(R"("say ""hi""")"), Args{R"(say "hi")"});
}

TEST(SplitCommandLine, ShellCharactersAreJustText) {
  EXPECT_EQ(SplitCommandLine(R"(javac "/tmp/a;b $(rm -rf x) `y` |z.java")"),
            (Args{"javac", "/tmp/a;b $(rm -rf x) `y` |z.java"}));
}

TEST(QuoteArgument, RoundTripsThroughTheSplitter) {
  for (std::string s : {"", "plain", "with blank", R"(q"uote)", R"(trail\)", R"(two\\ "x")",
                        R"(C:\dir with blanks\)", "-leading", "$(x);y"}) {
    EXPECT_EQ(SplitCommandLine("prog " + QuoteArgument(s)), (Args{"prog", s})) << s;
  }
}

}  // namespace
}  // namespace tamso
