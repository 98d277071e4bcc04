// The class browser beside real editor panes in the main window, used with the mouse
// and keys as a user would.

#include "browser/browser_view.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "app/child_frame.h"
#include "app/source_document.h"
#include "app/t2_app.h"
#include "core/browser/test_zip.h"
#include "editor/go_to_line.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui/app/gui_fixture.h"

namespace tamso::gui::testing {
namespace {

const std::string kDemo = std::string(
                              "package demo;\n"
                              "import java.awt.Graphics;\n"
                              "import java.lang.String;\n"
                              "class First {\n  int a;\n  void paint() {}\n}\n"
                              "class Second extends Base {\n"
                              "  int count;\n") +
                          std::string(120, '\n') +
                          std::string(
                              "  void run() {}\n"
                              "}\n");

class BrowserViewTest : public ShellTest {
 protected:
  BrowserViewTest() {
    realEditors = true;
    ::setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
    std::filesystem::create_directories(dir + "/src/java/awt");
    File("src/java/awt/Graphics.java", "package java.awt;\nclass Graphics {}\n");
    EXPECT_TRUE(tamso::testing::WriteZip(
        dir + "/src.zip", {{"java.base/java/lang/String.java", "public final class String {}\n"}}));
    profile->WriteString("Java", "SourcePath", dir + "/src;" + dir + "/src.zip");
  }
  ~BrowserViewTest() override { ::unsetenv("XDG_CACHE_HOME"); }

  ChildFrame* OpenDemo() {
    ChildFrame* child = window()->OpenDocumentFile(File("Demo.java", kDemo));
    EXPECT_NE(child, nullptr);
    child->SubWindow()->showMaximized();
    child->Splitter()->setSizes({300, 700});  // room for the deepest labels
    return child;
  }
  static CBrowserView* TreeOf(ChildFrame* child) {
    return qobject_cast<CBrowserView*>(child->BrowserPane());
  }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  // The nth node labelled label, searched through the view's model as it shows it.
  static QModelIndex Find(CBrowserView* tree, const QString& label, int nth = 0) {
    QAbstractItemModel* model = tree->model();
    if (model->rowCount() == 0) return {};
    const auto found = model->match(model->index(0, 0), Qt::DisplayRole, label, -1,
                                    Qt::MatchExactly | Qt::MatchRecursive);
    return nth < found.size() ? found[nth] : QModelIndex();
  }
  static QString Text(const QModelIndex& index) { return index.data().toString(); }
  static void DoubleClick(CBrowserView* tree, const QModelIndex& index) {
    ASSERT_TRUE(index.isValid());
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) tree->expand(p);
    tree->scrollTo(index);
    const QRect r = tree->visualRect(index);
    ASSERT_TRUE(r.isValid());
    // A real double click: the first click, then the second one.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, r.center());
  }
};

TEST_F(BrowserViewTest, TheTreeShowsTheOutlineWithAPictureForEveryNodeKind) {
  Start();
  CBrowserView* tree = TreeOf(OpenDemo());
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->objectName(), "1038");
  QAbstractItemModel* model = tree->model();
  ASSERT_EQ(model->rowCount(), 1);
  const QModelIndex root = model->index(0, 0);
  EXPECT_EQ(Text(root), "Demo.java");
  EXPECT_TRUE(tree->isExpanded(root));
  QStringList top;
  for (int i = 0; i < model->rowCount(root); ++i) top << Text(model->index(i, 0, root));
  EXPECT_EQ(top, (QStringList{"Imports", "demo", "First", "Second"}));
  EXPECT_FALSE(tree->isExpanded(model->index(2, 0, root)));
  // Each node is drawn with its kind's picture (the root with picture 0), sharp at 2x.
  EXPECT_EQ(root.data(Qt::UserRole).toInt(), 1);
  QImage rootImage =
      root.data(Qt::DecorationRole).value<QIcon>().pixmap(QSize(16, 16), 2.0).toImage();
  EXPECT_EQ(rootImage.size(), QSize(32, 32));
  std::map<int, QImage> byImage;
  int nodes = 0;
  std::vector<QModelIndex> pending{root};
  while (!pending.empty()) {
    const QModelIndex index = pending.back();
    pending.pop_back();
    ++nodes;
    // Every node's index leads back to its node and the same place in the tree.
    const int node = tree->NodeOf(index);
    ASSERT_GE(node, 0);
    EXPECT_EQ(tree->IndexOf(node), index);
    EXPECT_EQ(Text(index).toStdString(), tree->Shown().Node(node).label);
    for (int i = 0; i < model->rowCount(index); ++i) pending.push_back(model->index(i, 0, index));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(icon.isNull()) << Text(index).toStdString();
    byImage[index == root ? 0 : index.data(Qt::UserRole).toInt()] =
        icon.pixmap(QSize(16, 16), 1.0).toImage();
  }
  EXPECT_EQ(nodes, static_cast<int>(tree->Shown().Nodes().size()));
  EXPECT_EQ(tree->NodeOf(QModelIndex()), -1);
  // The file, the folder, an import, the package, a class, extends, a field, a method.
  EXPECT_EQ(byImage.size(), 8u);
  for (auto a = byImage.begin(); a != byImage.end(); ++a)
    for (auto b = std::next(a); b != byImage.end(); ++b)
      EXPECT_NE(a->second, b->second) << a->first << " looks like " << b->first;
}

