// A Java project made from a folder and built through the real window: Open Folder
// as Project from the File menu, then Build project and Rebuild entire project from
// the Build menu, enabled only while the project is open, with the compiler's output
// in the output window, its errors in the gutter and the verdict in the status bar.

#include <QDockWidget>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/project_adapter.h"
#include "app/view_commands.h"
#include "jobs/compile_wiring.h"
#include "jobs/output_bar.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "platform/paths.h"
#include "project/project.h"
#include "project/project_adapters.h"
#include "project/project_tree_bar.h"

namespace tamso::gui::testing {
namespace {

class ProjectBuildWindowTest : public ShellTest {
 protected:
  ProjectBuildWindowTest() : realProject(host, *profile), adapter(realProject) {
    savedCwd = paths::CurrentDirectory();
    model = &adapter;
    realEditors = true;
    InstallProjectTreeBar(realProject);
    SetOutputBarFactory([this](QWidget* parent) {
      OutputBar* bar = CreateOutputBarWidget(host, parent);
      return OutputBarParts{bar, bar};
    });
  }
  ~ProjectBuildWindowTest() override {
    SetViewCommand(cmd::kCompile, {});
    shell.reset();
    SetOutputBarFactory({});
    SetProjectTreeFactory({});
    paths::SetCurrentDirectory(savedCwd);
  }
  void Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(dir + "/" + name).parent_path());
    std::ofstream(dir + "/" + name) << text;
  }
  const OutputText& Output() { return dynamic_cast<OutputBar&>(window()->OutputWindow()).Text(); }
  std::string OutputString() {
    std::string s;
    for (size_t i = 0; i < Output().LineCount(); ++i) s += Output().Line(i) + "\n";
    return s;
  }
  // Runs a Build menu command and waits until its run has written its last line.
  void RunBuild(int id) {
    const size_t beeps = host.beeps.size();
    QAction* item = MenuAction("Build", id);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return host.beeps.size() >= beeps + 2 &&
                 Output().Line(Output().LineCount() - 1) == kDoneLine;
        },
        120000))
        << OutputString();
  }

  Project realProject;
  ProjectAdapter adapter;
  std::string savedCwd;
};

TEST_F(ProjectBuildWindowTest, AFolderOpensAsAProjectAndBuildsFromTheBuildMenu) {
  if (FindProgram("javac").empty()) GTEST_SKIP() << "no javac on PATH";
  const std::string app = "app/src/main/java/com/acme/app/";
  Write(app + "Main.java",
        "package com.acme.app;\nimport com.acme.app.util.Strings;\npublic class Main {\n"
        "  public static void main(String[] a) { System.out.println(Strings.shout(\"hi\")); }\n"
        "}\n");
  Write(app + "util/Strings.java",
        "package com.acme.app.util;\npublic class Strings {\n"
        "  public static String shout(String s) { return s.toUpperCase(); }\n}\n");
  Write("app/src/main/resources/app.properties", "greeting=hi\n");
  Start();
  InstallCompileCommand(host, *profile, *shell, &realProject);
  InstallBuildCommands(host, *profile, *shell, realProject);
  shell->App().SetCommandHandler(cmd::kOpenFolderAsProject,
                                 [this] { realProject.OpenFolderCommand(); });

  // With a Java file open but no project, the project's builds are there but disabled.
  ASSERT_NE(window()->OpenDocumentFile(dir + "/" + app + "Main.java"), nullptr);
  QAction* build = MenuAction("Build", cmd::kBuildProject);
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->text(), "Build project");
  EXPECT_FALSE(build->isEnabled());
  EXPECT_FALSE(MenuAction("Build", cmd::kRebuildProject)->isEnabled());

  // File > Open Folder as Project...
  host.folderAnswers.push_back(dir + "/app");
  QAction* openFolder = MenuAction("&File", cmd::kOpenFolderAsProject);
  ASSERT_NE(openFolder, nullptr);
  EXPECT_EQ(openFolder->text(), "Open Folder as Project...");
  ASSERT_TRUE(openFolder->isEnabled());
  openFolder->trigger();
  ASSERT_TRUE(realProject.IsOpen());
  EXPECT_EQ(realProject.ProjectFile(), dir + "/app/app.jap");
  auto* bar = qobject_cast<ProjectTreeBar*>(window()->ProjectTreeDock()->widget());
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(bar->Root(), nullptr);
  EXPECT_EQ(bar->Root()->childCount(), 2);
  EXPECT_NE(realProject.Members().MainIndex(), MemberList::npos);

  // Build project: both classes land in out/classes.
  RunBuild(cmd::kBuildProject);
  EXPECT_NE(OutputString().find(kBuildingLine), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir + "/app/out/classes/com/acme/app/Main.class"));
  EXPECT_TRUE(std::filesystem::exists(dir + "/app/out/classes/com/acme/app/util/Strings.class"));
  EXPECT_EQ(window()->statusBar()->currentMessage(), "Compiled: no errors");

  // An error in one file: Rebuild marks its line in the open editor.
  Write(app + "util/Strings.java",
        "package com.acme.app.util;\npublic class Strings {\n"
        "  public static String shout(String s) { return t; }\n}\n");
  ChildFrame* child = window()->OpenDocumentFile(dir + "/" + app + "util/Strings.java");
  ASSERT_NE(child, nullptr);
  RunBuild(cmd::kRebuildProject);
  EXPECT_NE(OutputString().find(kRebuildingLine), std::string::npos);
  CSourceEditor* editor = static_cast<SourceEditorPane*>(child->Pane())->Editor();
  EXPECT_EQ(editor->Diagnostics().SeverityAt(2), DiagnosticSeverity::Error) << OutputString();
  EXPECT_EQ(window()->statusBar()->currentMessage(), "1 error");
  // Emptied first: the class of the broken source is gone.
  EXPECT_FALSE(std::filesystem::exists(dir + "/app/out/classes/com/acme/app/util/Strings.class"));
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tamso::gui::testing
