#include <QComboBox>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/source_document.h"
#include "app/view_commands.h"
#include "gui_fixture.h"
#include "platform/paths.h"

namespace tamso::gui::testing {
namespace {

using Titles = std::vector<QString>;
const Titles kMain = {"&File", "&View", "Options", "Tools", "&Help"};
const Titles kDoc = {"&File", "&View", "Options", "Tools", "&Help"};
const Titles kJava = {"&File", "&Edit", "&View", "Options", "Build", "Tools", "&Window", "&Help"};

TEST_F(ShellTest, StartsMaximisedWithBarsAndHiddenStatusBar) {
  Start();
  MainWindow* w = window();
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->isMaximized());
  EXPECT_EQ(w->windowTitle(), "Ferrowind Tamso");
  EXPECT_EQ(MenuTitles(), kMain);
  EXPECT_FALSE(w->statusBar()->isVisible());
  EXPECT_EQ(w->dockWidgetArea(w->OutputDock()), Qt::BottomDockWidgetArea);
  EXPECT_EQ(w->dockWidgetArea(w->ProjectTreeDock()), Qt::LeftDockWidgetArea);
  EXPECT_TRUE(w->OutputDock()->isVisible());
  EXPECT_TRUE(w->ProjectTreeDock()->isVisible());
  EXPECT_FALSE(w->OutputDock()->features() & QDockWidget::DockWidgetFloatable);
  EXPECT_EQ(w->OutputDock()->objectName(), "32819");
  EXPECT_EQ(w->ProjectTreeDock()->objectName(), "32818");

  QToolBar* tb = w->MainToolBar();
  EXPECT_TRUE(tb->isMovable());
  EXPECT_TRUE(w->FindCombo()->isEditable());
  EXPECT_EQ(w->FindCombo()->objectName(), "32879");
  // The toolbar in order, the find box in the tenth place.
  QStringList order;
  for (QAction* a : tb->actions())
    order << (a->isSeparator()                           ? "0"
              : tb->widgetForAction(a) == w->FindCombo() ? "box"
                                                         : a->objectName());
  EXPECT_EQ(order.join(","),
            "32818,0,57600,57601,57603,0,57635,57634,57637,box,32866,0,32838,0,32850,32816,0,"
            "32776,32848,0,32820,0,32812,0,32814,32775,32774");
  QAction* compile = tb->findChild<QAction*>("32776");
  ASSERT_NE(compile, nullptr);
  EXPECT_EQ(compile->statusTip(), "Compile via Javac");
  EXPECT_EQ(compile->toolTip(), "Compile Java to a .class file");
  EXPECT_FALSE(compile->isEnabled());  // no Java window
  EXPECT_FALSE(tb->findChild<QAction*>("32814")->isEnabled());
  EXPECT_FALSE(tb->findChild<QAction*>("32848")->isEnabled());  // no build runs

  // "&Status Bar" shows it.
  QAction* statusToggle = MenuAction("&View", cmd::kViewStatusBar);
  ASSERT_NE(statusToggle, nullptr);
  EXPECT_FALSE(statusToggle->isChecked());
  statusToggle->trigger();
  EXPECT_TRUE(w->statusBar()->isVisible());
  EXPECT_TRUE(MenuAction("&View", cmd::kViewStatusBar)->isChecked());
  EXPECT_NE(w->statusBar()->findChild<QLabel*>("CAP"), nullptr);
}

TEST_F(ShellTest, MenuBarFollowsTheActiveWindowKind) {
  Start();
  std::string java = File("Hello.java"), html = File("index.htm"), perl = File("tool.pl");
  std::string perl2 = File("first.pm", "# perl module opens as HTML\n");

  ChildFrame* p = window()->OpenDocumentFile(perl);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Kind(), ViewKind::Perl);
  EXPECT_EQ(MenuTitles(), kMain);  // no menu of its own

  ChildFrame* j = window()->OpenDocumentFile(java);
  ASSERT_NE(j, nullptr);
  EXPECT_EQ(window()->CurrentMenuId(), 129);
  EXPECT_EQ(MenuTitles(), kJava);
  EXPECT_EQ(OpenMenu("&Edit").back(), "&Go to Line...\tCtrl+G");

