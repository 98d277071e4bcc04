#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace tamso {
namespace {

using Words = std::vector<std::string>;

TEST(ShellWords, QuotesAndEscapesAsAShellReadsThem) {
  EXPECT_EQ(SplitShellWords("  a\tb\n c  "), (Words{"a", "b", "c"}));
  EXPECT_EQ(SplitShellWords("'a b' \"c d\" e\\ f"), (Words{"a b", "c d", "e f"}));
  // Single quotes keep backslashes and double quotes; double quotes keep single ones.
  EXPECT_EQ(SplitShellWords(R"('C:\x "y"' "it's")"), (Words{R"(C:\x "y")", "it's"}));
  // Inside double quotes only \" \\ \$ and \` escape.
  EXPECT_EQ(SplitShellWords(R"("a\"b\\c\$d\n")"), (Words{R"(a"b\c$d\n)"}));
  // Adjacent pieces make one word; empty quotes make an empty word.
  EXPECT_EQ(SplitShellWords("x'y'\"z\" '' \"\""), (Words{"xyz", "", ""}));
  // Nothing is expanded and no operator is special.
  EXPECT_EQ(SplitShellWords("$(rm -rf) ; * ~ `x` |"),
            (Words{"$(rm", "-rf)", ";", "*", "~", "`x`", "|"}));
  // A backslash-newline joins; a lone trailing backslash and an unclosed quote end
  // the text without losing what came before.
  EXPECT_EQ(SplitShellWords("a\\\nb c\\"), (Words{"ab", "c"}));
  EXPECT_EQ(SplitShellWords("'open quote"), (Words{"open quote"}));
  EXPECT_EQ(SplitShellWords("\"open \\\"dq"), (Words{"open \"dq"}));
  EXPECT_TRUE(SplitShellWords(" \t ").empty());
}

TEST(ShellWords, QuotingGivesEveryWordBack) {
  const Words hostile{"", "plain", "a b", "it's", "\"q\"", "back\\slash", "tab\there",
                      "line\nend", "$(x)", "-x", "'"};
  for (const std::string& w : hostile) {
    SCOPED_TRACE(w);
    EXPECT_EQ(SplitShellWords(QuoteShellWord(w)), (Words{w}));
  }
  EXPECT_EQ(SplitShellWords(JoinShellWords(hostile)), hostile);
  EXPECT_EQ(QuoteShellWord("plain"), "plain");
  EXPECT_EQ(JoinShellWords({"a b", "c"}), "'a b' c");
}

}  // namespace
}  // namespace tamso
