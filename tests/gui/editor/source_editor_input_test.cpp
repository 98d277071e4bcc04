// Typing, keys, mouse, clipboard and undo in an offscreen editor, checked through
// the status text and the bytes a save writes.

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "editor/go_to_line.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

TEST(SourceEditorInput, TypingAutoIndentsAndSavesLf) {
  EditorFixture f(ViewKind::Java, "[Editor]\nIndentSpaces=0\n");
  QSignalSpy status(f.pane.get(), &EditorPane::statusTextChanged);
  QSignalSpy modified(f.pane.get(), &EditorPane::modifiedChanged);
  QTest::keyClick(f.editor, Qt::Key_Tab);
  QTest::keyClicks(f.editor, "if (a) {");
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClicks(f.editor, "b;");
  // The tab advances to column 5, the new line starts with the same tab and one more
  // after the open brace.
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  1, 12)-(  1, 12) Ln   1, Col  12");
  ASSERT_FALSE(status.isEmpty());
  EXPECT_EQ(status.last().at(0).toString(), f.editor->StatusText());
  ASSERT_EQ(modified.count(), 1);
  EXPECT_TRUE(f.pane->IsModified());
  // A new document starts empty: no stray blank follows the typing.
  EXPECT_EQ(f.Saved(), "\tif (a) {\n\t\tb;\n");
  EXPECT_FALSE(f.pane->IsModified());
}

TEST(SourceEditorInput, ControlCharactersAndEscapeTypeNothing) {
  EditorFixture f;
  f.Load("x\n");
  QTest::keyClick(f.editor, Qt::Key_Escape);
  QTest::keyClick(f.editor, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(f.host.beeps.size(), 2u);
  EXPECT_FALSE(f.pane->IsModified());
  EXPECT_EQ(f.Saved(), "x\n");
}

TEST(SourceEditorInput, UnicodeKeyInsertsOneCell) {
  EditorFixture f;
  f.Load("ab\n");
  QTest::keyClick(f.editor, Qt::Key_Right);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
  QApplication::sendEvent(f.editor, &key);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  2)-(  0,  2) Ln   0, Col   2");
  EXPECT_EQ(f.Saved(),
            "a\xC3\xA9"
            "b\n");
}

TEST(SourceEditorInput, ShiftArrowsSelectAndBackspaceDeletesExactlyTheSelection) {
  EditorFixture f;
  f.Load("hello world\nsecond line\nthird\n");
  for (int i = 0; i < 6; ++i) QTest::keyClick(f.editor, Qt::Key_Right);
  for (int i = 0; i < 5; ++i) QTest::keyClick(f.editor, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  6)-(  0, 11) Ln   0, Col  11");
  QTest::keyClick(f.editor, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  6)-(  1, 11) Ln   1, Col  11");
  EXPECT_EQ(f.pane->SelectedText(), "world\r\nsecond line");
  QTest::keyClick(f.editor, Qt::Key_Backspace);
  EXPECT_EQ(f.Saved(), "hello \nthird\n");
}

TEST(SourceEditorInput, HomeEndAndControlHomeEnd) {
  EditorFixture f;
  f.Load("one\n\ttwo\nlast line\n");
  QTest::keyClick(f.editor, Qt::Key_Down);
  QTest::keyClick(f.editor, Qt::Key_End);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  1,  8)-(  1,  8) Ln   1, Col   8");
  QTest::keyClick(f.editor, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  1,  0)-(  1,  8) Ln   1, Col   0");
  QTest::keyClick(f.editor, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  2,  9)-(  2,  9) Ln   2, Col   9");
  QTest::keyClick(f.editor, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  0)-(  2,  9) Ln   0, Col   0");
}

