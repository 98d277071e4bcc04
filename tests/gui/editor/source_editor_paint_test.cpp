// Painting offscreen: the selection is inverted, schemes give the right colours, the
// separator line is drawn, UTF-8 cells line up with the store's columns, and every
// pixel of the viewport is painted whatever the text.

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QTest>

#include "editor/editor_style.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

// The colour just inside the top-left corner of a cell, away from any glyph.
QColor CellColour(const QImage& image, const EditorFixture& f, int line, int col) {
  const QRect r = f.editor->CellRect(line, col);
  return image.pixelColor(r.left() + 1, r.top() + 2);
}

bool AllPainted(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == QColor(Qt::magenta)) return false;
  return true;
}

TEST(SourceEditorPaint, SelectionIsInvertedUpToOneCellPastTheLineEnd) {
  EditorFixture f;  // scheme 2: black text on white
  f.Load("abc defg\nnext\n");
  f.editor->Store().SetSelection(0, 1, 0, 3);
  f.editor->UpdateCaret();
  QImage image = f.Paint();
  EXPECT_EQ(CellColour(image, f, 0, 1), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 0, 2), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 0, 3), QColor(Qt::white));
  EXPECT_EQ(CellColour(image, f, 0, 0), QColor(Qt::white));

  // A selection that reaches the end of the line shows one highlighted cell there.
  f.editor->Store().SetSelection(0, 4, 0, 8);
  image = f.Paint();
  EXPECT_EQ(CellColour(image, f, 0, 8), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 0, 9), QColor(Qt::white));
  // Across lines: the line break of the first line is highlighted as well.
  f.editor->Store().SetSelection(0, 6, 1, 2);
  image = f.Paint();
  EXPECT_EQ(CellColour(image, f, 0, 8), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 1, 1), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 1, 2), QColor(Qt::white));
}

TEST(SourceEditorPaint, ColourSchemesFromTheProfile) {
  {
    EditorFixture f(ViewKind::Java, "[Editor]\nColorScheme=1\n");
    f.Load("text\n");
    f.editor->Store().SetSelection(0, 0, 0, 2);
    const QImage image = f.Paint();
    EXPECT_EQ(CellColour(image, f, 0, 3), QColor(Qt::black));  // background
    EXPECT_EQ(CellColour(image, f, 0, 0), QColor(Qt::white));  // inverted: normal text colour
  }
  {
    // Scheme 0 reads the keys as 0x00BBGGRR: 255 is red, 16711680 blue.
    EditorFixture f(ViewKind::Java,
                    "[Editor]\nColorScheme=0\nclrBackGround=255\nclrNormal=16711680\n");
    f.Load("text\n");
    f.editor->Store().SetSelection(0, 0, 0, 2);
    const QImage image = f.Paint();
    EXPECT_EQ(CellColour(image, f, 0, 3), QColor(255, 0, 0));
    EXPECT_EQ(CellColour(image, f, 0, 0), QColor(0, 0, 255));
  }
  {
    EditorFixture f(ViewKind::Java, "[Editor]\nColorScheme=3\n");
    f.Load("text\n");
    EXPECT_EQ(CellColour(f.Paint(), f, 0, 1), QColor(0xC0, 0xC0, 0xC0));
  }
  {
    // An unknown scheme gets the default one.
    EditorFixture f(ViewKind::Java, "[Editor]\nColorScheme=7\n");
    f.Load("text\n");
    EXPECT_EQ(CellColour(f.Paint(), f, 0, 1), QColor(Qt::white));
  }
}

TEST(SourceEditorPaint, SeparatorLineAboveAMethodHeader) {
  EditorFixture f(ViewKind::Java, "[Editor]\nColorize=1\n");
  f.Load("class A {\n  void f() {\n  }\n  int x;\n}\n");
  const QImage image = f.Paint();
  const QColor comment(0x00, 0x7F, 0x00);  // scheme 2
  auto rowHasComment = [&](int y) {
    for (int x = 0; x < image.width() - 20; ++x)
      if (image.pixelColor(x, y) == comment) return true;
    return false;
  };
  const int lh = f.editor->LineHeight();
  EXPECT_EQ(f.editor->Store().LineMark(1), 1);
  EXPECT_TRUE(rowHasComment(lh));
  EXPECT_FALSE(rowHasComment(0));
  EXPECT_FALSE(rowHasComment(2 * lh));
  EXPECT_FALSE(rowHasComment(3 * lh));
}

