#include "project/project_tree_bar.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QTest>

#include "app/bars.h"
#include "app/project_adapter.h"
#include "app/recent_list.h"
#include "core/project/project_fixture.h"
#include "project/project_adapters.h"
#include "project/project_icons.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;

class ProjectTreeBarTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    bar = std::make_unique<gui::ProjectTreeBar>(*project);
    bar->resize(300, 400);
    bar->show();
  }
  void TearDown() override {
    bar.reset();
    ProjectTest::TearDown();
  }
  // Opens dir/p.jap with these members (file names in the project directory).
  void OpenWith(std::initializer_list<const char*> names) {
    OpenEmpty();
    for (const char* n : names) project->AddFile(Path(n), true);
  }
  QTreeWidgetItem* Child(int i) { return bar->Root()->child(i); }
  bool HasIcon(QTreeWidgetItem* item, MemberKind kind) {
    return item->icon(0).cacheKey() ==
           gui::ProjectTreeIcons().at(static_cast<std::size_t>(kind)).cacheKey();
  }
  std::vector<std::pair<QString, QString>> MenuOf(QMenu* menu) {
    std::vector<std::pair<QString, QString>> v;
    for (QAction* a : menu->actions())
      v.emplace_back(a->isSeparator() ? QStringLiteral("-") : a->objectName(), a->text());
    return v;
  }

  std::unique_ptr<gui::ProjectTreeBar> bar;
};

using Entry = std::pair<QString, QString>;

TEST_F(ProjectTreeBarTest, TheTreeFollowsTheMemberList) {
  OpenWith({"A.java", "page.html", "notes.txt"});
  project->AddFile("/lib/A.java", true);
  ASSERT_NE(bar->Root(), nullptr);
  EXPECT_EQ(bar->Tree()->objectName(), "1038");
  EXPECT_EQ(bar->Root()->text(0), "p.jap");
  EXPECT_TRUE(bar->Root()->isExpanded());
  ASSERT_EQ(bar->Root()->childCount(), 4);
  EXPECT_EQ(Child(0)->text(0), "A.java");
  EXPECT_EQ(Child(3)->text(0), "A.java");  // same label, its own stored path
  EXPECT_EQ(Child(3)->toolTip(0), "/lib/A.java");
  EXPECT_TRUE(HasIcon(Child(0), MemberKind::JavaFile));
  EXPECT_TRUE(HasIcon(Child(1), MemberKind::HtmlFile));
  EXPECT_TRUE(HasIcon(Child(2), MemberKind::OtherFile));

  project->SetMainFile(Path("page.html"));
  EXPECT_TRUE(HasIcon(Child(1), MemberKind::MainFile));
  project->SetMainFile(Path("A.java"));
  EXPECT_TRUE(HasIcon(Child(1), MemberKind::HtmlFile));
  EXPECT_TRUE(HasIcon(Child(0), MemberKind::MainFile));
  project->RemoveFile(Path("page.html"));
  ASSERT_EQ(bar->Root()->childCount(), 3);
  EXPECT_EQ(Child(1)->text(0), "notes.txt");

  // Reopening loads the same tree from the file.
  project->Open(Path("p.jap"));
  ASSERT_EQ(bar->Root()->childCount(), 3);
  EXPECT_TRUE(HasIcon(Child(0), MemberKind::MainFile));
  EXPECT_EQ(Child(2)->toolTip(0), "/lib/A.java");

  project->Close();
  EXPECT_EQ(bar->Tree()->topLevelItemCount(), 0);
}

TEST_F(ProjectTreeBarTest, AnAddedMemberIsScrolledIntoView) {
  bar->resize(200, 120);
  OpenEmpty();
  for (int i = 0; i < 60; ++i) project->AddFile(Path("F" + std::to_string(i) + ".java"), false);
  QApplication::processEvents();
  QRect last = bar->Tree()->visualItemRect(Child(59));
  EXPECT_TRUE(bar->Tree()->viewport()->rect().contains(last.center()));
  EXPECT_FALSE(
      bar->Tree()->viewport()->rect().contains(bar->Tree()->visualItemRect(bar->Root()).center()));
}

TEST_F(ProjectTreeBarTest, PopUpForAMemberAndForTheRoot) {
  OpenWith({"A.java", "B.java"});
  bar->Tree()->setCurrentItem(Child(1));
  std::unique_ptr<QMenu> menu(bar->Tree()->BuildContextMenu(nullptr));
  EXPECT_THAT(MenuOf(menu.get()), ElementsAre(Entry("32842", "Open ./B.java"), Entry("-", ""),
                                              Entry("32847", "Mark as 'Main file'"),
                                              Entry("32845", "Remove from project"), Entry("-", ""),
                                              Entry("32846", "Insert files into project..."),
                                              Entry("32961", "Add Folder to Project..."),
                                              Entry("32840", "Project Settings...")));

  bar->Tree()->setCurrentItem(bar->Root());
  menu.reset(bar->Tree()->BuildContextMenu(nullptr));
  EXPECT_THAT(MenuOf(menu.get()), ElementsAre(Entry("32846", "Insert files into project..."),
                                              Entry("32961", "Add Folder to Project..."),
                                              Entry("32840", "Project Settings...")));
}

TEST_F(ProjectTreeBarTest, TheRightButtonShowsThePopUpOfTheSelectedItem) {
  OpenWith({"A.java", "B.java"});
  bar->Tree()->setCurrentItem(Child(0));
  QPoint onB = bar->Tree()->visualItemRect(Child(1)).center();
  QTest::mouseClick(bar->Tree()->viewport(), Qt::RightButton, {}, onB);
  EXPECT_EQ(bar->Tree()->currentItem(), Child(0));
  auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->actions().at(0)->text(), "Open ./A.java");
  popup->close();
}

