#include "editor/line_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tamso {
namespace {

// Records what the store asks of its owner.
struct RecordingOwner : ILineStoreOwner {
  std::vector<int> dirty;
  std::vector<bool> modified;
  int repaints = 0;
  void MarkLineDirty(int line) override { dirty.push_back(line); }
  void SetModified(bool m) override { modified.push_back(m); }
  void RepaintAll() override { ++repaints; }
};

std::string Text(const CLineStore& s) {
  return s.JoinedText("\n");
}

TEST(LineStore, NewStoreHoldsOneEmptyLine) {
  // A new file must not carry a stray blank into its first save.
  CLineStore s;
  EXPECT_EQ(s.LineCount(), 1);
  EXPECT_EQ(s.Line(0), "");
  EXPECT_EQ(s.Caret(), (TextPos{0, 0}));
  EXPECT_FALSE(s.HasSelection());
  EXPECT_EQ(s.Line(5), "");
  EXPECT_EQ(s.CharAt(0, 1), 0);
  EXPECT_EQ(s.CharAt(-1, 0), 0);
}

TEST(LineStore, ColumnsExpandTabsAndCountUtf8AsOneCell) {
  CLineStore s;
  s.SetTabWidth(4);
  // "a\tb" then "é" (2 bytes), "€" (3 bytes), an invalid byte, "x".
  s.SetText("a\tb\n\xC3\xA9\xE2\x82\xAC\xFFx\n");
  EXPECT_EQ(s.LineWidth(0), 5);  // a=0, tab 1..3, b=4
  EXPECT_EQ(s.CharacterCount(0), 3);
  EXPECT_EQ(s.IndexAtColumn(0, 0), 0);
  EXPECT_EQ(s.IndexAtColumn(0, 1), 1);
  EXPECT_EQ(s.IndexAtColumn(0, 3), 1);  // inside the tab
  EXPECT_EQ(s.IndexAtColumn(0, 4), 2);
  EXPECT_EQ(s.IndexAtColumn(0, 99), 3);
  EXPECT_EQ(s.SnapColumn(0, 2), 1);  // inside the tab: its first cell
  EXPECT_EQ(s.SnapColumn(0, 3), 1);
  EXPECT_EQ(s.SnapColumn(0, 4), 4);
  EXPECT_EQ(s.SnapColumn(0, 50), 5);
  EXPECT_EQ(s.ColumnOfIndex(0, 2), 4);
  EXPECT_EQ(s.ColumnOfIndex(0, 3), 5);

  EXPECT_EQ(s.LineWidth(1), 4);
  EXPECT_EQ(s.CharacterCount(1), 4);
  EXPECT_EQ(s.IndexAtColumn(1, 1), 2);  // "€" starts at byte 2
  EXPECT_EQ(s.IndexAtColumn(1, 2), 5);  // the invalid byte
  EXPECT_EQ(s.IndexAtColumn(1, 3), 6);
  EXPECT_EQ(s.ColumnOfIndex(1, 5), 2);
  // Truncated and overlong sequences are one cell per byte.
  s.SetText("\xE2\x82 \xC0\xAF");
  EXPECT_EQ(s.LineWidth(0), 5);
}

TEST(LineStore, SetSelectionDefaultsClampsAndOrders) {
  CLineStore s;
  s.SetText("one\ntwo\nthree");
  s.SetSelection(1, 2);
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 2}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{1, 2}));
  s.SetSelection(-1, 0, 9, 3);  // keeps line 1, end line clamped to the last line
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 0}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{2, 3}));
  EXPECT_EQ(s.Caret(), (TextPos{1, 0}));
  s.SetSelection(2, 1, 0, 0);  // an end before the start is put in order
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 0}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{2, 1}));
}

