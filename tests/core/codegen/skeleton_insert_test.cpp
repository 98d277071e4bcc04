#include "codegen/skeleton_insert.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(SkeletonInsert, EveryLineTakesTheCaretLinesIndentation) {
  const std::string body = "for (int i = 0; i < n; i++) {\r\n\t\r\n}\r\n";
  // At the end of an indented blank line: the first line goes at the caret, the
  // others under it; the empty line stays empty (no trailing blanks are made).
  EXPECT_EQ(SkeletonForCaret(body, "        ", 8, "        ", 8),
            "for (int i = 0; i < n; i++) {\r\n        \t\r\n        }\r\n");
  // Tabs are kept as the line has them.
  EXPECT_EQ(SkeletonForCaret("a\r\nb", "\t\tx = 1;", 2, "\t\tx = 1;", 2), "a\r\n\t\tb\r\n\t\t");
  // Only the blanks before the caret count.
  EXPECT_EQ(SkeletonForCaret("a\nb\n", "    ", 2, "    ", 2), "a\n  b\n");
  // A one-line skeleton is inserted as it is.
  EXPECT_EQ(SkeletonForCaret("x()", "    y", 4, "    y", 4), "x()");
}

TEST(SkeletonInsert, TextAfterTheCaretGoesOnALineOfItsOwn) {
  // The skeleton's last line would otherwise run into "return;".
  EXPECT_EQ(SkeletonForCaret("if (x) {\r\n}", "    return;", 4, "    return;", 4),
            "if (x) {\r\n    }\r\n    ");
  // A skeleton that ends with a line break: the rest gets the indentation.
  EXPECT_EQ(SkeletonForCaret("a\r\n", "  f();", 2, "  f();", 2), "a\r\n  ");
  // A selection over several lines: what follows its end decides.
  EXPECT_EQ(SkeletonForCaret("a\r\nb", "  p", 2, "q", 1), "a\r\n  b");
  EXPECT_EQ(SkeletonForCaret("a\r\nb", "  p", 2, "qr", 1), "a\r\n  b\r\n  ");
}

}  // namespace
}  // namespace tamso
