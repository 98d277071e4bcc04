// The document tabs as a user meets them: closing a tab goes back to the one used
// before it, long titles do not squeeze the other tabs, and a screen reader can list
// the tabs and switch between them.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "gui_fixture.h"

namespace tamso::gui::testing {
namespace {

class DocumentTabsTest : public ShellTest {
 protected:
  QMdiArea* Area() { return window()->findChild<QMdiArea*>(); }
  QTabBar* Bar() { return Area()->findChild<QTabBar*>(QStringLiteral("documentTabs")); }
  ChildFrame* Open(const std::string& name) { return window()->OpenDocumentFile(File(name)); }
  void Activate(ChildFrame* c) { Area()->setActiveSubWindow(c->SubWindow()); }
  int TabOf(ChildFrame* c) {
    return static_cast<int>(Area()->subWindowList().indexOf(c->SubWindow()));
  }
  // Closes the window with the close button on its tab.
  void CloseTab(ChildFrame* c) {
    emit Bar()->tabCloseRequested(TabOf(c));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

TEST_F(DocumentTabsTest, ClosingATabGoesBackToTheOneUsedBeforeIt) {
  Start();
  ChildFrame* a = Open("A.java");
  ChildFrame* b = Open("B.java");
  ChildFrame* c = Open("C.java");
  ChildFrame* d = Open("D.java");
  ASSERT_NE(Bar(), nullptr);
  Activate(b);
  Activate(d);
  CloseTab(d);
  EXPECT_EQ(window()->ActiveChild(), b);
  EXPECT_EQ(Bar()->currentIndex(), TabOf(b));
  CloseTab(b);
  EXPECT_EQ(window()->ActiveChild(), c);
  // Closing a tab that is not the active one leaves the active one.
  CloseTab(a);
  EXPECT_EQ(window()->ActiveChild(), c);
  // The same in floating windows.
  Open("E.java");
  ChildFrame* f = Open("F.java");
  window()->Router().Execute(cmd::kWindowCascade);
  Activate(c);
  Activate(f);
  f->SubWindow()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window()->ActiveChild(), c);
}

TEST_F(DocumentTabsTest, ALongTitleIsShortenedAndTheOtherTabsKeepTheirNames) {
  Start();
  window()->resize(640, 480);
  std::vector<ChildFrame*> children;
  const std::string longName =
      "src.zip!_java.base_java_util_concurrent_locks_AbstractQueuedSynchronizer.java";
  children.push_back(Open(longName));
  for (const char* name : {"Hello.java", "Main.java", "Util.java", "Test.java", "Demo.java",
                           "Shapes.java", "Points.java", "Lines.java", "Boxes.java"})
    children.push_back(Open(name));
  QTabBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  QCoreApplication::processEvents();
  // The long title is cut in its middle and keeps its end; the whole title is its tip.
  const QString shown = bar->tabText(TabOf(children[0]));
  EXPECT_LT(shown.size(), 40);
  const qsizetype cut = shown.indexOf(QChar(0x2026));
  ASSERT_GT(cut, 0) << shown.toStdString();
  EXPECT_TRUE(QString::fromStdString(longName).startsWith(shown.left(cut)));
  EXPECT_TRUE(QString::fromStdString(longName).endsWith(shown.mid(cut + 1)));
  EXPECT_GE(shown.size() - cut - 1, 15);  // the end, which names the file, is the longer part
  EXPECT_EQ(bar->tabToolTip(TabOf(children[0])), QString::fromStdString(longName));
  // Every other tab shows its whole name, however many there are: the tabs that do
  // not fit scroll with the arrows.
  for (size_t i = 1; i < children.size(); ++i) {
    const int tab = TabOf(children[i]);
    const QString title = children[i]->SubWindow()->windowTitle();
    EXPECT_EQ(bar->tabText(tab), title);
    EXPECT_GE(bar->tabRect(tab).width(), bar->fontMetrics().horizontalAdvance(title))
        << title.toStdString();
  }
  int widths = 0;
  for (int i = 0; i < bar->count(); ++i) widths += bar->tabRect(i).width();
  ASSERT_GT(widths, bar->width());
  bool arrows = false;
  for (QToolButton* b : bar->findChildren<QToolButton*>()) arrows = arrows || b->isVisibleTo(bar);
  EXPECT_TRUE(arrows);
  // A title that changes (a modified mark) is shortened again.
  children[0]->SubWindow()->setWindowTitle(QString::fromStdString(longName + " *"));
  window()->UpdateTitles();
  EXPECT_TRUE(bar->tabText(TabOf(children[0])).contains(QChar(0x2026)));
}

// The first interface under root (depth first) with the role.
QAccessibleInterface* FindRole(QAccessibleInterface* root, QAccessible::Role role, int depth = 0) {
  if (!root || depth > 12) return nullptr;
  if (root->role() == role) return root;
  for (int i = 0; i < root->childCount(); ++i)
    if (QAccessibleInterface* found = FindRole(root->child(i), role, depth + 1)) return found;
  return nullptr;
}

TEST_F(DocumentTabsTest, AScreenReaderListsTheTabsAndSwitchesBetweenThem) {
  Start();
  ChildFrame* a = Open("A.java");
  ChildFrame* b = Open("B.java");
  ASSERT_EQ(window()->ActiveChild(), b);
  QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window());
  QAccessibleInterface* tabs = FindRole(top, QAccessible::PageTabList);
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->object()->objectName(), "documentTabs");
  // The tab list is reached from the area and leads back to it.
  QAccessibleInterface* area = QAccessible::queryAccessibleInterface(Area());
  ASSERT_NE(tabs->parent(), nullptr);
  EXPECT_EQ(tabs->parent()->object(), Area());
  EXPECT_GE(area->indexOfChild(tabs), 0);
  // Its page tabs are named after the documents (the bar's scroll arrows follow them).
  std::vector<QAccessibleInterface*> pages;
  for (int i = 0; i < tabs->childCount(); ++i)
    if (tabs->child(i)->role() == QAccessible::PageTab) pages.push_back(tabs->child(i));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[static_cast<size_t>(TabOf(a))]->text(QAccessible::Name), "A.java");
  EXPECT_EQ(pages[static_cast<size_t>(TabOf(b))]->text(QAccessible::Name), "B.java");
  // Pressing a tab through the bus switches to its document.
  QAccessibleInterface* tabA = pages[static_cast<size_t>(TabOf(a))];
  ASSERT_NE(tabA->actionInterface(), nullptr);
  tabA->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(window()->ActiveChild(), a);
}

}  // namespace
}  // namespace tamso::gui::testing