TEST_F(ProjectTreeBarTest, PopUpCommandsReachTheProject) {
  OpenWith({"A.java", "B.java"});
  int settingsRuns = 0;
  bar->Tree()->SetSettingsRunner([&] { ++settingsRuns; });
  bar->Tree()->setCurrentItem(Child(1));
  std::unique_ptr<QMenu> menu(bar->Tree()->BuildContextMenu(nullptr));
  menu->findChild<QAction*>("32847")->trigger();
  EXPECT_EQ(project->Members().MainIndex(), 1u);
  menu->findChild<QAction*>("32840")->trigger();
  EXPECT_EQ(settingsRuns, 1);
  menu->findChild<QAction*>("32842")->trigger();
  EXPECT_THAT(host.openedDocuments, ElementsAre(Path("B.java")));
  menu->findChild<QAction*>("32845")->trigger();
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java"));
  EXPECT_EQ(bar->Root()->childCount(), 1);

  host.openFileAnswers.push_back(Path("C.html"));
  bar->Tree()->setCurrentItem(bar->Root());
  bar->Tree()->RunCommand(32846);
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "./C.html"));
  EXPECT_EQ(Child(1)->text(0), "C.html");
}

TEST_F(ProjectTreeBarTest, DoubleClickOpensAMemberAndNotTheRoot) {
  OpenWith({"A.java"});
  QPoint onRoot = bar->Tree()->visualItemRect(bar->Root()).center();
  QTest::mouseClick(bar->Tree()->viewport(), Qt::LeftButton, {}, onRoot);
  QTest::mouseDClick(bar->Tree()->viewport(), Qt::LeftButton, {}, onRoot);
  EXPECT_TRUE(host.openedDocuments.empty());
  bar->Root()->setExpanded(true);
  QPoint onA = bar->Tree()->visualItemRect(Child(0)).center();
  QTest::mouseClick(bar->Tree()->viewport(), Qt::LeftButton, {}, onA);
  QTest::mouseDClick(bar->Tree()->viewport(), Qt::LeftButton, {}, onA);
  EXPECT_THAT(host.openedDocuments, ElementsAre(Path("A.java")));
}

TEST_F(ProjectTreeBarTest, OpeningShowsTheDockAndALateBarShowsTheOpenProject) {
  bar.reset();
  OpenWith({"A.java", "B.java"});
  QMainWindow window;
  auto* dock = new QDockWidget(&window);
  window.addDockWidget(Qt::LeftDockWidgetArea, dock);
  auto* late = new gui::ProjectTreeBar(*project, dock);
  dock->setWidget(late);
  ASSERT_NE(late->Root(), nullptr);
  EXPECT_EQ(late->Root()->childCount(), 2);
  dock->hide();
  project->Open(Path("p.jap"));
  EXPECT_FALSE(dock->isHidden());

  // Closing the window empties the tree; the project and its file keep the members.
  late->ClearTree();
  EXPECT_EQ(late->Tree()->topLevelItemCount(), 0);
  EXPECT_EQ(project->Members().Size(), 2u);
  project->AddFile(Path("C.java"), true);
  EXPECT_EQ(late->Tree()->topLevelItemCount(), 0);
  // The bar still follows the project: opening it again fills the tree.
  project->Open(Path("p.jap"));
  ASSERT_NE(late->Root(), nullptr);
  EXPECT_EQ(late->Root()->childCount(), 3);
}

TEST_F(ProjectTreeBarTest, CreateGoesIntoTheApplicationsRecentProjectList) {
  RecentList recentList(61446, "Recent Project List", "File%d", 4, 30);
  ProjectAdapter model(*project);
  RecentProjectsAdapter recentAdapter(&recentList);
  project->SetRecentList(&recentAdapter);
  host.saveFileAnswers.push_back(Path("new.jap"));
  EXPECT_TRUE(model.Create());
  EXPECT_TRUE(model.IsOpen());
  EXPECT_THAT(recentList.Paths(), ElementsAre(Path("new.jap")));
  EXPECT_TRUE(model.Open(Path("other.jap")));
  EXPECT_EQ(bar->Root()->text(0), "other.jap");
  model.Close();
  EXPECT_FALSE(model.IsOpen());
  project->SetRecentList(nullptr);
}

TEST_F(ProjectTreeBarTest, TheMainWindowsBarFollowsTheProjectAfterItsTreeWasEmptied) {
  bar.reset();
  gui::InstallProjectTreeBar(*project);
  QWidget parent;
  gui::ProjectTreeParts parts = gui::CreateProjectTreeBar(&parent);
  gui::SetProjectTreeFactory({});
  auto* made = qobject_cast<gui::ProjectTreeBar*>(parts.widget);
  ASSERT_NE(made, nullptr);
  OpenWith({"A.java"});
  EXPECT_EQ(made->Root()->childCount(), 1);
  parts.clearTree();
  EXPECT_EQ(made->Tree()->topLevelItemCount(), 0);
  OpenWith({"B.java"});
  ASSERT_NE(made->Root(), nullptr);
  EXPECT_EQ(made->Root()->childCount(), 2);
  project->AddFile(Path("C.java"), true);
  EXPECT_EQ(made->Root()->childCount(), 3);
}

}  // namespace
}  // namespace tamso::testing