  ChildFrame* h = window()->OpenDocumentFile(html);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->Kind(), ViewKind::Html);
  EXPECT_EQ(window()->CurrentMenuId(), 130);
  EXPECT_EQ(OpenMenu("&Help"), (Titles{"What's Cool...", "", "&About Tamso.."}));

  EXPECT_EQ(window()->OpenDocumentFile(perl2)->Kind(), ViewKind::Html);

  // Closing every window brings back the main menu.
  window()->MdiArea()->closeAllSubWindows();
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(window()->CurrentMenuId(), 128);
  EXPECT_EQ(MenuTitles(), kMain);
}

TEST_F(ShellTest, JavaAndPerlWindowsAreSplitHtmlIsNot) {
  profile->WriteInt("Editor", "BrowserSize", 120);
  Start();
  ChildFrame* j = window()->OpenDocumentFile(File("A.java"));
  ASSERT_NE(j->Splitter(), nullptr);
  EXPECT_EQ(j->Splitter()->widget(0), j->BrowserPane());
  EXPECT_EQ(j->Splitter()->widget(1), j->Pane());
  EXPECT_EQ(j->Splitter()->sizes().at(0), 120);
  ChildFrame* p = window()->OpenDocumentFile(File("b.pl"));
  EXPECT_NE(p->Splitter(), nullptr);
  ChildFrame* h = window()->OpenDocumentFile(File("c.html"));
  EXPECT_EQ(h->Splitter(), nullptr);
  EXPECT_EQ(h->BrowserPane(), nullptr);
  // The child toolbar: its buttons without handlers are disabled, the box read-only.
  EXPECT_TRUE(h->InfoBox()->isReadOnly());
  EXPECT_EQ(h->InfoBox()->objectName(), "1067");
  window()->UpdateCommandStates();
  EXPECT_FALSE(h->ToolBar()->findChild<QAction*>("32905")->isEnabled());
}

TEST_F(ShellTest, OpeningTheSameFileTwiceActivatesOneWindow) {
  Start();
  std::string path = File("Hello.java");
  std::filesystem::create_directory(dir + "/sub");
  std::filesystem::create_symlink(path, dir + "/link.java");
  ChildFrame* first = window()->OpenDocumentFile(path);
  window()->OpenDocumentFile(File("Other.java"));
  ASSERT_NE(window()->ActiveChild(), first);
  EXPECT_EQ(window()->OpenDocumentFile(dir + "/sub/../Hello.java"), first);
  EXPECT_EQ(window()->OpenDocumentFile(dir + "/link.java"), first);
  EXPECT_EQ(window()->ActiveChild(), first);
  EXPECT_EQ(window()->MdiArea()->subWindowList().size(), 2);
  EXPECT_EQ(window()->Documents().size(), 2u);
}

TEST_F(ShellTest, CommandsRouteToTheActivePaneAndUnhandledOnesAreDisabled) {
  Start();
  window()->OpenDocumentFile(File("A.java"));
  FakePane* pane = panes.back();
  // Each entry into a menu rebuilds its items, so every look fetches them afresh.
  QAction* copy = MenuAction("&Edit", cmd::kEditCopy);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->isEnabled());
  copy->trigger();
  EXPECT_EQ(pane->executed, (std::vector<int>{cmd::kEditCopy}));
  EXPECT_FALSE(MenuAction("Build", cmd::kOpenDesignWindow)->isEnabled());
  EXPECT_FALSE(MenuAction("&Window", cmd::kWindowNew)->isEnabled());
  EXPECT_TRUE(MenuAction("&Window", cmd::kWindowCascade)->isEnabled());
  EXPECT_TRUE(MenuAction("&View", cmd::kLineNumbers)->isChecked());

  // The toolbar find searches for the box's text and keeps the newest on top.
  window()->FindCombo()->setEditText("zeta");
  window()->Router().Execute(cmd::kFindComboText);
  window()->FindCombo()->setEditText("alpha");
  window()->Router().Execute(cmd::kFindComboText);
  EXPECT_EQ(pane->found, (std::vector<std::string>{"zeta", "alpha"}));
  EXPECT_EQ(window()->FindCombo()->itemText(0), "alpha");
  EXPECT_EQ(window()->FindCombo()->itemText(1), "zeta");

  // Keys reach the same routing; this pane does not match brackets, so Ctrl+M does nothing.
  QTest::keyClick(window(), Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(pane->executed.size(), 1u);
}

