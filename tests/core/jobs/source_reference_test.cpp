#include "jobs/source_reference.h"

#include <gtest/gtest.h>

#include <fstream>

#include <climits>

#include "../../support/fake_host.h"
#include "editor/go_to_line.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

struct Case {
  const char* text;
  const char* file;  // null: no reference
  int line;
};

TEST(ParseSourceReference, ReadsCompilerAndSearchLines) {
  const Case cases[] = {
      {"/home/me/src/Hello.java:12: error: cannot find symbol", "/home/me/src/Hello.java", 12},
      {"C:\\src\\Hello.java:12: Undefined variable: x", "C:\\src\\Hello.java", 12},
      {"==> C:\\src\\Hello.java:7:", "C:\\src\\Hello.java", 7},
      {"==> /home/me/src/Hello.java:7:", "/home/me/src/Hello.java", 7},
      {"see Hello.java:12", "Hello.java", 12},
      {"Hello.java:1:", "Hello.java", 1},
      // a blank ends the name
      {"C:\\My Files\\A.java:3:", "Files\\A.java", 3},
      // the first colon with digits after it wins, colon or end after the digits
      {"a:b:c:42:rest", "a:b:c", 42},
      {"x:12a:y:5", "x:12a:y", 5},
      // the colon that ended a rejected run is the next candidate
      {"File.java:x:9:", "File.java:x", 9},
      // 39 digits still count
      {"F.java:000000000000000000000000000000000000001:", "F.java", 1},
      // bytes of a UTF-8 name are part of it
      {"/home/me/\xc3\xa9t\xc3\xa9/A.java:4: warning", "/home/me/\xc3\xa9t\xc3\xa9/A.java", 4},
      // a control character ends the name and is not part of it
      {"\x01/tmp/B.java:5:", "/tmp/B.java", 5},
      {"Note: 3 errors", nullptr, 0},
      {"\tat Foo.main(Foo.java:12)", nullptr, 0},
      {":12:", nullptr, 0},
      {":12", nullptr, 0},
      {"no colon here", nullptr, 0},
      {"", nullptr, 0},
      {"trailing colon:", nullptr, 0},
      {"F.java:0000000000000000000000000000000000000001:", nullptr, 0},  // 40 digits
      {"   :7:", nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto ref = ParseSourceReference(c.text);
    if (!c.file) {
      EXPECT_FALSE(ref.has_value());
      continue;
    }
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(ref->file, c.file);
    EXPECT_EQ(ref->line, c.line);
  }
}

TEST(ParseSourceReference, ReadsTheBuildToolsBracketedPlaces) {
  struct ToolCase {
    const char* text;
    const char* file;  // null: no reference
    int line;
    int column;
    const char* rest;  // the text after the place
  };
  const ToolCase cases[] = {
      {"[ERROR] /p/src/A.java:[12,20] cannot find symbol", "/p/src/A.java", 12, 20,
       " cannot find symbol"},
      {"[WARNING] /p/src/A.java:[3] unchecked", "/p/src/A.java", 3, 0, " unchecked"},
      {"/p/A.java:[7,1]", "/p/A.java", 7, 1, ""},
      {"/p/A.java:12: error: x", "/p/A.java", 12, 0, " error: x"},
      // an unclosed or empty bracket is no place; a later one still is
      {"[INFO] a:[12 b:[] c:[,3] /q/B.java:[5,6] x", "/q/B.java", 5, 6, " x"},
      {"[ERROR] -> [Help 1]", nullptr, 0, 0, ""},
      {"/p/A.java:[12,x]", nullptr, 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto ref = ParseSourceReference(c.text);
    if (!c.file) {
      EXPECT_FALSE(ref.has_value());
      continue;
    }
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(ref->file, c.file);
    EXPECT_EQ(ref->line, c.line);
    EXPECT_EQ(ref->column, c.column);
    EXPECT_EQ(std::string_view(c.text).substr(ref->end), c.rest);
  }
}

TEST(ParseSourceReference, HasNoLengthLimitAndSaturatesHugeLineNumbers) {
  const std::string path = "/" + std::string(5000, 'd') + "/Long.java";
  auto ref = ParseSourceReference(std::string(300, ' ') + path + ":8: error");
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->file, path);
  EXPECT_EQ(ref->line, 8);

  ref = ParseSourceReference("A.java:99999999999999999999:");
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->line, INT_MAX);
}

class RecordingView : public IView {
 public:
  ViewKind Kind() const override { return ViewKind::Java; }
  IDocument* Document() override { return nullptr; }
  void GoToLine(int line) override { lines.push_back(line); }
  void GoToLineCharacter(int line, int character) override {
    lines.push_back(line);
    characters.push_back(character);
  }
  std::vector<int> lines;
  std::vector<int> characters;
};

TEST(JumpToSource, OpensTheFileAndMovesToTheLine) {
  testing::FakeHost host;
  RecordingView view;
  host.documentViews["/home/me/src/Hello.java"] = &view;

  EXPECT_EQ(JumpToSource("/home/me/src/Hello.java:12: error: x", host), JumpResult::Done);
  EXPECT_EQ(JumpToSource("/home/me/src/Hello.java:1:", host), JumpResult::Done);
  EXPECT_EQ(JumpToSource("/home/me/src/Hello.java:0:", host), JumpResult::Done);
  EXPECT_EQ(view.lines, (std::vector<int>{11, 0, 0}));
  EXPECT_TRUE(host.beeps.empty());
}