TEST(LineStore, IsInSelectionOnOneAndSeveralLines) {
  CLineStore s;
  s.SetText("aaaa\nbbbb\ncccc\ndddd");
  s.SetSelection(0, 1, 0, 3);
  EXPECT_FALSE(s.IsInSelection(0, 0));
  EXPECT_TRUE(s.IsInSelection(0, 1));
  EXPECT_TRUE(s.IsInSelection(0, 2));
  EXPECT_FALSE(s.IsInSelection(0, 3));
  s.SetSelection(0, 2, 2, 1);
  EXPECT_FALSE(s.IsInSelection(0, 1));
  EXPECT_TRUE(s.IsInSelection(0, 40));
  EXPECT_TRUE(s.IsInSelection(1, 0));
  EXPECT_TRUE(s.IsInSelection(2, 0));
  EXPECT_FALSE(s.IsInSelection(2, 1));
  EXPECT_FALSE(s.IsInSelection(3, 0));
  s.SetSelection(1, 1);
  EXPECT_FALSE(s.IsInSelection(1, 1));
}

TEST(LineStore, ExtendSelectionMovesTheNearerEnd) {
  CLineStore s;
  s.SetText("0123456789\n0123456789\n0123456789");
  s.SetSelection(1, 4);
  s.ExtendSelection(1, 7);  // right on the start line: end moves
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 4}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{1, 7}));
  s.ExtendSelection(1, 2);  // left of the start: start moves
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 2}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{1, 7}));
  s.ExtendSelection(0, 5);  // above: start moves
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 5}));
  s.ExtendSelection(9, 1);  // below (clamped): end moves
  EXPECT_EQ(s.SelectionEnd(), (TextPos{2, 1}));
  EXPECT_EQ(s.Caret(), (TextPos{2, 1}));
  EXPECT_LE(s.SelectionStart(), s.SelectionEnd());
}

TEST(LineStore, CaretMovementAtTheEdges) {
  CLineStore s;
  s.SetTabWidth(4);
  s.SetText("a\tb\nxy");
  s.SetSelection(0, 0);
  s.MoveRight(false);
  EXPECT_EQ(s.Caret(), (TextPos{0, 1}));
  s.MoveRight(false);  // over the tab to the next stop
  EXPECT_EQ(s.Caret(), (TextPos{0, 4}));
  s.MoveRight(false);
  s.MoveRight(false);  // past the end: next line
  EXPECT_EQ(s.Caret(), (TextPos{1, 0}));
  s.MoveEnd(false);
  s.MoveRight(false);  // end of the last line stays
  EXPECT_EQ(s.Caret(), (TextPos{1, 2}));
  s.MoveDown(false);  // down on the last line stays
  EXPECT_EQ(s.Caret(), (TextPos{1, 2}));
  s.MoveUp(false);  // column 2 is inside the tab: snaps to its start
  EXPECT_EQ(s.Caret(), (TextPos{0, 1}));
  s.MoveHome(false);
  s.MoveLeft(false);  // stays at 0 on line 0
  EXPECT_EQ(s.Caret(), (TextPos{0, 0}));
  s.SetSelection(1, 0);
  s.MoveLeft(false);  // before column 0: the end of the line above
  EXPECT_EQ(s.Caret(), (TextPos{0, 5}));
  s.MoveLeft(false);
  s.MoveLeft(false);  // from the tab's end back to its start
  EXPECT_EQ(s.Caret(), (TextPos{0, 1}));
}

TEST(LineStore, MovementWithExtendSelectsAndWithoutCollapses) {
  RecordingOwner owner;
  CLineStore s;
  s.SetOwner(&owner);
  s.SetText("abc\ndef");
  s.SetSelection(0, 1);
  s.MoveRight(true);
  s.MoveDown(true);
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 1}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{1, 2}));
  EXPECT_GT(owner.repaints, 0);
  s.MoveLeft(false);
  EXPECT_FALSE(s.HasSelection());
  EXPECT_EQ(s.Caret(), (TextPos{1, 1}));
}