TEST_F(BrowserViewTest, DoubleClicksMoveTheEditorOpenClassSourcesAndRefuseThePackage) {
  Start();
  ChildFrame* demo = OpenDemo();
  CBrowserView* tree = TreeOf(demo);
  // A member of the second class: its line comes into view below a few lines of
  // context, the caret on it.
  DoubleClick(tree, Find(tree, "run()"));
  const int runLine =
      static_cast<int>(std::count(kDemo.begin(), kDemo.begin() + kDemo.find("void run"), '\n'));
  EXPECT_EQ(EditorOf(demo)->FirstVisibleLine(),
            runLine - JumpContextLines(EditorOf(demo)->VisibleLines()));
  EXPECT_EQ(EditorOf(demo)->Store().Caret().line, runLine);
  EXPECT_TRUE(host.beeps.empty());

  DoubleClick(tree, Find(tree, "demo"));
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Error: Cant handle package"}));

  // An import found in a folder of the source path opens as that file.
  DoubleClick(tree, Find(tree, "java.awt.Graphics"));
  ChildFrame* graphics = window()->ActiveChild();
  ASSERT_NE(graphics, demo);
  EXPECT_EQ(graphics->Doc()->PathName(), dir + "/src/java/awt/Graphics.java");

  // Enter on a node does what a double click does.
  window()->MdiArea()->setActiveSubWindow(demo->SubWindow());
  tree->setCurrentIndex(Find(tree, "java.lang.String"));
  QTest::keyClick(tree, Qt::Key_Return);
  // The archive is indexed and the entry read away from the window, which then opens it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return window()->ActiveChild() != demo; }, 20000));
  ChildFrame* string = window()->ActiveChild();
  ASSERT_NE(string, demo);
  ASSERT_NE(string, graphics);
  // From the archive: a copy titled after its place there, belonging to no file.
  EXPECT_EQ(string->Doc()->Title(), "src.zip!/java.base/java/lang/String.java");
  EXPECT_EQ(string->Doc()->PathName(), "");
  EXPECT_FALSE(string->Doc()->IsModified());
  EXPECT_EQ(Text(TreeOf(string)->model()->index(0, 0)), "String.java");
  EXPECT_EQ(window()->App().RecentFiles().Paths(),
            (std::vector<std::string>{dir + "/src/java/awt/Graphics.java", dir + "/Demo.java"}));
  // Asked again, the open copy comes to the front.
  const size_t documents = window()->Documents().size();
  window()->MdiArea()->setActiveSubWindow(demo->SubWindow());
  QTest::keyClick(tree, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window()->ActiveChild() == string; }, 20000));
  EXPECT_EQ(window()->Documents().size(), documents);
  // Saving it asks for a name of its own, offering its public class.
  host.saveAnswers = {std::nullopt};
  EXPECT_FALSE(string->Doc()->Save());
  ASSERT_EQ(host.saveDialogs.size(), 1u);
  EXPECT_EQ(host.saveDialogs[0].initialFile, "String.java");

  // The superclass is not on the path: the prompt, answered No.
  host.answers = {Answer::No};
  window()->MdiArea()->setActiveSubWindow(demo->SubWindow());
  DoubleClick(tree, Find(tree, "Base"));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].rfind("Could not source file for: Base\n", 0), 0u);
  EXPECT_EQ(window()->ActiveChild(), demo);
}

