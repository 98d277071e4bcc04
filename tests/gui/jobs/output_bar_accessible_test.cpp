// The output window as assistive technology reads it: text by character offsets
// from its blocks, events for appends and replacements, and character extents
// that lead a double click to the right line.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QMouseEvent>
#include <vector>

#include "../../support/fake_host.h"
#include "jobs/output_bar.h"
#include "editor/accessible_text.h"

namespace tamso::gui {
namespace {

struct Change {
  QAccessible::Event type;
  int position;
  QString text;
};
std::vector<Change> g_changes;

void Record(QAccessibleEvent* event) {
  if (event->type() == QAccessible::TextInserted) {
    auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
    g_changes.push_back({e->type(), e->changePosition(), e->textInserted()});
  } else if (event->type() == QAccessible::TextRemoved) {
    auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
    g_changes.push_back({e->type(), e->changePosition(), e->textRemoved()});
  }
}

QAccessibleTextInterface* TextOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->textInterface() : nullptr;
}

class View : public IView {
 public:
  ViewKind Kind() const override { return ViewKind::Java; }
  IDocument* Document() override { return nullptr; }
  void GoToLine(int line) override { lines.push_back(line); }
  std::vector<int> lines;
};

TEST(OutputBarAccessible, TextByOffsetsAcrossLinesInvalidBytesAndCrLf) {
  OutputBar bar(nullptr);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
  ASSERT_NE(iface, nullptr);
  EXPECT_EQ(iface->role(), QAccessible::EditableText);
  EXPECT_TRUE(iface->state().readOnly);
  EXPECT_TRUE(iface->state().multiLine);
  EXPECT_EQ(iface->editableTextInterface(), nullptr);
  QAccessibleTextInterface* t = iface->textInterface();
  ASSERT_NE(t, nullptr);

  // Over a thousand lines, so several blocks of the offset index are summed.
  std::string text;
  for (int i = 0; i < 1200; ++i) text += "n" + std::to_string(i % 10) + "\r\n";
  text += "a\t\xFF\xC3\xA9z";  // a tab, an invalid byte, one two-byte character
  bar.SetOutput(text);
  const int tail = 1200 * 3;
  ASSERT_EQ(t->characterCount(), tail + 5);
  EXPECT_EQ(t->text(tail - 3, -1), QString::fromUtf8("n9\na\t\xEF\xBF\xBD\xC3\xA9z"));
  int s = -1, e = -1;
  EXPECT_EQ(t->textAtOffset(3 * 700 + 1, QAccessible::LineBoundary, &s, &e), "n0\n");
  EXPECT_EQ(std::pair(s, e), std::pair(2100, 2103));
  EXPECT_EQ(t->textAtOffset(tail + 3, QAccessible::CharBoundary, &s, &e),
            QString::fromUtf8("\xC3\xA9"));

  // Appends report what arrived where; a '\r' at the very end is not shown until
  // something other than '\n' follows it.
  g_changes.clear();
  SetAccessibleListener(&Record);
  bar.AppendOutput("!\r", false);
  bar.AppendOutput("\nnext", false);
  bar.AppendOutput("line", true);
  bar.AppendOutput("\r", false);
  bar.AppendOutput("x", false);
  bar.SetOutput("new");
  SetAccessibleListener(nullptr);
  ASSERT_EQ(g_changes.size(), 6u);
  const std::vector<std::pair<int, QString>> inserted = {
      {tail + 5, "!"}, {tail + 6, "\nnext"}, {tail + 11, "\nline"}, {tail + 16, "\rx"}};
  for (size_t i = 0; i < inserted.size(); ++i) {
    EXPECT_EQ(g_changes[i].type, QAccessible::TextInserted);
    EXPECT_EQ(std::pair(g_changes[i].position, g_changes[i].text), inserted[i]);
  }
  EXPECT_EQ(g_changes[4].type, QAccessible::TextRemoved);
  EXPECT_EQ(g_changes[4].position, 0);
  EXPECT_EQ(g_changes[4].text.size(), tail + 18);
  EXPECT_TRUE(g_changes[4].text.endsWith("line\rx"));
  EXPECT_EQ(g_changes[5].text, "new");
  EXPECT_EQ(t->text(0, -1), "new");
}

TEST(OutputBarAccessible, ExtentsOfTheErrorLineLeadTheDoubleClickThere) {
  testing::FakeHost host;
  View view;
  host.documentViews["/p/Hello.java"] = &view;
  OutputBar bar(&host);
  bar.resize(600, 200);
  bar.show();
  bar.SetOutput("Compiling");
  for (int i = 0; i < 40; ++i) bar.AppendOutput("filler\t" + std::to_string(i), true);
  bar.AppendOutput("/p/Hello.java:7: error: ';' expected", true);
  bar.Flush();

  // Find the line as a reader would: line by line through the interface.
  QAccessibleTextInterface* t = TextOf(&bar);
  int s = 0, e = 0;
  int at = -1;
  for (int offset = 0; offset < t->characterCount(); offset = e) {
    const QString line = t->textAtOffset(offset, QAccessible::LineBoundary, &s, &e);
    if (line.contains("error:")) at = s;
  }
  ASSERT_GE(at, 0);
  t->scrollToSubstring(at, at + 5);
  const QRect r = t->characterRect(at + 3);
  EXPECT_EQ(t->offsetAtPoint(r.center()), at + 3);
  const QRect tab = t->characterRect(at - 4);  // the tab of "filler\t39"
  EXPECT_EQ(tab.width(), 2 * r.width());

  const QPoint local = bar.viewport()->mapFromGlobal(r.center());
  ASSERT_TRUE(bar.viewport()->rect().contains(local));
  QMouseEvent press(QEvent::MouseButtonPress, local, r.center(), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(bar.viewport(), &press);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, local, r.center(), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(bar.viewport(), &dbl);
  EXPECT_EQ(view.lines, std::vector<int>{6});
  EXPECT_TRUE(host.beeps.empty());
  // The double click only opened the place: the reader finds nothing selected.
  EXPECT_EQ(t->selectionCount(), 0);
}

}  // namespace
}  // namespace tamso::gui
