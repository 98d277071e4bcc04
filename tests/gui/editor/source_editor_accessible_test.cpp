// The editor as assistive technology reads it: text by character offsets across
// tabs, invalid bytes and many lines, the caret and selection, character extents,
// editing through the interface, and the events sent while a reader listens.

#include <gtest/gtest.h>
#include <QAccessible>
#include <QTest>
#include <vector>

#include "editor/accessible_text.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

struct Seen {
  QAccessible::Event type;
  int position = -1;
  QString text;
};
std::vector<Seen> g_seen;

void Record(QAccessibleEvent* event) {
  Seen s{event->type(), -1, {}};
  switch (event->type()) {
    case QAccessible::TextInserted: {
      auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
      s.position = e->changePosition();
      s.text = e->textInserted();
      break;
    }
    case QAccessible::TextRemoved: {
      auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
      s.position = e->changePosition();
      s.text = e->textRemoved();
      break;
    }
    case QAccessible::TextCaretMoved:
      s.position = static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition();
      break;
    default:
      return;
  }
  g_seen.push_back(s);
}

// Stands in for a connected reader: records the text events the editor builds.
class Listening {
 public:
  Listening() {
    g_seen.clear();
    SetAccessibleListener(&Record);
  }
  ~Listening() { SetAccessibleListener(nullptr); }
  std::vector<Seen> Of(QAccessible::Event type) const {
    std::vector<Seen> out;
    for (const Seen& s : g_seen)
      if (s.type == type) out.push_back(s);
    return out;
  }
};

QAccessibleTextInterface* TextOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->textInterface() : nullptr;
}

// Line 0 holds a tab, line 1 a valid two-byte sequence and an invalid byte.
const char kMixed[] = "ab\tc\n\xC3\xA9x\xFFy\nlast";

TEST(SourceEditorAccessible, TextByCharacterOffsetsAcrossTabsAndInvalidBytes) {
  EditorFixture f;
  f.Load(kMixed);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(f.editor);
  ASSERT_NE(iface, nullptr);
  EXPECT_EQ(iface->role(), QAccessible::EditableText);
  EXPECT_TRUE(iface->state().multiLine);
  EXPECT_TRUE(iface->state().editable);
  EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty());
  ASSERT_NE(iface->editableTextInterface(), nullptr);
  QAccessibleTextInterface* t = iface->textInterface();
  ASSERT_NE(t, nullptr);

  // Each character counts one, each line end one: 4 + 1 + 4 + 1 + 4.
  ASSERT_EQ(t->characterCount(), 14);
  EXPECT_EQ(t->text(0, -1), QString::fromUtf8("ab\tc\n\xC3\xA9x\xC3\xBFy\nlast"));
  EXPECT_EQ(t->text(5, 9), QString::fromUtf8("\xC3\xA9x\xC3\xBFy"));
  EXPECT_EQ(t->text(7, 12), QString::fromUtf8("\xC3\xBFy\nla"));
  EXPECT_EQ(t->text(12, 99), QStringLiteral("st"));

  int s = -1, e = -1;
  EXPECT_EQ(t->textAtOffset(6, QAccessible::LineBoundary, &s, &e),
            QString::fromUtf8("\xC3\xA9x\xC3\xBFy\n"));
  EXPECT_EQ(std::pair(s, e), std::pair(5, 10));
  EXPECT_EQ(t->textAtOffset(14, QAccessible::LineBoundary, &s, &e), QStringLiteral("last"));
  EXPECT_EQ(t->textBeforeOffset(6, QAccessible::LineBoundary, &s, &e), QStringLiteral("ab\tc\n"));
  EXPECT_EQ(t->textAfterOffset(6, QAccessible::LineBoundary, &s, &e), QStringLiteral("last"));
  EXPECT_EQ(std::pair(s, e), std::pair(10, 14));
  EXPECT_EQ(t->textAtOffset(7, QAccessible::CharBoundary, &s, &e), QString::fromUtf8("\xC3\xBF"));
  EXPECT_EQ(std::pair(s, e), std::pair(7, 8));

  // Extents follow the cells: the tab spans to the next tab stop, the character
  // after the invalid byte sits one cell after it, and a point maps back.
  const int w = f.editor->CharWidth();
  const QRect tab = t->characterRect(2);
  const QRect c = t->characterRect(3);
  EXPECT_EQ(tab.width(), (5 - 2) * w);
  EXPECT_EQ(c.left(), tab.left() + tab.width());
  EXPECT_EQ(c.topLeft(), f.editor->viewport()->mapToGlobal(f.editor->CellRect(0, 5).topLeft()));
  for (int offset : {0, 2, 3, 5, 7, 8, 10, 13}) {
    EXPECT_EQ(t->offsetAtPoint(t->characterRect(offset).center()), offset) << offset;
  }
  EXPECT_EQ(t->characterRect(8).top(), c.top() + f.editor->LineHeight());
}

