#include "editor/print_layout.h"

#include <gtest/gtest.h>

#include "lang/language.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

struct Lines : ILineSource {
  std::vector<std::string> lines;
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string_view Line(int i) const override { return lines[static_cast<size_t>(i)]; }
};

// The rows of every page as "line:begin-end@startColumn".
std::vector<std::vector<std::string>> Pages(const PrintLayout& layout) {
  std::vector<std::vector<std::string>> pages;
  for (int p = 0; p < layout.PageCount(); ++p) {
    pages.emplace_back();
    for (const PrintRow* r = layout.PageBegin(p); r != layout.PageEnd(p); ++r)
      pages.back().push_back(std::to_string(r->line) + ":" + std::to_string(r->begin) + "-" +
                             std::to_string(r->end) + "@" + std::to_string(r->startColumn) +
                             (r->continuation ? "+" : ""));
  }
  return pages;
}

TEST(PrintLayout, LongLinesWrapAtCharacterBoundariesAndRowsFillPages) {
  Lines text;
  text.lines = {"abcdefghij", "", "xy", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"};
  PrintLayout layout(text, {4, 3, 8, false});
  EXPECT_EQ(
      Pages(layout),
      (std::vector<std::vector<std::string>>{
          {"0:0-4@0", "0:4-8@4+", "0:8-10@8+"}, {"1:0-0@0", "2:0-2@0", "3:0-8@0"}, {"3:8-10@4+"}}));
  EXPECT_EQ(PrintLayout::PageText(1, 3), "Page 2 of 3");
}

TEST(PrintLayout, TabsExpandAsOnScreenAcrossAWrap) {
  Lines text;
  // a, tab to column 4, b c d e f: wraps before the character that would pass column 6.
  text.lines = {"a\tbcdef", "\t\t\tx"};
  PrintLayout layout(text, {6, 10, 4, false});
  EXPECT_EQ(Pages(layout)[0],
            (std::vector<std::string>{"0:0-4@0", "0:4-7@6+", "1:0-1@0", "1:1-2@4+", "1:2-4@8+"}));
  // The cells of the first row: 'a' at 0, the tab from 1 to its stop at 4, b c at 4, 5.
  std::vector<std::string> cells;
  const PrintRow* row = layout.PageBegin(0);
  ForEachCell(text.lines[0], *row, 4, 6, [&](size_t i, int x, int w) {
    cells.push_back(std::to_string(i) + "@" + std::to_string(x) + "x" + std::to_string(w));
  });
  EXPECT_EQ(cells, (std::vector<std::string>{"0@0x1", "1@1x3", "2@4x1", "3@5x1"}));
  // A tab wider than the whole row is clipped to it.
  Lines wide;
  wide.lines = {"\tz"};
  PrintLayout narrow(wide, {3, 10, 8, false});
  cells.clear();
  ForEachCell(wide.lines[0], *narrow.PageBegin(0), 8, 3, [&](size_t i, int x, int w) {
    cells.push_back(std::to_string(i) + "@" + std::to_string(x) + "x" + std::to_string(w));
  });
  EXPECT_EQ(cells, std::vector<std::string>{"0@0x3"});
}

TEST(PrintLayout, GutterGrowsWithTheLineCountAndHostileGeometryIsClamped) {
  Lines text;
  text.lines.assign(123456, "x");
  PrintLayout numbered(text, {80, 60, 8, true});
  EXPECT_EQ(numbered.GutterCells(), 7);
  EXPECT_EQ(numbered.LineNumberText(8), "     8");
  // From 1, as the editor counts by default: the last line's number still fits.
  PrintLayout fromOne(text, {80, 60, 8, true, 1});
  EXPECT_EQ(fromOne.LineNumberText(8), "     9");
  EXPECT_EQ(fromOne.LineNumberText(123455), "123456");
  EXPECT_EQ(numbered.PageCount(), (123456 + 59) / 60);
  Lines empty;
  PrintLayout none(empty, {0, -5, 0, false});
  EXPECT_EQ(none.PageCount(), 1);
  EXPECT_EQ(none.PageBegin(0), none.PageEnd(0));
  EXPECT_EQ(none.GutterCells(), 0);
}

TEST(PrintLayout, ThePdfIsNamedAfterTheDocumentBesideIt) {
  testing::TempDir dir;
  const std::string src = dir.File("Main.java");
  EXPECT_EQ(PrintFileName(src, "Main.java", "/home/u"), dir.File("Main.pdf"));
  EXPECT_EQ(PrintFileName(dir.File("notes"), "notes", "/home/u"), dir.File("notes.pdf"));
  // A new document, or one read out of an archive, is named after its title.
  EXPECT_EQ(PrintFileName("", "Java1", "/home/u"), "/home/u/Java1.pdf");
  EXPECT_EQ(PrintFileName(dir.File("src.zip!/java.base/java/lang/String.java"),
                          "src.zip!/java.base/java/lang/String.java", "/home/u"),
            "/home/u/String.pdf");
  EXPECT_EQ(PrintFileName("", "", "/home/u"), "/home/u/print.pdf");
}

}  // namespace
}  // namespace tamso