TEST_F(BrowserViewTest, TheTreeFollowsTypingInTheBackgroundKeepingWhatWasOpenAndSelected) {
  Start();
  ChildFrame* demo = OpenDemo();
  CBrowserView* tree = TreeOf(demo);
  CSourceEditor* editor = EditorOf(demo);
  // The model keeps its promises through every rebuild below (a failure aborts).
  QAbstractItemModelTester tester(tree->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  tree->expand(Find(tree, "Second"));
  tree->setCurrentIndex(Find(tree, "count"));
  EXPECT_FALSE(tree->RebuildTimer().isActive());

  editor->GoToLine(9);
  editor->InsertText("  int added;\n");
  EXPECT_TRUE(tree->RebuildTimer().isActive());
  EXPECT_EQ(tree->RebuildTimer().interval(), 1000);
  EXPECT_FALSE(Find(tree, "added").isValid());  // nothing waits for the outline while typing
  int shown = 0;
  QObject::connect(tree, &CBrowserView::outlineShown, [&] { ++shown; });
  tree->StartRebuild();
  tree->WaitForRebuild();
  EXPECT_EQ(shown, 1);
  ASSERT_TRUE(Find(tree, "added").isValid());
  EXPECT_TRUE(tree->isExpanded(Find(tree, "Second")));
  EXPECT_FALSE(tree->isExpanded(Find(tree, "First")));
  ASSERT_TRUE(tree->currentIndex().isValid());
  EXPECT_EQ(Text(tree->currentIndex()), "count");
  EXPECT_EQ(Text(tree->currentIndex().parent()), "Second");
  EXPECT_TRUE(tree->selectionModel()->isSelected(tree->currentIndex()));

  // A rebuild the text has moved on from is dropped; the next one shows.
  tree->StartRebuild();
  editor->InsertText("  int later;\n");
  tree->WaitForRebuild();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(Find(tree, "later").isValid());
  tree->StartRebuild();
  tree->WaitForRebuild();
  EXPECT_EQ(shown, 2);
  EXPECT_TRUE(Find(tree, "later").isValid());

  // The setting turns the automatic rebuild off; Refresh still works.
  profile->WriteString("Editor", "AutoRefreshBrowser", "N");
  editor->InsertText("  int quiet;\n");
  EXPECT_FALSE(tree->RebuildTimer().isActive());
  EXPECT_FALSE(Find(tree, "quiet").isValid());
  demo->Pane()->ExecuteCommand(32820);
  EXPECT_TRUE(Find(tree, "quiet").isValid());
  EXPECT_TRUE(tree->isExpanded(Find(tree, "Second")));
}

TEST_F(BrowserViewTest, ARebuildWithTheSameNodesRedrawsOnlyWhatChanged) {
  Start();
  ChildFrame* demo = OpenDemo();
  CBrowserView* tree = TreeOf(demo);
  CSourceEditor* editor = EditorOf(demo);
  QAbstractItemModelTester tester(tree->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  tree->expand(Find(tree, "Second"));
  tree->setCurrentIndex(Find(tree, "count"));
  const QModelIndex first = Find(tree, "First");
  QSignalSpy resets(tree->model(), &QAbstractItemModel::modelReset);
  QSignalSpy changes(tree->model(), &QAbstractItemModel::dataChanged);

  // Blanks typed before a member: the same tree, no reset and nothing redrawn.
  editor->GoToLine(5);
  editor->InsertText("  ");
  tree->StartRebuild();
  tree->WaitForRebuild();
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(Find(tree, "First"), first);
  // A member renamed: only its row changes, the selection and what was open stay.
  editor->GoToPlace(8, 11);  // after "int count"
  editor->InsertText("er");
  tree->StartRebuild();
  tree->WaitForRebuild();
  EXPECT_EQ(resets.count(), 0);
  ASSERT_EQ(changes.count(), 1);
  const QModelIndex renamed = Find(tree, "counter");
  ASSERT_TRUE(renamed.isValid());
  EXPECT_EQ(changes[0][0].value<QModelIndex>(), renamed);
  EXPECT_EQ(tree->currentIndex(), renamed);
  EXPECT_TRUE(tree->isExpanded(Find(tree, "Second")));
  // A member added changes the shape: the tree is shown anew, keeping the same.
  editor->InsertText(";\n  int more");
  tree->StartRebuild();
  tree->WaitForRebuild();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_TRUE(Find(tree, "more").isValid());
  EXPECT_EQ(Text(tree->currentIndex()), "counter");
  EXPECT_TRUE(tree->isExpanded(Find(tree, "Second")));
}

TEST_F(BrowserViewTest, CommandsKeepGoingToTheEditorWhileTheTreeHasTheFocus) {
  Start();
  ChildFrame* demo = OpenDemo();
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  TreeOf(demo)->setFocus();
  ASSERT_TRUE(TreeOf(demo)->hasFocus());
  // Copy follows the editor's selection, and copies it, while the tree has the focus.
  EditorOf(demo)->Store().SetSelection(3, 0);
  EXPECT_FALSE(window()->Router().Update(57634).enabled);
  EditorOf(demo)->Store().SetSelection(3, 0, 3, 11);  // "class First"
  EXPECT_TRUE(window()->Router().Update(57634).enabled);
  QGuiApplication::clipboard()->clear();
  EXPECT_TRUE(window()->Router().Execute(57634));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("class First"));
  EXPECT_TRUE(TreeOf(demo)->hasFocus());
}

}  // namespace
}  // namespace tamso::gui::testing