TEST_F(ShellTest, ToolsMenuIsRebuiltFromTheProfileAtEveryEntry) {
  Start();
  EXPECT_EQ(OpenMenu("Tools"), (Titles{"Find in Files...", "-", "Customize...", "-"}));
  profile->WriteString("Tools", "Tool0", "Indent");
  profile->WriteString("Tools", "Tool2", "Lint");
  EXPECT_EQ(OpenMenu("Tools"),
            (Titles{"Find in Files...", "-", "Customize...", "-", "Indent", "Lint"}));
  EXPECT_NE(TopMenu("Tools")->findChild<QAction*>("32855"), nullptr);
  OpenMenu("&File");
  EXPECT_EQ(OpenMenu("&Help"), (Titles{"What's Cool...", "", "&About Tamso..."}));
}

TEST_F(ShellTest, ModifiedDocumentShowsInTitleAndClosingAsksToSave) {
  Start();
  std::string path = File("Hello.java", "old\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  FakePane* pane = panes.back();
  pane->Type("new\n");
  EXPECT_EQ(child->SubWindow()->windowTitle(), "Hello.java *");
  EXPECT_EQ(window()->windowTitle(), "Ferrowind Tamso - Hello.java *");

  host.answers = {Answer::Cancel};
  EXPECT_FALSE(child->SubWindow()->close());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Save changes to Hello.java?"}));

  host.answers = {Answer::Yes};
  EXPECT_TRUE(child->SubWindow()->close());
  std::string saved;
  ReadWholeFile(path, saved);
  EXPECT_EQ(saved, "old\nnew\n");
}

TEST_F(ShellTest, SaveFailureIsReportedAndTheDocumentStaysModified) {
  Start();
  std::string path = File("Hello.java");
  ChildFrame* child = window()->OpenDocumentFile(path);
  panes.back()->Type("x");
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // the file's place is now taken by a directory
  EXPECT_FALSE(window()->SaveDocument(child->Doc()));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("Cannot save " + path, 0), 0u) << host.messages[0];
  EXPECT_TRUE(child->Doc()->IsModified());
  EXPECT_EQ(child->SubWindow()->windowTitle(), "Hello.java *");
}

// File names are the bytes the system gave: a backslash is part of the name, and a
// name that is not valid UTF-8 opens and saves under itself.
TEST_F(ShellTest, BackslashAndNonUtf8NamesOpenAndSaveAsThemselves) {
  Start();
  for (const std::string name : {"back\\slash.java", "caf\xe9.java"}) {
    SCOPED_TRACE(name);
    std::string path = File(name, "old\n");
    ChildFrame* child = window()->OpenDocumentFile(path);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Doc()->PathName(), path);
    EXPECT_EQ(child->Doc()->Title(), name);
    panes.back()->Type("new\n");
    ASSERT_TRUE(window()->SaveDocument(child->Doc()));
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(path, saved));
    EXPECT_EQ(saved, "old\nnew\n");
  }
  // Nothing was written beside them under a name cut at the backslash.
  EXPECT_FALSE(paths::Exists(paths::Directory(File("x")) + "/slash.java"));
  EXPECT_FALSE(paths::Exists(paths::Directory(File("x")) + "/back"));
}

TEST_F(ShellTest, LoadFailureIsReportedAndOpensNoWindow) {
  Start();
  EXPECT_EQ(window()->OpenDocumentFile(dir + "/missing.java"), nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("Cannot open " + dir + "/missing.java", 0), 0u);
  EXPECT_TRUE(window()->MdiArea()->subWindowList().isEmpty());
  EXPECT_TRUE(window()->Documents().empty());
}

TEST_F(ShellTest, NewDocumentAndSaveAsOfferTheKindsExtension) {
  Start();
  ChildFrame* child = window()->NewDocument(1);  // Java
  EXPECT_EQ(child->Doc()->Title(), "Java1");
  EXPECT_EQ(window()->NewDocument(1)->Doc()->Title(), "Java2");
  panes[0]->Type("class B {}");
  std::string target = dir + "/B.java";
  host.saveAnswers = {target};
  EXPECT_TRUE(window()->SaveDocument(child->Doc()));
  ASSERT_EQ(host.saveDialogs.size(), 1u);
  EXPECT_EQ(host.saveDialogs[0].defaultExt, "java");
  EXPECT_EQ(host.saveDialogs[0].initialFile, "Java1.java");
  EXPECT_EQ(child->Doc()->Title(), "B.java");
  EXPECT_FALSE(child->Doc()->IsModified());
  EXPECT_EQ(shell->App().RecentFiles().At(0), target);
}