TEST(LineStore, TypingInsertsAtTheCaretAndMarksUncoloured) {
  RecordingOwner owner;
  CLineStore s;
  s.SetOwner(&owner);
  s.SetText("ab\ncd");
  s.SetSelection(0, 2);
  s.InsertChar('x');
  EXPECT_EQ(s.Line(0), "abx");
  EXPECT_EQ(s.Caret(), (TextPos{0, 3}));
  EXPECT_EQ(s.AttributeAt(0, 2), kAttrUncoloured);
  EXPECT_EQ(s.AttributeAt(0, 0), kAttrNormal);
  EXPECT_EQ(owner.modified, std::vector<bool>{true});
  EXPECT_EQ(owner.dirty.back(), 0);
  s.RecolourDirty();
  EXPECT_EQ(s.AttributeAt(0, 2), kAttrNormal);
  // A UTF-8 character is typed as one.
  s.SetSelection(1, 1);
  s.InsertChar(std::string_view("\xC3\xA9"));
  EXPECT_EQ(s.Line(1),
            "c\xC3\xA9"
            "d");
  EXPECT_EQ(s.Caret(), (TextPos{1, 2}));
  // Typing over a selection replaces it; a control byte is a character of one cell,
  // but a line end inside a character is not typed.
  s.SetSelection(0, 0, 0, 2);
  s.InsertChar('Z');
  s.InsertChar('\x01');
  s.InsertChar(std::string_view("\n"));
  EXPECT_EQ(s.Line(0), "Z\x01x");
  EXPECT_EQ(s.Caret(), (TextPos{0, 2}));
  // A caret past the end of the line appends.
  s.SetSelection(0, 10);
  s.InsertChar('!');
  EXPECT_EQ(s.Line(0), "Z\x01x!");
}

TEST(LineStore, InsertTextBreaksLinesWithoutAddedIndent) {
  CLineStore s;
  s.SetText("\tif (x)");
  s.SetSelection(0, 5);
  s.InsertText("a\r\nb\nc\rd\x0c");
  EXPECT_EQ(Text(s), "\ta\nb\nc\nd\x0cif (x)\n");  // the form feed is kept
  EXPECT_EQ(s.Caret(), (TextPos{3, 2}));
  // A leading CR continues the indentation, as Enter would.
  s.SetText("  x");
  s.MoveEnd(false);
  s.InsertText("\r\ny\r\nz");
  EXPECT_EQ(Text(s), "  x\n  y\nz\n");
}

TEST(LineStore, BreakLineAutoIndentCopiesLeadingBlanksBeforeTheCaret) {
  RecordingOwner owner;
  CLineStore s;
  s.SetOwner(&owner);
  s.SetTabWidth(4);
  s.SetText("\t  foo(bar);");
  s.SetLineState(0, kStateInComment);
  s.SetLineMark(0, 1);
  s.SetSelection(0, s.ColumnOfIndex(0, 6));  // before "(bar"
  s.BreakLine(true);
  EXPECT_EQ(s.Line(0), "\t  foo");
  EXPECT_EQ(s.Line(1), "\t  (bar);");
  EXPECT_EQ(s.Caret(), (TextPos{1, 6}));
  EXPECT_EQ(s.LineState(1), kStateInComment);  // the state of the line above
  EXPECT_EQ(s.LineMark(1), 0);
  EXPECT_GT(owner.repaints, 0);
  // The indent copied is only the part before the caret.
  s.SetText("    x");
  s.SetSelection(0, 2);
  s.BreakLine(true);
  EXPECT_EQ(Text(s), "  \n    x\n");
  s.SetText("    x");
  s.SetSelection(0, 5);
  s.BreakLine(false);
  EXPECT_EQ(Text(s), "    x\n\n");
  EXPECT_EQ(s.Caret(), (TextPos{1, 0}));
}