TEST(SourceEditorInput, TabIndentsAndShiftTabUnindentsASelectedBlock) {
  EditorFixture f(ViewKind::Java, "[Editor]\nIndentSpaces=0\n");
  f.Load("a\nb\nc\nd\n");
  QTest::keyClick(f.editor, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(f.editor, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(f.editor, Qt::Key_Tab);
  EXPECT_EQ(f.Saved(), "\ta\n\tb\n\tc\nd\n");
  QTest::keyClick(f.editor, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(f.Saved(), "a\nb\nc\nd\n");
  // With the selection on one line, Tab replaces it with a tab.
  f.editor->Store().SetSelection(3, 0, 3, 1);
  QTest::keyClick(f.editor, Qt::Key_Tab);
  EXPECT_EQ(f.Saved(), "a\nb\nc\n\t\n");
}

TEST(SourceEditorInput, JavaIndentsItselfAsItIsTyped) {
  EditorFixture f;  // four spaces a level by default
  QTest::keyClicks(f.editor, "class A {");
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClicks(f.editor, "void f() {}");
  QTest::keyClick(f.editor, Qt::Key_Left);
  QTest::keyClick(f.editor, Qt::Key_Return);  // between the braces
  QTest::keyClicks(f.editor, "x();");
  QTest::keyClick(f.editor, Qt::Key_Down);
  QTest::keyClick(f.editor, Qt::Key_End);
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClicks(f.editor, "}");
  EXPECT_EQ(f.Saved(), "class A {\n    void f() {\n        x();\n    }\n}\n");
  // The brace and its move come back with one undo.
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.Saved(), "class A {\n    void f() {\n        x();\n    }\n    \n");
  // Tab on a line goes to the next level.
  QTest::keyClick(f.editor, Qt::Key_Tab);
  EXPECT_EQ(f.editor->Store().Caret(), (TextPos{4, 8}));

  // A file indented with tabs goes on with tabs, whatever the settings say.
  f.Load("class A {\n\tint x;\n}\n");
  EXPECT_TRUE(f.editor->Indent().tabs);
  QTest::keyClick(f.editor, Qt::Key_Down);
  QTest::keyClick(f.editor, Qt::Key_End);
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClicks(f.editor, "void f() {");
  QTest::keyClick(f.editor, Qt::Key_Return);
  EXPECT_EQ(f.Saved(), "class A {\n\tint x;\n\tvoid f() {\n\t\t\n}\n");
}

TEST(SourceEditorInput, CompilerColumnsPlaceTheCaret) {
  EditorFixture f;
  f.Load("class A {\n\tint x = y;\n}\n");
  LineDiagnostic d;
  d.line = 1;
  d.message = "cannot find symbol";
  d.column = 9;  // the y: javac counts the tab as one character
  f.editor->SetDiagnostics({d});
  // A click on the mark in the gutter; the tab shows five cells wide.
  const QPoint mark(2, f.CellPoint(1, 0).y());
  SendMouse(f.editor->viewport(), QEvent::MouseButtonPress, mark, Qt::LeftButton, Qt::LeftButton);
  SendMouse(f.editor->viewport(), QEvent::MouseButtonRelease, mark, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.editor->Store().Caret(), (TextPos{1, 13}));
  // An output line's jump goes through the pane.
  f.pane->GoToLineCharacter(1, 5);
  EXPECT_EQ(f.editor->Store().Caret(), (TextPos{1, 9}));
  f.pane->GoToLineCharacter(2, 40);  // past the end: the end of the line
  EXPECT_EQ(f.editor->Store().Caret(), (TextPos{2, 1}));
}

TEST(SourceEditorInput, UndoAndRedoThroughKeys) {
  EditorFixture f;
  f.Load("abc\n");
  QTest::keyClick(f.editor, Qt::Key_End);
  QTest::keyClicks(f.editor, "de");
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClicks(f.editor, "f");
  EXPECT_EQ(f.Saved(), "abcde\nf\n");
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(f.Saved(), "abcde\n");
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f.Saved(), "abc\n");
  QTest::keyClick(f.editor, Qt::Key_Y, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.Saved(), "abcde\n\n");
  // Back at the state it was opened in, the document is no longer modified.
  f.Load("abc\n");
  QTest::keyClicks(f.editor, "x");
  EXPECT_TRUE(f.pane->IsModified());
  QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(f.pane->IsModified());
}

TEST(SourceEditorInput, SelectAllAndClipboardRoundTrip) {
  EditorFixture f;
  f.Load("first \xE9\nsecond\n");  // a byte that is not UTF-8 survives copy and paste
  QTest::keyClick(f.editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "first \xC3\xA9\r\nsecond");
  QTest::keyClick(f.editor, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(f.editor, Qt::Key_Return);
  QTest::keyClick(f.editor, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(f.Saved(), "first \xE9\nsecond\nfirst \xE9\nsecond\n");
  // Cut takes the selection away; text from other programs with LF line ends pastes
  // as separate lines.
  f.editor->Store().SetSelection(0, 0, 0, 6);
  f.pane->ExecuteCommand(57635);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "first ");
  QGuiApplication::clipboard()->setText(QStringLiteral("x\ny\n"));
  f.pane->ExecuteCommand(57637);
  EXPECT_EQ(f.Saved(), "x\ny\n\xE9\nsecond\nfirst \xE9\nsecond\n");
  // Paste is offered as the clipboard changes, also between two looks at the state.
  EXPECT_TRUE(f.pane->IsCommandEnabled(57637));
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(f.pane->IsCommandEnabled(57637));
  EXPECT_FALSE(f.pane->IsCommandEnabled(57637));
  QGuiApplication::clipboard()->setText(QStringLiteral("z"));
  EXPECT_TRUE(f.pane->IsCommandEnabled(57637));
}

TEST(SourceEditorInput, MouseClickSnapsToTabAndDragSelects) {
  EditorFixture f;
  f.Load("\tx = 1;\nsecond line\n");
  // Column 2 lies inside the tab's cells: the caret goes to the tab's first cell.
  QTest::keyClick(f.editor, Qt::Key_Down);
  QTest::mouseClick(f.editor->viewport(), Qt::LeftButton, {}, f.CellPoint(0, 2));
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  0)-(  0,  0) Ln   0, Col   0");

  QWidget* vp = f.editor->viewport();
  SendMouse(vp, QEvent::MouseButtonPress, f.CellPoint(0, 6), Qt::LeftButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, f.CellPoint(1, 3), Qt::NoButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, f.CellPoint(1, 4), Qt::NoButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseButtonRelease, f.CellPoint(1, 4), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  0,  6)-(  1,  4) Ln   1, Col   4");
  EXPECT_EQ(f.pane->SelectedText(), " = 1;\r\nseco");
  // Moving without the button does not extend.
  SendMouse(vp, QEvent::MouseMove, f.CellPoint(0, 9), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(f.pane->SelectedText(), " = 1;\r\nseco");
}

TEST(SourceEditorInput, RightClickMenuFollowsTheSelection) {
  EditorFixture f;
  f.Load("String s;\n");
  QGuiApplication::clipboard()->clear();
  f.editor->Store().SetSelection(0, 0, 0, 6);
  std::unique_ptr<QMenu> menu(f.editor->CreateContextMenu());
  auto action = [&](const char* id) { return menu->findChild<QAction*>(QString::fromLatin1(id)); };
  ASSERT_TRUE(action("57634") && action("57635") && action("57637") && action("32922"));
  EXPECT_TRUE(action("57634")->isEnabled());
  EXPECT_FALSE(action("57637")->isEnabled());
  EXPECT_EQ(action("32922")->text(), QStringLiteral("Help on 'String'"));
  // Without a frame that runs them, the frame's commands show disabled.
  EXPECT_FALSE(action("32777")->isEnabled());
  EXPECT_FALSE(action("32922")->isEnabled());
  f.pane->SetCommandCheck([](int id) { return id == 32777; });
  menu.reset(f.editor->CreateContextMenu());
  EXPECT_TRUE(action("32777")->isEnabled());
  EXPECT_FALSE(action("32922")->isEnabled());
  QSignalSpy requested(f.pane.get(), &EditorPane::commandRequested);
  action("32777")->trigger();
  ASSERT_EQ(requested.count(), 1);
  EXPECT_EQ(requested.at(0).at(0).toInt(), 32777);

  f.editor->Store().SetSelection(0, 2);
  menu.reset(f.editor->CreateContextMenu());
  EXPECT_FALSE(action("57634")->isEnabled());
  EXPECT_EQ(action("32922"), nullptr);
}

TEST(SourceEditorInput, ScrollingRules) {
  EditorFixture f;
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\n";
  f.Load(text);
  const int visible = f.editor->VisibleLines();
  ASSERT_GT(visible, 3);
  QTest::keyClick(f.editor, Qt::Key_PageDown);
  EXPECT_EQ(f.editor->FirstVisibleLine(), visible - 1);
  EXPECT_EQ(f.editor->Store().Caret().line, 2 * visible - 3);
  QTest::keyClick(f.editor, Qt::Key_PageUp, Qt::ShiftModifier);
  EXPECT_EQ(f.editor->FirstVisibleLine(), 0);
  EXPECT_EQ(f.editor->Store().SelectionStart().line, 0);
  EXPECT_EQ(f.editor->Store().SelectionEnd().line, 2 * visible - 3);

  // The thumb moves the caret to the new first line and collapses the selection.
  QTest::keyClick(f.editor, Qt::Key_F12);  // Shift is up again
  f.editor->verticalScrollBar()->setSliderPosition(50);
  f.editor->verticalScrollBar()->triggerAction(QAbstractSlider::SliderMove);
  EXPECT_EQ(f.editor->FirstVisibleLine(), 50);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "( 50,  0)-( 50,  0) Ln  50, Col   0");

  // The caret is brought back into view when typing.
  f.editor->GoToLine(150);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(150,  0)-(150,  0) Ln 150, Col   0");
  // The line comes into view below a few lines of context, not on the top edge.
  EXPECT_EQ(f.editor->FirstVisibleLine(), 150 - JumpContextLines(visible));
  EXPECT_EQ(JumpContextLines(visible), 3);
  f.editor->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  QTest::keyClicks(f.editor, "x");
  EXPECT_EQ(f.editor->FirstVisibleLine(), 150 - visible + 1);

  // Scrolling to the bottom of a short text keeps line 0 at the top.
  f.Load("a\nb\n");
  f.editor->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(f.editor->FirstVisibleLine(), 0);
}

TEST(SourceEditorInput, LongLineScrollsHorizontallyToTheCaret) {
  EditorFixture f;
  f.Load(std::string(5000, 'a') + "\n");
  QTest::keyClick(f.editor, Qt::Key_End);
  const int textCols = f.editor->VisibleColumns() - f.editor->GutterCells();
  EXPECT_EQ(f.editor->FirstVisibleColumn(), 5000 - textCols + 1);
  QTest::keyClick(f.editor, Qt::Key_Home);
  EXPECT_EQ(f.editor->FirstVisibleColumn(), 0);
}

TEST(SourceEditorInput, RightClickWheelAndInsertKey) {
  EditorFixture f;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\n";
  f.Load(text);
  // A right click without a selection places the caret, then pops the menu up.
  QWidget* vp = f.editor->viewport();
  SendMouse(vp, QEvent::MouseButtonPress, f.CellPoint(2, 3), Qt::RightButton, Qt::RightButton);
  SendMouse(vp, QEvent::MouseButtonRelease, f.CellPoint(2, 3), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  2,  3)-(  2,  3) Ln   2, Col   3");
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(qobject_cast<QMenu*>(popup), nullptr);
  popup->close();

  // The wheel scrolls the view and leaves the caret and the selection alone.
  f.editor->Store().SetSelection(2, 0, 2, 3);
  QWheelEvent wheel(QPointF(10, 10), QPointF(vp->mapToGlobal(QPoint(10, 10))), QPoint(),
                    QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(vp, &wheel);
  EXPECT_EQ(f.editor->FirstVisibleLine(), 6);
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  2,  0)-(  2,  3) Ln   2, Col   0");

  // Insert switches to the block caret and, without Shift, collapses to the end.
  QTest::keyClick(f.editor, Qt::Key_Insert);
  EXPECT_TRUE(f.editor->BlockCaret());
  EXPECT_EQ(f.editor->StatusText().toStdString(), "(  2,  3)-(  2,  3) Ln   2, Col   3");
}

}  // namespace
}  // namespace tamso::gui::testing