TEST(SourceEditorAccessible, WordsCarryTheirTrailingBlanks) {
  EditorFixture f;
  f.Load("  int foo = bar;");
  QAccessibleTextInterface* t = TextOf(f.editor);
  int s = -1, e = -1;
  EXPECT_EQ(t->textAtOffset(0, QAccessible::WordBoundary, &s, &e), QStringLiteral("  "));
  EXPECT_EQ(t->textAtOffset(7, QAccessible::WordBoundary, &s, &e), QStringLiteral("foo = "));
  EXPECT_EQ(std::pair(s, e), std::pair(6, 12));
  EXPECT_EQ(t->textAfterOffset(7, QAccessible::WordBoundary, &s, &e), QStringLiteral("bar;"));
  EXPECT_EQ(t->textBeforeOffset(7, QAccessible::WordBoundary, &s, &e), QStringLiteral("int "));
}

TEST(SourceEditorAccessible, CaretSelectionAndEditingByOffsets) {
  EditorFixture f;
  f.Load(kMixed);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(f.editor);
  QAccessibleTextInterface* t = iface->textInterface();
  t->setCursorPosition(8);  // before 'y', after the invalid byte
  EXPECT_EQ(f.editor->Store().Caret(), (TextPos{1, 3}));
  EXPECT_EQ(t->cursorPosition(), 8);
  EXPECT_EQ(t->selectionCount(), 0);

  t->setSelection(0, 3, 6);
  ASSERT_EQ(t->selectionCount(), 1);
  int s = -1, e = -1;
  t->selection(0, &s, &e);
  EXPECT_EQ(std::pair(s, e), std::pair(3, 6));
  EXPECT_EQ(f.editor->Store().GetSelectedText(), "c\r\n\xC3\xA9");

  // Edits through the interface are the editor's own and keep the other bytes.
  QAccessibleEditableTextInterface* edit = iface->editableTextInterface();
  edit->replaceText(3, 6, QString::fromUtf8("Z\xE2\x82\xAC"));
  edit->insertText(0, QStringLiteral("!"));
  edit->deleteText(t->characterCount() - 2, t->characterCount());
  // The loaded text had no final line end, and the save adds none.
  EXPECT_EQ(f.Saved(), "!ab\tZ\xE2\x82\xACx\xFFy\nla");
  EXPECT_EQ(t->characterCount(), 12);
}

TEST(SourceEditorAccessible, EventsReportInsertRemoveAndCaretAtTheirOffsets) {
  // Enough lines to span several blocks of the offset index.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\n";
  EditorFixture f;
  f.Load(text);
  QAccessibleTextInterface* t = TextOf(f.editor);
  auto lineStart = [](int line) {
    int offset = 0;
    for (int i = 0; i < line; ++i) offset += static_cast<int>(5 + std::to_string(i).size() + 1);
    return offset;
  };
  // A final line end adds no line.
  ASSERT_EQ(t->characterCount(), lineStart(3000) - 1);

  Listening reader;
  f.editor->GoToLine(2500);
  QTest::keyClicks(f.editor, "xy");
  const auto inserted = reader.Of(QAccessible::TextInserted);
  ASSERT_EQ(inserted.size(), 2u);
  EXPECT_EQ(inserted[0].position, lineStart(2500));
  EXPECT_EQ(inserted[1].position, lineStart(2500) + 1);
  EXPECT_EQ(inserted[1].text, QStringLiteral("y"));
  auto carets = reader.Of(QAccessible::TextCaretMoved);
  ASSERT_FALSE(carets.empty());
  EXPECT_EQ(carets.back().position, lineStart(2500) + 2);
  EXPECT_EQ(t->cursorPosition(), lineStart(2500) + 2);

  // A line break far above moves every later offset by one.
  f.editor->GoToLine(3);
  QTest::keyClick(f.editor, Qt::Key_Return);
  ASSERT_EQ(reader.Of(QAccessible::TextInserted).size(), 3u);
  EXPECT_EQ(reader.Of(QAccessible::TextInserted).back().text, QStringLiteral("\n"));
  EXPECT_EQ(reader.Of(QAccessible::TextInserted).back().position, lineStart(3));
  EXPECT_EQ(t->text(lineStart(2500) + 1, lineStart(2500) + 1 + 9), QStringLiteral("xyline 25"));

  QTest::keyClick(f.editor, Qt::Key_Backspace);
  const auto removed = reader.Of(QAccessible::TextRemoved);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].position, lineStart(3));
  EXPECT_EQ(removed[0].text, QStringLiteral("\n"));
  EXPECT_EQ(t->text(lineStart(2500), lineStart(2500) + 2), QStringLiteral("xy"));

  g_seen.clear();
  QTest::keyClick(f.editor, Qt::Key_Right);
  carets = reader.Of(QAccessible::TextCaretMoved);
  ASSERT_EQ(carets.size(), 1u);
  EXPECT_EQ(carets[0].position, lineStart(3) + 1);
  EXPECT_TRUE(reader.Of(QAccessible::TextInserted).empty());
}

TEST(SourceEditorAccessible, NoEventsWithoutAReader) {
  EditorFixture f;
  g_seen.clear();
  QAccessible::installUpdateHandler(&Record);
  QTest::keyClicks(f.editor, "abc");
  QAccessible::installUpdateHandler(nullptr);
  ASSERT_FALSE(QAccessible::isActive());
  EXPECT_TRUE(g_seen.empty());
  // The offsets stay right for a reader that comes later.
  EXPECT_EQ(TextOf(f.editor)->text(0, -1), QStringLiteral("abc"));
}

}  // namespace
}  // namespace tamso::gui::testing