TEST(JumpToSource, ACaretLineGivesTheColumn) {
  const std::vector<std::string> out = {"/p/A.java:3: error: x", "    int y = z;", "            ^",
                                        "/p/A.java:5: error: y", "1 error"};
  const auto at = [&](size_t i) { return out[i]; };
  EXPECT_EQ(CaretLineColumn(out.size(), at, 0), 12);
  EXPECT_FALSE(CaretLineColumn(out.size(), at, 3));  // no caret line follows
  EXPECT_FALSE(CaretLineColumn(out.size(), at, 1));

  testing::FakeHost host;
  RecordingView view;
  host.documentViews["/p/A.java"] = &view;
  EXPECT_EQ(JumpToSource(out[0], host, "", nullptr, {}, 12), JumpResult::Done);
  EXPECT_EQ(JumpToSource(out[3], host, "", nullptr, {}, -1), JumpResult::Done);
  EXPECT_EQ(view.lines, (std::vector<int>{2, 4}));
  EXPECT_EQ(view.characters, std::vector<int>{12});  // the second went to the line only
}

// Maven's "[line,column]" counts a tab up to the next multiple of 8; the caret goes
// to the character it names in the file as the tool read it.
TEST(JumpToSource, ABuildToolsColumnReachesTheCharacterItNames) {
  EXPECT_EQ(ExpandedColumnCharacter("int y = z;", 9), 8);
  EXPECT_EQ(ExpandedColumnCharacter("a\tb", 9), 2);
  EXPECT_EQ(ExpandedColumnCharacter("\t\tx", 17), 2);
  EXPECT_EQ(ExpandedColumnCharacter("\xC3\xA9\xF0\x9F\x98\x80x", 4), 3);
  EXPECT_EQ(ExpandedColumnCharacter("ab", 40), 2);
  EXPECT_EQ(ExpandedColumnCharacter("ab", 1), 0);

  testing::TempDir dir;
  const std::string file = dir.File("A.java");
  std::ofstream(file) << "class A {\n  void f() {\n\tint y = z;\n  }\n}\n";
  testing::FakeHost host;
  RecordingView view;
  host.documentViews[file] = &view;
  EXPECT_EQ(JumpToSource("[ERROR] " + file + ":[3,17] cannot find symbol", host), JumpResult::Done);
  // A caret column, when the output has one, wins; a line without a column goes to the line.
  EXPECT_EQ(JumpToSource("[ERROR] " + file + ":[3,17] x", host, "", nullptr, {}, 4),
            JumpResult::Done);
  EXPECT_EQ(JumpToSource("[ERROR] " + file + ":[2] x", host), JumpResult::Done);
  EXPECT_EQ(view.lines, (std::vector<int>{2, 2, 1}));
  EXPECT_EQ(view.characters, (std::vector<int>{9, 4}));
}

TEST(JumpToSource, BeepsOnANonReferenceAndStopsWhenTheFileDoesNotOpen) {
  testing::FakeHost host;
  EXPECT_EQ(JumpToSource("Note: 3 errors", host), JumpResult::NotAReference);
  EXPECT_EQ(host.beeps, std::vector<BeepKind>{BeepKind::Default});
  EXPECT_TRUE(host.openedDocuments.empty());

  EXPECT_EQ(JumpToSource("/gone/A.java:3:", host), JumpResult::OpenFailed);
  EXPECT_EQ(host.openedDocuments, std::vector<std::string>{"/gone/A.java"});
  EXPECT_EQ(host.beeps.size(), 1u);
}

TEST(JumpToSource, NamesWithBlanksAndRelativeNamesFindTheirFile) {
  testing::TempDir t;
  const std::string spaced = t.Write("my dir/A.java", "class A {}\n");
  const std::string relative = t.Write("work/src/B.java", "class B {}\n");
  const std::string line = spaced + ":3: error: x";
  auto ref = ParseSourceReference(line);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->file, "dir/A.java");
  EXPECT_EQ(ref->candidates.front(), spaced);
  EXPECT_EQ(ResolveReferenceFile(*ref, ""), spaced);
  // A hit line of find in files, and leading blanks.
  EXPECT_EQ(ResolveReferenceFile(*ParseSourceReference("==> " + spaced + ":2:"), ""), spaced);
  EXPECT_EQ(ResolveReferenceFile(*ParseSourceReference("  " + spaced + ":2:"), ""), spaced);
  // Relative names are taken from the directory the tool ran in.
  EXPECT_EQ(ResolveReferenceFile(*ParseSourceReference("src/B.java:1: error"), t.File("work")),
            relative);
  // Nothing exists: the blank-free name, as before.
  EXPECT_EQ(ResolveReferenceFile(*ParseSourceReference("in Gone.java:4:"), "/nowhere"),
            "/nowhere/Gone.java");

  testing::FakeHost host;
  RecordingView view;
  host.documentViews[spaced] = &view;
  std::string opened;
  EXPECT_EQ(JumpToSource(line, host, "", &opened), JumpResult::Done);
  EXPECT_EQ(opened, spaced);
  EXPECT_EQ(view.lines, std::vector<int>{2});
}

TEST(GoToLine, TypedNumbersAreClampedToTheText) {
  EXPECT_EQ(GoToLineTarget(5, 10, 1), 4);
  EXPECT_EQ(GoToLineTarget(5, 10, 0), 5);
  EXPECT_EQ(GoToLineTarget(-3, 10, 1), 0);
  EXPECT_EQ(GoToLineTarget(1LL << 40, 10, 1), 9);
  EXPECT_EQ(GoToLineTarget(7, 0, 1), 0);
}

}  // namespace
}  // namespace tamso