TEST(SourceEditorPaint, ALoadedTextIsColouredAsFarAsShownAndTheRestWhileIdle) {
  EditorFixture f(ViewKind::Java, "[Editor]\nColorize=1\n");
  // A comment opened on the first line and closed far below the first screen.
  std::string text = "/* opened\n";
  for (int i = 0; i < 3000; ++i) text += "   still a comment\n";
  text += "*/ int x;\n";
  for (int i = 0; i < 3000; ++i) text += "int y;\n";
  f.Load(text);
  CLineStore& store = f.editor->Store();
  const int last = store.LineCount() - 1;
  EXPECT_LT(store.ColouredLines(), 100);  // nothing more than the screen so far
  f.editor->viewport()->repaint();
  EXPECT_LT(store.ColouredLines(), 100);
  ASSERT_TRUE(f.editor->ColouringAhead());
  // Typed before the rest is coloured: the colours below still follow the new text.
  f.editor->GoToPlace(1, 0);
  f.editor->InsertText("*/");
  f.editor->GoToPlace(0, 0);
  for (int i = 0; i < 100000 && f.editor->ColouringAhead(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(f.editor->ColouringAhead());
  EXPECT_EQ(store.ColouredLines(), store.LineCount());
  EXPECT_EQ(store.AttributeAt(2, 3), kAttrNormal);     // "still" after the comment closed
  EXPECT_EQ(store.AttributeAt(3001, 0), kAttrNormal);  // "*/" is no longer a comment's end
  EXPECT_EQ(store.AttributeAt(last, 0), kAttrReserved);
  // A jump to the end of a text just loaded colours what it shows at once.
  f.Load(text);
  f.editor->GoToLine(last);
  f.editor->viewport()->repaint();
  EXPECT_EQ(store.ColouredLines(), store.LineCount());
  EXPECT_EQ(store.AttributeAt(3002, 0), kAttrReserved);  // "int" below the comment's end
  EXPECT_EQ(store.AttributeAt(1500, 3), kAttrComment);
}

TEST(SourceEditorPaint, GutterIsAsWideAsTheLargestLineNumber) {
  EditorFixture f(ViewKind::Java, "[Editor]\nNumberFrom=1\n");
  f.Load(std::string(99999, '\n'));
  ASSERT_EQ(f.editor->Store().LineCount(), 99999);
  // The number font as the gutter draws it, 2 pixels in from the left, with the mark
  // bar of a compile message along the gutter's right edge.
  const QFont numberFont =
      MakeEditorFonts(f.editor->PointSize(), f.editor->logicalDpiY()).lineNumber;
  auto fits = [&](const char* number) {
    const int bar = std::max(3, f.editor->CharWidth() / 3);
    return 2 + QFontMetrics(numberFont).horizontalAdvance(QLatin1String(number)) + bar <=
           f.editor->GutterCells() * f.editor->CharWidth();
  };
  EXPECT_TRUE(fits("99999"));
  const int five = f.editor->GutterCells();
  // One more line: six digits, and the gutter widens at once, the text moving right.
  f.editor->setFocus();
  QTest::keyClick(f.editor, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_Return);
  ASSERT_EQ(f.editor->Store().LineCount(), 100000);
  EXPECT_GT(f.editor->GutterCells(), five);
  EXPECT_TRUE(fits("100000"));
  EXPECT_EQ(f.editor->CellRect(99999, 0).left(), f.editor->GutterCells() * f.editor->CharWidth());
  // Undone, it narrows again.
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.editor->GutterCells(), five);
  // Without line numbers there is no gutter however long the text.
  EditorFixture g(ViewKind::Java, "[Editor]\nLineNumbers=0\n");
  g.Load(std::string(123456, '\n'));
  EXPECT_EQ(g.editor->GutterCells(), 0);
}

TEST(SourceEditorPaint, Utf8SequencesTakeOneCellEach) {
  EditorFixture f;
  // e acute, an invalid byte, the euro sign, then x: four cells.
  f.Load("\xC3\xA9\xFF\xE2\x82\xACx\n");
  ASSERT_EQ(f.editor->Store().LineWidth(0), 4);
  f.editor->Store().SetSelection(0, 3, 0, 4);
  const QImage image = f.Paint();
  EXPECT_EQ(CellColour(image, f, 0, 2), QColor(Qt::white));
  EXPECT_EQ(CellColour(image, f, 0, 3), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 0, 4), QColor(Qt::black));
  EXPECT_EQ(CellColour(image, f, 0, 5), QColor(Qt::white));
}

TEST(SourceEditorPaint, EveryPixelIsPaintedForHostileTexts) {
  EditorFixture f;
  EXPECT_TRUE(AllPainted(f.Paint()));  // a new document
  f.Load("");
  EXPECT_TRUE(AllPainted(f.Paint()));
  f.Load(std::string("\0\0\x01\xFF\xFE\t\t\xC3", 8) + "\n\t\tx\n");
  EXPECT_TRUE(AllPainted(f.Paint()));
  // One line of 1 MB of comment, scrolled far to the right, with a selection in it.
  f.Load("// " + std::string(1 << 20, 'y') + "\nz\n");
  QTest::keyClick(f.editor, Qt::Key_End);
  f.editor->Store().ExtendSelection(0, 500000);
  f.editor->UpdateCaret();
  EXPECT_GT(f.editor->FirstVisibleColumn(), 500000);
  EXPECT_TRUE(AllPainted(f.Paint()));
  // Rows below the text are painted too, and no gutter still paints everything.
  EditorFixture g(ViewKind::Perl, "[Editor]\nLineNumbers=0\n");
  g.Load("sub f {\n}\n# sub g\n");
  EXPECT_EQ(g.editor->GutterCells(), 0);
  EXPECT_TRUE(AllPainted(g.Paint()));
}

TEST(SourceEditorPaint, TypingInvalidatesOnlyTheLinesItRecolours) {
  EditorFixture f;
  std::string text;
  for (int i = 0; i < 20; ++i) text += "int v" + std::to_string(i) + ";\n";
  f.Load(text);
  f.editor->GoToLine(0);
  QTest::keyClick(f.editor, Qt::Key_Down);
  QTest::keyClick(f.editor, Qt::Key_Down);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(f.pane.get()));
  f.editor->viewport()->repaint();
  ASSERT_TRUE(f.editor->PendingUpdate().isEmpty());
  QTest::keyClicks(f.editor, "x");
  const QRect pending = f.editor->PendingUpdate().boundingRect();
  const int lh = f.editor->LineHeight();
  // The line above is recoloured too: a brace typed here may give it a separator.
  EXPECT_GE(pending.top(), lh);
  EXPECT_LE(pending.bottom(), 3 * lh - 1);
}

}  // namespace
}  // namespace tamso::gui::testing
