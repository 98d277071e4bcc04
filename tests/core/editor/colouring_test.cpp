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

// Every line's attributes, state and mark of a store against a store of the same text
// coloured at once.
void ExpectColouredAsAWhole(const CLineStore& s) {
  CLineStore whole;
  whole.SetLanguage(s.GetLanguage());
  whole.SetText(s.JoinedText("\n", false));
  whole.RecolourAll();
  ASSERT_EQ(s.LineCount(), whole.LineCount());
  for (int l = 0; l < whole.LineCount(); ++l) {
    ASSERT_EQ(Attrs(s, l), Attrs(whole, l)) << "line " << l;
    ASSERT_EQ(s.LineState(l), whole.LineState(l)) << "line " << l;
    ASSERT_EQ(s.LineMark(l), whole.LineMark(l)) << "line " << l;
  }
}

// A text with comments and text blocks that run over many lines.
std::string Spans(int blocks) {
  std::string t;
  for (int i = 0; i < blocks; ++i) {
    t +=
        "  /* comment " + std::to_string(i) + "\n     goes on */ int a" + std::to_string(i) + ";\n";
    t += "  void m" + std::to_string(i) + "()\n  {\n    String s = \"\"\"\n      if (x) {\n";
    t += "      \"\"\"; return;\n  }\n";
  }
  return t;
}

TEST(Colouring, ColouringAsFarAsAskedGivesWhatColouringAtOnceGives) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  s.SetText(Spans(40));
  s.ForgetColours();
  EXPECT_EQ(s.ColouredLines(), 0);
  EXPECT_EQ(s.LineState(3), kStateUnknown);
  // The first screen: only the lines down to the one asked about are coloured.
  Attrs(s, 20);
  EXPECT_EQ(s.ColouredLines(), 21);
  EXPECT_EQ(s.LineState(30), kStateUnknown);
  // A jump to the last line colours everything above it first.
  const int last = s.LineCount() - 1;
  Attrs(s, last);
  EXPECT_EQ(s.ColouredLines(), s.LineCount());
  ExpectColouredAsAWhole(s);
  // In slices: each one moves on by at least a line, until the end.
  s.ForgetColours();
  int slices = 0;
  for (int before = 0; s.ColourAhead(40); before = s.ColouredLines(), ++slices)
    ASSERT_GT(s.ColouredLines(), before);
  EXPECT_GT(slices, 10);
  ExpectColouredAsAWhole(s);
}

TEST(Colouring, EditsWhileColouringIsUnderWayGiveTheColoursOfTheNewText) {
  // Each edit lands above, at, across or below the first line not coloured yet, and
  // then colouring goes on in slices: the end is as if the new text had been coloured
  // at once.
  struct Edit {
    int line, col, endLine, endCol;
    std::string text;
  };
  const std::vector<Edit> edits = {
      {0, 0, 0, 0, "/*"},                  // opens a comment over everything coloured
      {5, 0, 5, 0, "*/ \"\"\"\n x\n"},     // closes it, opens a text block, adds lines
      {10, 2, 30, 1, ""},                  // joins lines across the frontier
      {60, 0, 60, 0, "{\n}\n/* a\nb */"},  // below the coloured lines
      {1, 0, 3, 0, "int b;"},              // removes the lines above the frontier
  };
  for (std::size_t k = 0; k < edits.size(); ++k) {
    CLineStore s;
    s.SetLanguage(&JavaLanguage());
    s.SetText(Spans(20));
    s.ForgetColours();
    Attrs(s, 12);  // the first screen
    s.ColourAhead(200);
    for (std::size_t j = 0; j <= k; ++j) {
      const Edit& e = edits[j];
      s.SetSelection(e.line, e.col, e.endLine, e.endCol);
      s.ReplaceSelection(e.text);
      s.RecolourDirty();
      s.ColourAhead(100);
    }
    while (s.ColourAhead(100)) {
    }
    SCOPED_TRACE(k);
    ExpectColouredAsAWhole(s);
  }
}

}  // namespace
}  // namespace tamso