TEST(LineStore, DeleteSelectionJoinsLines) {
  CLineStore s;
  s.SetText("first\nsecond line\nthird\nfourth");
  s.SetSelection(0, 5, 1, 3);  // end of line 0 to column 3 of line 1
  s.DeleteSelection();
  EXPECT_EQ(Text(s), "firstond line\nthird\nfourth\n");
  EXPECT_EQ(s.Caret(), (TextPos{0, 5}));
  s.SetSelection(0, 2, 2, 3);  // whole line between removed
  s.DeleteSelection();
  EXPECT_EQ(Text(s), "firth\n");
  // Columns past the end of the end line take the whole line.
  s.SetText("ab\ncd\nef");
  s.SetSelection(0, 1, 1, 40);
  s.DeleteSelection();
  EXPECT_EQ(Text(s), "a\nef\n");
  // A tab partly covered by the selection goes with it.
  s.SetTabWidth(4);
  s.SetText("a\tb");
  s.SetSelection(0, 1, 0, 2);
  s.DeleteSelection();
  EXPECT_EQ(Text(s), "ab\n");
}

TEST(LineStore, BackspaceAndDeleteWithoutSelection) {
  CLineStore s;
  s.SetText("ab\ncd");
  s.SetSelection(1, 0);
  s.DeleteBackward();  // joins with the line above
  EXPECT_EQ(Text(s), "abcd\n");
  EXPECT_EQ(s.Caret(), (TextPos{0, 2}));
  s.DeleteForward();
  EXPECT_EQ(Text(s), "abd\n");
  s.MoveEnd(false);
  s.DeleteForward();  // at the end of the text: nothing
  s.SetSelection(0, 0);
  s.DeleteBackward();  // at the start: nothing
  EXPECT_EQ(Text(s), "abd\n");
  s.SetText("x\xE2\x82\xACy");
  s.SetSelection(0, 2);
  s.DeleteBackward();  // the whole UTF-8 character
  EXPECT_EQ(Text(s), "xy\n");
}

TEST(LineStore, IndentAndUnindentBlock) {
  CLineStore s;
  s.SetTabWidth(4);
  s.SetText("a\n  b\nc\nd");
  s.SetSelection(0, 0, 2, 1);
  s.IndentBlock(true);
  EXPECT_EQ(Text(s), "\ta\n\t  b\n\tc\nd\n");
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 0}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{2, 5}));
  s.IndentBlock(false);
  EXPECT_EQ(Text(s), "a\n  b\nc\nd\n");
  // Unindent stops at a tab width of blanks or at the first other character.
  s.SetText("      six\n \tmix\nnone\n  two");
  s.SetSelection(0, 0, 3, 0);
  s.IndentBlock(false);
  EXPECT_EQ(Text(s), "  six\nmix\nnone\ntwo\n");
}

TEST(LineStore, SelectedTextJoinsLinesWithCrLf) {
  CLineStore s;
  const std::string longLine(40000, 'q');
  s.SetText("head tail\n" + longLine + "\nend");
  s.SetSelection(0, 5, 2, 2);
  EXPECT_EQ(s.GetSelectedText(), "tail\r\n" + longLine + "\r\nen");
  s.SetSelection(0, 1, 0, 3);
  EXPECT_EQ(s.GetSelectedText(), "ea");
  s.SetSelection(0, 1);
  EXPECT_EQ(s.GetSelectedText(), "");
  s.SelectAll();
  EXPECT_EQ(s.GetSelectedText(), "head tail\r\n" + longLine + "\r\nend");
}

