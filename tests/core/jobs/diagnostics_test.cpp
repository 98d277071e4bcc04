// The diagnostics of a compile's output, and the marks they leave on an editor's
// lines as the user edits.

#include "jobs/diagnostics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

std::vector<CompileDiagnostic> Parse(const std::vector<std::string>& lines,
                                     const std::string& base = "/nowhere") {
  return ParseDiagnostics(
      lines.size(), [&](size_t i) { return lines[i]; }, base);
}

TEST(Diagnostics, JavacOutputGivesOneMarkPerPlaceWithItsDetails) {
  testing::TempDir dir;
  const std::string a = dir.Write("A.java", "class A {}\n");
  const std::string b = dir.Write("my dir/B.java", "class B {}\n");
  const auto found = Parse(
      {
          "Tamso for Java(TM)",
          "Compiling via javac...",
          "javac \"" + a + "\"",
          "",
          a + ":3: error: cannot find symbol",
          "        foo();",
          "        ^",
          "  symbol:   method foo()",
          "  location: class A",
          b + ":7: warning: [deprecation] stop() in Thread has been deprecated",
          "    t.stop();",
          "     ^",
          "A.java:12: error: ';' expected",
          "    int x = 1",
          "             ^",
          a + ":12: error: repeated place",  // same place, relative and absolute
          "2 errors",
          "1 warning",
          "Done.  Dbl-Click on line numbers to position src code",
      },
      dir.path());
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].file, a);
  EXPECT_EQ(found[0].mark.line, 2);
  EXPECT_EQ(found[0].mark.severity, DiagnosticSeverity::Error);
  EXPECT_EQ(found[0].mark.message, "cannot find symbol\nsymbol:   method foo()\nlocation: class A");
  EXPECT_EQ(found[1].file, b);
  EXPECT_EQ(found[1].mark.severity, DiagnosticSeverity::Warning);
  EXPECT_EQ(found[1].mark.message, "[deprecation] stop() in Thread has been deprecated");
  EXPECT_EQ(found[2].file, a);  // taken from the compile's directory
  EXPECT_EQ(found[2].mark.line, 11);
  EXPECT_EQ(found[2].mark.message, "';' expected");
  // The caret line gives each its column: javac counts characters before the place.
  EXPECT_EQ(found[0].mark.column, 8);
  EXPECT_EQ(found[1].mark.column, 5);
  EXPECT_EQ(found[2].mark.column, 13);
}

TEST(Diagnostics, ColumnsComeOnlyFromACaretLineWhereJavacPutsIt) {
  const auto found = Parse({
      "A.java:2: error: tabs",
      "\t\tfoo();",
      "\t\t^",  // a tab under each tab: two characters before the place
      "A.java:4: error: no source line follows",
      "  symbol: x",
      "  ^ not a caret line",
      "A.java:6: error: the caret line is not right below",
      "x",
      "",
      "^",
  });
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].mark.column, 2);
  EXPECT_EQ(found[1].mark.column, -1);
  EXPECT_EQ(found[2].mark.column, -1);
  LineDiagnostics marks;
  marks.Set({found[1].mark, found[0].mark});
  EXPECT_EQ(marks.ColumnAt(1), 2);
  EXPECT_FALSE(marks.ColumnAt(3));
}

TEST(Diagnostics, OldStyleAndOddLinesAreNotMistaken) {
  const auto found = Parse({
      "Hello.java:5: Class Foo not found.",  // no kind word: an error
      "Hello.java:0: error: line zero names no line",
      "Note: Some input files use unchecked or unsafe operations.",
      "error: no source files",
  });
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].mark.severity, DiagnosticSeverity::Error);
  EXPECT_EQ(found[0].mark.message, "Class Foo not found.");
  EXPECT_EQ(found[0].mark.line, 4);
}

TEST(Diagnostics, MarksFollowTheirLinesThroughEdits) {
  LineDiagnostics marks;
  marks.Set({{5, DiagnosticSeverity::Warning, "w"},
             {2, DiagnosticSeverity::Error, "e1"},
             {2, DiagnosticSeverity::Warning, "w2"}});
  EXPECT_EQ(marks.SeverityAt(2), DiagnosticSeverity::Error);  // the worst one
  EXPECT_EQ(marks.MessageAt(2), "e1\nw2");
  EXPECT_FALSE(marks.SeverityAt(3));
  // Two lines opened above line 2 (at its start): both marks move down.
  marks.Inserted(2, "a\nb\n", true);
  EXPECT_EQ(marks.SeverityAt(4), DiagnosticSeverity::Error);
  EXPECT_EQ(marks.SeverityAt(7), DiagnosticSeverity::Warning);
  // A line break after the text of line 4 leaves its mark where it is.
  marks.Inserted(4, "\n", false);
  EXPECT_EQ(marks.SeverityAt(4), DiagnosticSeverity::Error);
  EXPECT_EQ(marks.SeverityAt(8), DiagnosticSeverity::Warning);
  // Typing without line breaks moves nothing.
  marks.Inserted(0, "xyz", true);
  EXPECT_EQ(marks.SeverityAt(8), DiagnosticSeverity::Warning);
  // Lines 3..5 joined into 3: the marks inside go to the line that is left, those
  // below move up.
  marks.Erased(3, "\n\n");
  EXPECT_EQ(marks.SeverityAt(3), DiagnosticSeverity::Error);
  EXPECT_EQ(marks.SeverityAt(6), DiagnosticSeverity::Warning);
  EXPECT_FALSE(marks.SeverityAt(4));
}

TEST(Diagnostics, ACompileReplacesTheMarksOfTheFilesItConcerns) {
  testing::TempDir dir;
  const std::string a = paths::Canonical(dir.Write("A.java", "class A {}\n"));
  const std::string b = paths::Canonical(dir.Write("B.java", "class B {}\n"));
  DiagnosticStore store;
  auto changed = store.ApplyCompile(
      a, {{a, {0, DiagnosticSeverity::Error, "x"}}, {b, {1, DiagnosticSeverity::Warning, "y"}}});
  EXPECT_EQ(changed.size(), 2u);
  EXPECT_EQ(store.MarksOf(a).size(), 1u);
  EXPECT_EQ(store.MarksOf(b).size(), 1u);
  // A clean compile of A clears A's marks; B keeps its own until it is compiled or
  // named again, or saved.
  changed = store.ApplyCompile(a, {});
  EXPECT_EQ(changed, std::vector<std::string>{a});
  EXPECT_TRUE(store.MarksOf(a).empty());
  EXPECT_EQ(store.MarksOf(b).size(), 1u);
  store.Keep(b, {});
  EXPECT_TRUE(store.MarksOf(b).empty());
}

}  // namespace
}  // namespace tamso