TEST_F(ShellTest, ClosingTheMainWindowAsksForEveryModifiedDocument) {
  Start();
  window()->OpenDocumentFile(File("A.java"));
  panes.back()->Type("1");
  host.answers = {Answer::Cancel};
  EXPECT_FALSE(window()->close());
  EXPECT_TRUE(window()->isVisible());
  host.answers = {Answer::No};
  EXPECT_TRUE(window()->close());
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(ShellTest, RefreshSourceViewsReachesEveryPane) {
  Start();
  window()->OpenDocumentFile(File("A.java"));
  window()->OpenDocumentFile(File("b.html"));
  window()->RefreshSourceViews();
  for (auto& p : panes) EXPECT_EQ(p->reloads, 1);
}

TEST_F(ShellTest, PreviousSourceWindowVisitsEveryWindowInTurn) {
  Start();
  ChildFrame* a = window()->OpenDocumentFile(File("A.java"));
  window()->Router().Execute(cmd::kPreviousSourceWindow);
  EXPECT_EQ(window()->ActiveChild(), a);  // alone: stays
  ChildFrame* b = window()->OpenDocumentFile(File("B.java"));
  window()->Router().Execute(cmd::kPreviousSourceWindow);
  EXPECT_EQ(window()->ActiveChild(), a);
  window()->Router().Execute(cmd::kPreviousSourceWindow);
  EXPECT_EQ(window()->ActiveChild(), b);
  // With three, each step goes to the one active before and the left one goes last,
  // so three steps come back round.
  ChildFrame* c = window()->OpenDocumentFile(File("C.java"));
  std::vector<ChildFrame*> visited;
  for (int i = 0; i < 6; ++i) {
    window()->Router().Execute(cmd::kPreviousSourceWindow);
    visited.push_back(window()->ActiveChild());
  }
  EXPECT_EQ(visited, (std::vector<ChildFrame*>{b, a, c, b, a, c}));
}

TEST_F(ShellTest, EmbeddedStartKeepsTheWindowHiddenAndOpensNothing) {
  std::string path = File("A.java");
  Start({"-Embedding", path});
  EXPECT_FALSE(window()->isVisible());
  EXPECT_EQ(StartBanner::Current(), nullptr);
  EXPECT_TRUE(window()->Documents().empty());
}

TEST_F(ShellTest, CommandLineFilesOpenAfterStartUp) {
  std::string a = File("A.java"), b = File("b.html");
  Start({a, b});
  EXPECT_EQ(window()->Documents().size(), 2u);
  EXPECT_EQ(window()->CurrentMenuId(), 130);
}

TEST_F(ShellTest, BannerGoesAtTheFirstKeyAnywhere) {
  Start({}, /*keepBanner=*/true);
  ASSERT_NE(StartBanner::Current(), nullptr);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(window()->FindCombo(), &press);
  EXPECT_EQ(StartBanner::Current(), nullptr);
}

TEST_F(ShellTest, BannerNeverCoversADialog) {
  Start({}, /*keepBanner=*/true);
  ASSERT_NE(StartBanner::Current(), nullptr);
  // A window of the program's own that is no dialog leaves it.
  QWidget tool(window(), Qt::Tool);
  tool.show();
  ASSERT_NE(StartBanner::Current(), nullptr);
  QMessageBox box(QMessageBox::Question, QStringLiteral("Tamso"), QStringLiteral("Recover?"),
                  QMessageBox::Yes | QMessageBox::No, window());
  box.show();
  EXPECT_EQ(StartBanner::Current(), nullptr);
}

}  // namespace
}  // namespace tamso::gui::testing

namespace tamso::gui::testing {
namespace {

TEST_F(ShellTest, ViewCommandsReachTheActiveDocumentWindowOnly) {
  std::vector<std::string> compiled;
  SetViewCommand(cmd::kCompile,
                 [&](ChildFrame& view) { compiled.push_back(view.Document()->PathName()); });
  Start();
  EXPECT_FALSE(window()->Router().Execute(cmd::kCompile));  // no editor view: disabled
  window()->OpenDocumentFile(File("A.java"));
  QAction* compile = MenuAction("Build", cmd::kCompile);
  ASSERT_NE(compile, nullptr);
  EXPECT_TRUE(compile->isEnabled());
  compile->trigger();
  ASSERT_EQ(compiled.size(), 1u);
  EXPECT_EQ(paths::FileName(compiled[0]), "A.java");
  SetViewCommand(cmd::kCompile, {});
}

}  // namespace
}  // namespace tamso::gui::testing