TEST(LineStore, UndoRedoStepsBackToTheLoadedText) {
  RecordingOwner owner;
  CLineStore s;
  s.SetOwner(&owner);
  s.SetText("int x;\n");
  s.MarkSaved();
  EXPECT_FALSE(s.CanUndo());
  s.SetSelection(0, 6);
  for (char c : std::string(" // hi")) s.InsertChar(c);  // one step
  s.InsertChar('\r');
  s.InsertText("a\r\nb");
  s.SetSelection(0, 0, 1, 0);
  s.IndentBlock(true);
  s.SetSelection(0, 5, 0, 8);
  s.DeleteSelection();
  EXPECT_EQ(Text(s), "\t x; // hi\n\ta\nb\n");

  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "\tint x; // hi\n\ta\nb\n");
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 5}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 8}));
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "int x; // hi\na\nb\n");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "int x; // hi\n\n");
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "int x; // hi\n");
  owner.modified.clear();
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "int x;\n");
  EXPECT_EQ(s.Caret(), (TextPos{0, 6}));
  EXPECT_EQ(owner.modified, std::vector<bool>{false});  // back at the saved state
  EXPECT_FALSE(s.Undo());

  ASSERT_TRUE(s.Redo());
  ASSERT_TRUE(s.Redo());
  EXPECT_EQ(Text(s), "int x; // hi\n\n");
  EXPECT_EQ(s.Caret(), (TextPos{1, 0}));
  // A new edit drops what could be redone.
  s.InsertChar('z');
  EXPECT_FALSE(s.CanRedo());
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(Text(s), "int x; // hi\n\n");
}

TEST(LineStore, ATextSetFromABlockKeepsTheBlockAndNeverWritesIntoIt) {
  // The block is shared with the recovery journal's thread: edits copy a line out.
  const std::string text = "class A {\r\n  int x;\r\n}";
  std::shared_ptr<char[]> block = AllocateSharedBytes(text.size());
  std::memcpy(block.get(), text.data(), text.size());
  CLineStore s;
  s.SetText(BaseText{block, text.size()});
  EXPECT_EQ(s.Line(1).data(), block.get() + 11);
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kCrLf);
  EXPECT_FALSE(s.HadFinalLineEnd());
  s.SetSelection(1, 2);
  for (char c : std::string("long ")) s.InsertChar(c);
  s.SetSelection(0, 0, 0, 5);
  s.DeleteSelection();
  s.InsertText("final class");
  s.SetSelection(2, 1);
  s.InsertChar('\r');
  EXPECT_EQ(Text(s), "final class A {\n  long int x;\n}\n\n");
  EXPECT_EQ(std::string_view(block.get(), text.size()), text);
  while (s.Undo()) {
  }
  EXPECT_EQ(Text(s), "class A {\n  int x;\n}\n");
}

TEST(LineStore, TypingGroupsEndAtMovementAndSave) {
  CLineStore s;
  s.SetText("");
  s.InsertChar('a');
  s.InsertChar('b');
  s.MoveLeft(false);
  s.InsertChar('c');  // caret moved: a new step
  s.MarkSaved();
  s.InsertChar('d');  // after a save: a new step
  EXPECT_EQ(Text(s), "acdb\n");
  s.Undo();
  EXPECT_TRUE(s.IsAtSavePoint());
  EXPECT_EQ(Text(s), "acb\n");
  s.Undo();
  EXPECT_EQ(Text(s), "ab\n");
  s.Undo();
  EXPECT_EQ(Text(s), "\n");
  EXPECT_FALSE(s.IsAtSavePoint());
}

TEST(LineStore, ReplaceSelectionIsOneStep) {
  CLineStore s;
  s.SetText("hello world");
  s.SetSelection(0, 6, 0, 11);
  s.ReplaceSelection("there\r\nfriend");
  EXPECT_EQ(Text(s), "hello there\nfriend\n");
  EXPECT_EQ(s.Caret(), (TextPos{1, 6}));
  s.Undo();
  EXPECT_EQ(Text(s), "hello world\n");
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 11}));
}

