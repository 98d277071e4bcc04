#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/line_store.h"

namespace tamso {
namespace {

std::vector<std::uint8_t> Attrs(const CLineStore& s, int line) {
  const auto a = s.LineAttributes(line);
  return {a.begin(), a.end()};
}

std::string Lines(int n, const std::string& text) {
  std::string t;
  for (int i = 0; i < n; ++i) t += text + "\n";
  return t;
}

TEST(Colouring, BlockCommentAcrossLines) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  s.SetText("int a; /* open\nstill */ int b;\nint c;\n");
  s.RecolourAll();
  EXPECT_EQ(s.LineState(0), kStateOutside);
  EXPECT_EQ(s.LineState(1), kStateInComment);
  EXPECT_EQ(s.LineState(2), kStateOutside);
  EXPECT_EQ(s.AttributeAt(0, 0), kAttrReserved);
  EXPECT_EQ(s.AttributeAt(0, 9), kAttrComment);
  EXPECT_EQ(s.AttributeAt(1, 0), kAttrComment);
  EXPECT_EQ(s.AttributeAt(2, 0), kAttrReserved);
  EXPECT_EQ(s.AttributeAt(2, 5), kAttrNormal);
}

TEST(Colouring, RecolouringRunsWhileStatesChangeAndStopsAfter) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  s.SetText(Lines(100, "int x;"));
  s.RecolourAll();
  // A typed character that changes no state colours one line.
  s.SetSelection(50, 0);
  s.InsertChar('x');
  EXPECT_EQ(s.RecolourFrom(50), 1);
  // Opening a comment on line 0 recolours to the end of the text.
  s.SetSelection(0, 0);
  s.InsertText("/*");
  EXPECT_EQ(s.RecolourDirty().last, 99);
  for (int l = 1; l < 100; ++l) ASSERT_EQ(s.LineState(l), kStateInComment) << l;
  EXPECT_EQ(s.AttributeAt(99, 0), kAttrComment);
  // Closing it on line 10 recolours from there only.
  s.SetSelection(10, 0);
  s.InsertText("*/");
  const LineRange r = s.RecolourDirty();
  EXPECT_EQ(r.first, 9);
  EXPECT_EQ(r.last, 99);
  EXPECT_EQ(s.LineState(10), kStateInComment);
  EXPECT_EQ(s.LineState(11), kStateOutside);
  // Deleting the "/*" recolours lines 1..10 and stops at line 11, already right.
  s.SetSelection(0, 0, 0, 2);
  s.DeleteSelection();
  EXPECT_EQ(s.RecolourFrom(0), 11);
  EXPECT_EQ(s.LineState(5), kStateOutside);
  EXPECT_EQ(s.AttributeAt(5, 0), kAttrReserved);
}

TEST(Colouring, TypingLineByLineGivesTheSameAttributesAsColouringAtOnce) {
  const std::string source =
      "public class A {\n"
      "  /* a comment\n"
      "     over lines */ int x = \"//\";\n"
      "  void run(int n) {\n"
      "    if (n) { return; } // done\n"
      "  }\n"
      "}\n";
  CLineStore whole;
  whole.SetLanguage(&JavaLanguage());
  whole.SetText(source);
  whole.RecolourAll();

  CLineStore typed;
  typed.SetLanguage(&JavaLanguage());
  typed.SetText("");
  typed.RecolourAll();
  for (char c : source) {
    if (c == '\n') {
      typed.BreakLine(false);
    } else {
      typed.InsertChar(c);
    }
    typed.RecolourDirty();
  }
  ASSERT_EQ(typed.LineCount(), whole.LineCount() + 1);  // the typed text ends in a break
  for (int l = 0; l < whole.LineCount(); ++l) {
    EXPECT_EQ(Attrs(typed, l), Attrs(whole, l)) << "line " << l;
    EXPECT_EQ(typed.LineState(l), whole.LineState(l)) << "line " << l;
    EXPECT_EQ(typed.LineMark(l), whole.LineMark(l)) << "line " << l;
  }
  EXPECT_EQ(whole.LineMark(3), 1);
  EXPECT_EQ(whole.LineMark(4), 0);
}

TEST(Colouring, BraceTypedBelowAMethodHeaderMarksTheHeader) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  s.SetText("  void run()\n\n");
  s.RecolourAll();
  EXPECT_EQ(s.LineMark(0), 0);
  s.SetSelection(1, 0);
  s.InsertChar('{');
  s.RecolourDirty();
  EXPECT_EQ(s.LineMark(0), 1);
}

TEST(Colouring, WithoutALanguageEverythingIsNormal) {
  CLineStore s;
  s.SetText("int /* x");
  s.RecolourAll();
  EXPECT_EQ(s.AttributeAt(0, 0), kAttrNormal);
  EXPECT_EQ(s.AttributeAt(0, 9), 0);  // past the end
  s.SetAttributes(0, 0, 3, kAttrReserved);
  EXPECT_EQ(s.AttributeAt(0, 2), kAttrReserved);
  EXPECT_EQ(s.AttributeAt(0, 3), kAttrNormal);
}

}  // namespace
}  // namespace tamso
