#include "editor/smart_indent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace tamso {
namespace {

struct Lines : ILineSource {
  std::vector<std::string> v;
  explicit Lines(std::vector<std::string> lines) : v(std::move(lines)) {}
  int LineCount() const override { return static_cast<int>(v.size()); }
  std::string_view Line(int i) const override { return v[static_cast<std::size_t>(i)]; }
};

const IndentStyle kSpaces4{false, 4};
const IndentStyle kTabs{true, 4};

// A Java store with the text coloured (so block comments and text blocks are known)
// and the caret at (line, col).
struct JavaText {
  CLineStore s;
  JavaText(std::string_view text, int line, int col, int tab = 4) {
    s.SetLanguage(&JavaLanguage());
    s.SetTabWidth(tab);
    s.SetText(text);
    s.RecolourAll();
    s.SetSelection(line, col);
  }
  std::string Text() const { return s.JoinedText("\n", false); }
  void Return(const IndentStyle& style = kSpaces4) {
    SmartBreakLine(s, style, true);
    s.RecolourDirty();
  }
  void Type(std::string_view chars, const IndentStyle& style = kSpaces4) {
    for (char c : chars) {
      TypeWithIndent(s, c, style, true);
      s.RecolourDirty();
    }
  }
};

TEST(SmartIndent, ReturnAddsALevelAfterAnOpenBracketAndKeepsItOtherwise) {
  JavaText t("class A {", 0, 9);
  t.Return();
  EXPECT_EQ(t.Text(), "class A {\n    ");
  EXPECT_EQ(t.s.Caret(), (TextPos{1, 4}));
  t.Type("int x;");
  t.Return();
  EXPECT_EQ(t.Text(), "class A {\n    int x;\n    ");
  // A call left open continues one level in; closing it comes back to its line's level.
  t.Type("foo(a,");
  t.Return();
  EXPECT_EQ(t.s.Line(3), "        ");
  t.Type("b);");
  t.Return();
  EXPECT_EQ(t.s.Line(4), "    ");
  // Brackets in strings, character literals and comments do not count.
  t.Type("s = \"{\" + '(' + x; // {");
  t.Return();
  EXPECT_EQ(t.s.Line(5), "    ");
  t.Type("/* { */ y = 1;");
  t.Return();
  EXPECT_EQ(t.s.Line(6), "    ");
}

TEST(SmartIndent, ReturnBetweenBracesPutsTheClosingBraceOnItsOwnLine) {
  JavaText t("    void f() {}", 0, 14);
  t.Return();
  EXPECT_EQ(t.Text(), "    void f() {\n        \n    }");
  EXPECT_EQ(t.s.Caret(), (TextPos{1, 8}));
  // One undo step brings back the line as it was, caret included.
  ASSERT_TRUE(t.s.Undo());
  EXPECT_EQ(t.Text(), "    void f() {}");
  EXPECT_EQ(t.s.Caret(), (TextPos{0, 14}));

  // A '}' after the caret with no '{' before it goes under its own opening line.
  JavaText u("if (x) {\n    foo();}", 1, 10);
  u.Return();
  EXPECT_EQ(u.Text(), "if (x) {\n    foo();\n}");
  EXPECT_EQ(u.s.Caret(), (TextPos{2, 0}));
  // Blanks after the caret are dropped.
  JavaText v("  a(1);   b(2);", 0, 7);
  v.Return();
  EXPECT_EQ(v.Text(), "  a(1);\n  b(2);");
  // In the leading blanks the line moves down with its indentation.
  JavaText w("{\n    g();", 1, 0);
  w.Return();
  EXPECT_EQ(w.Text(), "{\n\n    g();");
  EXPECT_EQ(w.s.Caret(), (TextPos{2, 0}));
}

TEST(SmartIndent, ClosingBraceFirstOnALineGoesToItsOpeningLine) {
  JavaText t("class A {\n    void f() {\n        if (x) {\n            y();\n            ", 4, 12);
  t.Type("}");
  EXPECT_EQ(t.s.Line(4), "        }");
  EXPECT_EQ(t.s.Caret(), (TextPos{4, 9}));
  // The move and the brace are one undo step, apart from typing before it.
  ASSERT_TRUE(t.s.Undo());
  EXPECT_EQ(t.s.Line(4), "            ");
  t.s.SetSelection(4, 12);
  t.Type("}");
  t.Return();
  t.Type("}");
  EXPECT_EQ(t.s.Line(5), "    }");
  t.Return();
  t.Type("}");
  EXPECT_EQ(t.s.Line(6), "}");

  // A brace after other text, inside a comment or a text block stays where it is typed.
  JavaText c("class A {\n  /*\n      ", 2, 6);
  c.Type("}");
  EXPECT_EQ(c.s.Line(2), "      }");
  JavaText b("class A {\n  String s = \"\"\"\n      ", 2, 6);
  b.Type("}");
  EXPECT_EQ(b.s.Line(2), "      }");
  JavaText x("class A {\n      x", 1, 7);
  x.Type("}");
  EXPECT_EQ(x.s.Line(1), "      x}");
  // Without a matching brace nearby the line keeps its indentation.
  JavaText n("x();\n      ", 1, 6);
  n.Type("}");
  EXPECT_EQ(n.s.Line(1), "      }");
  // Tabs in the file's style: a tab per level, and a typed brace is re-indented with tabs.
  JavaText tb("\tvoid f() {\n\t\tg();\n\t\t", 2, 8, 4);
  tb.Type("}", kTabs);
  EXPECT_EQ(tb.s.Line(2), "\t}");
}

TEST(SmartIndent, TabAndShiftTabIndentByTheStyleAsOneUndoStepEach) {
  JavaText t("a\n\n    b\nc", 0, 0);
  t.s.SetSelection(0, 0, 3, 1);
  IndentKey(t.s, kSpaces4);
  EXPECT_EQ(t.Text(), "    a\n\n        b\n    c");  // the empty line stays empty
  UnindentKey(t.s, kSpaces4);
  UnindentKey(t.s, kSpaces4);
  EXPECT_EQ(t.Text(), "a\n\nb\nc");
  ASSERT_TRUE(t.s.Undo());
  EXPECT_EQ(t.Text(), "a\n\n    b\nc");
  ASSERT_TRUE(t.s.Undo());
  EXPECT_EQ(t.Text(), "    a\n\n        b\n    c");
  // A tab counts as the columns it covers when a level is taken off.
  JavaText tabs("\tx\n  \ty", 0, 0, 4);
  tabs.s.SetSelection(0, 0, 1, 2);
  UnindentKey(tabs.s, IndentStyle{false, 2});
  EXPECT_EQ(tabs.Text(), "x\n\ty");  // a whole tab goes; two spaces make the level
  IndentKey(tabs.s, kTabs);
  EXPECT_EQ(tabs.Text(), "\tx\n\t\ty");

  // On one line Tab goes to the next level's column; Shift+Tab back to the last one.
  JavaText one("ab", 0, 1);
  IndentKey(one.s, kSpaces4);
  EXPECT_EQ(one.Text(), "a   b");
  EXPECT_EQ(one.s.Caret(), (TextPos{0, 4}));
  IndentKey(one.s, kSpaces4);
  EXPECT_EQ(one.Text(), "a       b");
  UnindentKey(one.s, kSpaces4);
  EXPECT_EQ(one.Text(), "a   b");
  UnindentKey(one.s, kSpaces4);
  EXPECT_EQ(one.Text(), "ab");
  UnindentKey(one.s, kSpaces4);  // no blank before the caret: as Backspace
  EXPECT_EQ(one.Text(), "b");
}

TEST(SmartIndent, DetectionReadsTheFilesOwnIndentation) {
  EXPECT_EQ(DetectIndentStyle(Lines({"class A {", "\tint x;", "\tvoid f() {", "\t\tg();"}), 8),
            (IndentStyle{true, 8}));
  EXPECT_EQ(DetectIndentStyle(Lines({"class A {", "  int x;", "  /**", "   * doc", "   */",
                                     "  void f() {", "    g();", "  }", "}"}),
                              4),
            (IndentStyle{false, 2}));
  EXPECT_EQ(DetectIndentStyle(Lines({"class A {", "    void f() {", "        g(1,",
                                     "              2);", "    }", "}"}),
                              4),
            (IndentStyle{false, 4}));
  // Nothing indented, or only lines it cannot tell by: the settings decide.
  EXPECT_FALSE(DetectIndentStyle(Lines({"class A {}", "", "interface B {}"}), 4));
  EXPECT_FALSE(DetectIndentStyle(Lines({" x"}), 4));
  // Only the first lines are read.
  std::vector<std::string> many(50, "x");
  many.push_back("\ty");
  EXPECT_FALSE(DetectIndentStyle(Lines(many), 4, 50));
}

TEST(SmartIndent, SettingsAndIndentStrings) {
  IniFile ini = IniFile::InMemory("");
  EXPECT_EQ(ReadIndentStyle(ini), (IndentStyle{false, 4}));
  ini.WriteInt("Editor", "IndentSpaces", 0);
  ini.WriteInt("Editor", "IndentWidth", 2);
  EXPECT_EQ(ReadIndentStyle(ini), (IndentStyle{true, 2}));
  ini.WriteInt("Editor", "IndentWidth", 99);
  EXPECT_EQ(ReadIndentStyle(ini).width, 4);
  EXPECT_EQ(IndentString(10, kTabs, 4), "\t\t  ");
  EXPECT_EQ(IndentString(3, kSpaces4, 4), "   ");
  EXPECT_EQ(IndentColumns("  \t x", 4), 5);
}

TEST(SmartIndent, InsertedBlockTakesTheCaretLinesIndentation) {
  EXPECT_EQ(IndentInsertedText("for (;;) {\r\n\tx();\r\n\r\n}\r\n", "        foo"),
            "for (;;) {\r\n        \tx();\r\n\r\n        }\r\n");
  EXPECT_EQ(IndentInsertedText("a\nb", "\t"), "a\n\tb");
  EXPECT_EQ(IndentInsertedText("a\nb", "x"), "a\nb");
}

TEST(SmartIndent, OtherLanguagesCopyTheIndentationOnly) {
  EXPECT_TRUE(UsesBraceIndent(&JavaLanguage()));
  EXPECT_TRUE(UsesBraceIndent(&PerlLanguage()));
  EXPECT_FALSE(UsesBraceIndent(&HtmlLanguage()));
  EXPECT_FALSE(UsesBraceIndent(nullptr));
  CLineStore s;
  s.SetText("  <p>{");
  s.SetSelection(0, 6);
  SmartBreakLine(s, kSpaces4, false);
  EXPECT_EQ(s.JoinedText("\n", false), "  <p>{\n  ");
  // Perl comments start with '#'.
  CLineStore p;
  p.SetLanguage(&PerlLanguage());
  p.SetText("  f(1); # (");
  p.SetSelection(0, 11);
  SmartBreakLine(p, kSpaces4, true);
  EXPECT_EQ(p.JoinedText("\n", false), "  f(1); # (\n  ");
}

}  // namespace
}  // namespace tamso