TEST(LineStore, LongLinesAreKeptWhole) {
  CLineStore s;
  std::string big(10 * 1024 * 1024, 'x');
  big[5'000'000] = '\t';
  s.SetText("a\n" + big + "\nb");
  ASSERT_EQ(s.LineCount(), 3);
  EXPECT_EQ(s.Line(1), big);
  s.SetSelection(1, s.LineWidth(1));
  s.InsertChar('!');
  EXPECT_EQ(s.LineLength(1), static_cast<int>(big.size()) + 1);
  s.SetSelection(1, 0);
  s.DeleteBackward();  // join a 10 MB line
  EXPECT_EQ(s.LineLength(0), static_cast<int>(big.size()) + 2);
}

// A seeded random sequence of edits against a plain model of lines.
class Model {
 public:
  std::vector<std::string> lines{""};
  std::string Text() const {
    std::string t;
    for (const auto& l : lines) t += l + "\n";
    return t;
  }
};

TEST(LineStore, RandomEditsMatchAPlainModel) {
  std::mt19937 rng(12345);
  CLineStore s;
  s.SetTabWidth(4);
  s.SetText("");
  Model m;
  std::vector<std::string> history{m.Text()};
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  // The model works in byte indexes; the store's text is ASCII without tabs here,
  // so columns equal indexes.
  for (int step = 0; step < 3000; ++step) {
    const int op = pick(10);
    const int line = pick(static_cast<int>(m.lines.size()));
    const int col = pick(static_cast<int>(m.lines[line].size()) + 1);
    bool edited = true;
    if (op < 4) {
      s.SetSelection(line, col);
      const char c = static_cast<char>('a' + pick(26));
      s.InsertChar(c);
      m.lines[line].insert(static_cast<std::size_t>(col), 1, c);
    } else if (op == 4) {
      s.SetSelection(line, col);
      s.BreakLine(false);
      std::string tail = m.lines[line].substr(static_cast<std::size_t>(col));
      m.lines[line].resize(static_cast<std::size_t>(col));
      m.lines.insert(m.lines.begin() + line + 1, tail);
    } else if (op == 5) {
      const int endLine = std::min<int>(line + pick(3), static_cast<int>(m.lines.size()) - 1);
      const int endCol = pick(static_cast<int>(m.lines[endLine].size()) + 1);
      if (endLine == line && endCol <= col) {
        edited = false;
      } else {
        s.SetSelection(line, col, endLine, endCol);
        s.DeleteSelection();
        std::string joined = m.lines[line].substr(0, static_cast<std::size_t>(col)) +
                             m.lines[endLine].substr(static_cast<std::size_t>(endCol));
        m.lines.erase(m.lines.begin() + line + 1, m.lines.begin() + endLine + 1);
        m.lines[line] = joined;
      }
    } else if (op == 6) {
      s.SetSelection(line, col);
      s.InsertText("x\ny");
      std::string tail = m.lines[line].substr(static_cast<std::size_t>(col));
      m.lines[line] = m.lines[line].substr(0, static_cast<std::size_t>(col)) + "x";
      m.lines.insert(m.lines.begin() + line + 1, "y" + tail);
    } else if (op == 7 && history.size() > 1) {
      ASSERT_TRUE(s.Undo());
      history.pop_back();
      ASSERT_EQ(Text(s), history.back()) << "step " << step;
      // Rebuild the model from the store's text after an undo.
      m.lines.clear();
      std::string t = history.back();
      std::size_t p = 0;
      while (p < t.size()) {
        const std::size_t nl = t.find('\n', p);
        m.lines.push_back(t.substr(p, nl - p));
        p = nl + 1;
      }
      s.CloseTypingGroup();
      continue;
    } else {
      edited = false;
    }
    if (!edited) continue;
    s.CloseTypingGroup();  // every model step is one undo step
    history.push_back(m.Text());
    ASSERT_EQ(Text(s), m.Text()) << "step " << step;
  }
  while (s.Undo()) {
  }
  EXPECT_EQ(Text(s), "\n");
}

}  // namespace
}  // namespace tamso
