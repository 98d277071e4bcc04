#include "editor/go_to_line.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(GoToLine, JumpsKeepAFewLinesOfContextAboveAndDoNotScrollWhatIsInView) {
  EXPECT_EQ(JumpContextLines(40), 3);
  EXPECT_EQ(JumpContextLines(5), 1);
  EXPECT_EQ(JumpContextLines(1), 0);
  // Out of view: the line shows below three lines of context, never above line 0.
  EXPECT_EQ(FirstLineForJump(500, 0, 40), 497);
  EXPECT_EQ(FirstLineForJump(1, 300, 40), 0);
  // On the top or bottom edge of the view counts as out of view.
  EXPECT_EQ(FirstLineForJump(100, 100, 40), 97);
  EXPECT_EQ(FirstLineForJump(139, 100, 40), 136);
  EXPECT_EQ(FirstLineForJump(120, 100, 40), 100);
}

TEST(GoToLine, TheCaretGoesToTheNameAsAWholeWord) {
  EXPECT_EQ(NameIndex("  double area() { return areaOf(area); }", "area"), 9);
  EXPECT_EQ(NameIndex("  int areas, area2, area;", "area"), 20);
  EXPECT_EQ(NameIndex("sub Pkg::b {", "Pkg::b"), 4);
  EXPECT_EQ(NameIndex("  Ünder_area x;", "x"), 14);
  EXPECT_EQ(NameIndex("nothing here", "area"), 0);
}

}  // namespace
}  // namespace tamso
