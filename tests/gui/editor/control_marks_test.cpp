// Control bytes in the real editor: drawn as a mark of one cell in the text colour,
// passed, deleted, copied and found like any character, saved back as they were.

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "editor/find_text.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

// The share of the cell's pixels that have the colour.
double Share(const QImage& image, const QRect& cell, const QColor& colour) {
  int hits = 0;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x)
      if (image.pixelColor(x, y) == colour) ++hits;
  return static_cast<double>(hits) / (cell.width() * cell.height());
}

QImage CellImage(const QImage& image, const QRect& cell) {
  return image.copy(cell);
}

TEST(ControlMarks, ControlBytesShowAsMarksAndDeleteAsOneCharacter) {
  EditorFixture f;  // scheme 2: black text on white
  const std::string file(
      "a\x0c"
      "b\x1b"
      "c\0d\x7f\n",
      9);
  f.Load(file);
  const QColor ink = f.editor->NormalColour();
  const QColor paper = f.editor->BackgroundColour();
  QImage image = f.Paint();
  // Each control byte fills its own cell mostly with the text colour, with its
  // letters in the paper colour; plain letters leave their cell mostly paper.
  for (int col : {1, 3, 5, 7}) {
    const QRect cell = f.editor->CellRect(0, col);
    EXPECT_GT(Share(image, cell, ink), 0.4) << "col " << col;
    EXPECT_GT(Share(image, cell, paper), 0.0) << "col " << col;
  }
  for (int col : {0, 2, 4, 6}) EXPECT_LT(Share(image, f.editor->CellRect(0, col), ink), 0.4);
  // The marks tell the bytes apart.
  EXPECT_NE(CellImage(image, f.editor->CellRect(0, 1)), CellImage(image, f.editor->CellRect(0, 3)));
  // A selected mark is inverted like selected text.
  f.editor->Store().SetSelection(0, 1, 0, 2);
  image = f.Paint();
  EXPECT_GT(Share(image, f.editor->CellRect(0, 1), paper), 0.4);

  // Right passes the form feed in one step; Delete removes the ESC and nothing else.
  f.editor->Store().SetSelection(0, 0);
  QTest::keyClick(f.editor, Qt::Key_Right);
  QTest::keyClick(f.editor, Qt::Key_Right);
  QTest::keyClick(f.editor, Qt::Key_Right);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  3)-(  0,  3) Ln   0, Col   3");
  QTest::keyClick(f.editor, Qt::Key_Delete);
  EXPECT_EQ(f.Saved(), std::string("a\x0c"
                                   "bc\0d\x7f\n",
                                   8));
  image = f.Paint();
  EXPECT_LT(Share(image, f.editor->CellRect(0, 3), ink), 0.4);  // now the 'c'
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.Saved(), file);
}

TEST(ControlMarks, ControlBytesCopyPasteAndFind) {
  EditorFixture f;
  f.Load(std::string("x = \"\x1b[0m\";\0\n", 13));
  CLineStore& store = f.editor->Store();
  // Find reaches the ESC sequence.
  ASSERT_TRUE(FindText(store, "\x1b[0", FindOptions{}, &f.host));
  EXPECT_EQ(store.SelectionStart(), (TextPos{0, 5}));
  EXPECT_EQ(store.SelectionEnd(), (TextPos{0, 8}));
  // Copy the semicolon and the NUL after it and paste them at the end of the text.
  store.SetSelection(0, 10, 0, 12);
  QTest::keyClick(f.editor, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_End);
  QTest::keyClick(f.editor, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.Saved(), std::string("x = \"\x1b[0m\";\0;\0\n", 15));
}

}  // namespace
}  // namespace tamso::gui::testing
