#include "app/t2_app.h"

#include <gtest/gtest.h>

#include "app/app_command_line.h"
#include "app/command_ids.h"
#include "app/command_router.h"
#include "platform/paths.h"
#include "support/fake_host.h"
#include "test_profile.h"

namespace tamso {
namespace {

class FakeProject : public IProjectModel {
 public:
  bool Create() override {
    calls.push_back("Create");
    return true;
  }
  bool Open(const std::string& path) override {
    calls.push_back("Open " + path);
    if (!openSucceeds) return false;
    open = true;
    return true;
  }
  void Close() override {
    calls.push_back("Close");
    open = false;
  }
  bool IsOpen() const override { return open; }
  std::vector<std::string> calls;
  bool open = false;
  bool openSucceeds = true;
};

class FakeWindows : public IAppWindows {
 public:
  bool CreateMainFrame(bool mayShowBanner) override {
    calls.push_back(mayShowBanner ? "create+banner" : "create");
    return createSucceeds;
  }
  void RegisterShellOpen() override { calls.push_back("register"); }
  void ShowMainFrameMaximized() override { calls.push_back("show"); }
  void OfferTips() override { calls.push_back("tips"); }
  void OpenDocuments(const std::vector<std::string>& paths) override {
    for (const auto& p : paths) calls.push_back("open " + p);
  }
  std::vector<std::string> calls;
  bool createSucceeds = true;
};

class FakeJob : public IBuildJob {
 public:
  void Cancel() override {
    ++cancels;
    finished = true;
  }
  void Supersede() override { ++supersedes; }
  bool Finished() const override { return finished; }
  bool WaitFinished(int) override { return finished; }
  int cancels = 0;
  int supersedes = 0;
  bool finished = false;
};

class AppTest : public ::testing::Test {
 protected:
  testing::TempProfile profile;
  testing::FakeHost host;
  FakeProject project;
  FakeWindows windows;
  CT2App app{profile.ini(), host, project};
  CommandRouter router{[this] { return CommandRouter::Chain{&app}; }};

  bool Start(std::vector<std::string> args = {}) {
    return app.InitInstance(ParseAppCommandLine(args), windows);
  }
};

TEST_F(AppTest, FirstStartWithNoProfileGetsDefaults) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"create+banner", "register", "show", "tips"}));
  EXPECT_EQ(app.BrowserPaneWidth(), kDefaultBrowserPaneWidth);
  EXPECT_EQ(app.GetBrowserPath(), "");
  EXPECT_TRUE(project.calls.empty());
  EXPECT_EQ(app.RecentProjects()->Count(), 0);
  EXPECT_FALSE(router.Update(cmd::kRecentProjectFirst).enabled);
  EXPECT_FALSE(router.Update(cmd::kFileMruFirst).enabled);
  EXPECT_FALSE(profile.Exists());  // nothing written by start-up
}

TEST_F(AppTest, StartUpReadsSavedValuesThenReopensLastProjectThenOpensFiles) {
  profile.Write(
      "[Browser]\nPath=/usr/bin/firefox-esr\n[Editor]\nBrowserSize=180\n"
      "[Project]\nLast=/home/me/hello/hello.jap\n"
      "[Recent Project List]\nFile1=/p/a.jap\nFile2=/p/b.jap\n"
      "[Recent File List]\nFile1=/s/A.java\n");
  ASSERT_TRUE(Start({"--profile", "/x/y.INI", "Hello.java"}));
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"create+banner", "register", "show", "tips",
                                                     "open Hello.java"}));
  EXPECT_EQ(app.GetBrowserPath(), "/usr/bin/firefox-esr");
  EXPECT_EQ(app.BrowserPaneWidth(), 180);
  EXPECT_EQ(project.calls, (std::vector<std::string>{"Open /home/me/hello/hello.jap"}));
  EXPECT_EQ(app.RecentProjects()->Paths(), (std::vector<std::string>{"/p/a.jap", "/p/b.jap"}));
  EXPECT_EQ(app.RecentFiles().Paths(), (std::vector<std::string>{"/s/A.java"}));
}

TEST_F(AppTest, EmbeddingSwitchCreatesWindowButShowsAndLoadsNothing) {
  profile.Write("[Editor]\nBrowserSize=180\n[Project]\nLast=/p/a.jap\n");
  for (const char* sw : {"-Embedding", "/embedding", "-Automation", "/Automation"}) {
    FakeWindows w;
    FakeProject p;
    CT2App a(profile.ini(), host, p);
    ASSERT_TRUE(a.InitInstance(ParseAppCommandLine({sw, "A.java"}), w)) << sw;
    EXPECT_EQ(w.calls, (std::vector<std::string>{"create", "register"})) << sw;
    EXPECT_FALSE(a.MayShowBanner());
    EXPECT_EQ(a.BrowserPaneWidth(), 0);
    EXPECT_TRUE(p.calls.empty());
    // Leaving an embedded run keeps the saved pane width.
    a.ExitInstance();
    EXPECT_EQ(profile.ini().GetInt("Editor", "BrowserSize", -1), 180);
  }
}

TEST_F(AppTest, FailedMainFrameEndsStartUp) {
  windows.createSucceeds = false;
  EXPECT_FALSE(Start());
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"create+banner"}));
}

TEST_F(AppTest, ExitWritesPaneWidthAndBothRecentLists) {
  ASSERT_TRUE(Start());
  app.SetBrowserPaneWidth(222);
  for (auto p : {"/p/1.jap", "/p/2.jap", "/p/3.jap", "/p/4.jap", "/p/5.jap"})
    app.RecentProjects()->Add(p);
  app.RecentFiles().Add("/s/B.java");
  app.ExitInstance();
  EXPECT_EQ(app.RecentProjects(), nullptr);
  const IniFile& ini = profile.ini();
  EXPECT_EQ(ini.GetInt("Editor", "BrowserSize", 0), 222);
  EXPECT_EQ(ini.GetString("Recent Project List", "File1", ""), "/p/5.jap");
  EXPECT_EQ(ini.GetString("Recent Project List", "File4", ""), "/p/2.jap");
  EXPECT_EQ(ini.GetString("Recent Project List", "File5", "none"), "none");
  EXPECT_EQ(ini.GetString("Recent File List", "File1", ""), "/s/B.java");
  EXPECT_EQ(ini.GetString("Browser", "Path", "unset"), "unset");  // written only when set
}

TEST_F(AppTest, RecentListsAreWrittenAsTheyChangeNotOnlyAtExit) {
  profile.Write("[Recent File List]\nFile1=/s/A.java\n");
  ASSERT_TRUE(Start());
  app.RecentFiles().Add("/s/B.java");
  app.RecentProjects()->Add("/p/a.jap");
  // No ExitInstance: the run may end in a crash from here on.
  const IniFile& ini = profile.ini();
  EXPECT_EQ(ini.GetString("Recent File List", "File1", ""), "/s/B.java");
  EXPECT_EQ(ini.GetString("Recent File List", "File2", ""), "/s/A.java");
  EXPECT_EQ(ini.GetString("Recent Project List", "File1", ""), "/p/a.jap");
  // An entry that no longer opens goes from the profile too.
  ASSERT_TRUE(router.Execute(cmd::kFileMruFirst + 1));
  EXPECT_EQ(ini.GetString("Recent File List", "File2", "none"), "none");
  EXPECT_EQ(ini.GetString("Recent File List", "File1", ""), "/s/B.java");
}

TEST_F(AppTest, BrowserPathIsWrittenWhenSet) {
  app.SetBrowserPath("/opt/browser");
  EXPECT_EQ(app.GetBrowserPath(), "/opt/browser");
  EXPECT_EQ(profile.ini().GetString("Browser", "Path", ""), "/opt/browser");
}

TEST_F(AppTest, StopBuildingIsEnabledOnlyWhileABuildRuns) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(router.Update(cmd::kStopBuilding).enabled);
  auto job = std::make_shared<FakeJob>();
  app.SetBuildThread(job);
  EXPECT_FALSE(app.IsIdle());
  EXPECT_TRUE(router.Update(cmd::kStopBuilding).enabled);
  host.output.text = "javac Hello.java";

  EXPECT_TRUE(router.Execute(cmd::kStopBuilding));
  EXPECT_EQ(job->cancels, 1);
  EXPECT_EQ(host.output.text, "javac Hello.java\nTerminated at user request.");
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Exclamation, BeepKind::Default}));
  EXPECT_TRUE(app.IsIdle());
  EXPECT_FALSE(router.Update(cmd::kStopBuilding).enabled);
}

TEST_F(AppTest, BuildEndMarksIdleWithDefaultBeepAndAFinishedJobIsNotStopped) {
  auto job = std::make_shared<FakeJob>();
  app.SetBuildThread(job);
  job->finished = true;
  app.SetBuildThread(nullptr);  // the build ended by itself
  EXPECT_TRUE(app.IsIdle());
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Default}));
  // A stop now reaches no finished build: no output, only the idle beep.
  app.StopBuilding();
  EXPECT_EQ(job->cancels, 0);
  EXPECT_EQ(host.output.appendCount, 0);
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Default, BeepKind::Default}));

  // A build started in the moment between the last one going idle and its worker
  // returning (its closing lines still on their way) silences the last one; a
  // finished one is left alone.
  auto closing = std::make_shared<FakeJob>();
  app.SetBuildThread(closing);
  app.SetBuildThread(nullptr);
  auto next = std::make_shared<FakeJob>();
  app.SetBuildThread(next);
  EXPECT_EQ(closing->supersedes, 1);
  EXPECT_EQ(closing->cancels, 0);  // its own finishing work still runs
  next->finished = true;
  app.SetBuildThread(nullptr);
  app.SetBuildThread(std::make_shared<FakeJob>());
  EXPECT_EQ(next->supersedes, 0);
  EXPECT_EQ(job->supersedes, 0);
}

TEST_F(AppTest, ProjectCommandsRouteToTheProject) {
  ASSERT_TRUE(Start());
  router.Execute(cmd::kCreateProject);
  EXPECT_EQ(project.calls, (std::vector<std::string>{"Create"}));

  router.Execute(cmd::kCloseProject);
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"No Project is open"}));
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(host.messages[0].caption, "");

  host.openFileAnswers.push_back(std::string("/p/hello.jap"));
  router.Execute(cmd::kOpenProject);
  ASSERT_EQ(host.fileDialogs.size(), 1u);
  EXPECT_EQ(host.fileDialogs[0].defaultExt, "jap");
  EXPECT_EQ(host.fileDialogs[0].filter, "Project Files (*.jap)|*.jap|All Files (*)|*");
  EXPECT_EQ(host.fileDialogs[0].initialFile, "");
  EXPECT_TRUE(host.fileDialogs[0].overwritePrompt);
  EXPECT_EQ(project.calls.back(), "Open /p/hello.jap");
  EXPECT_EQ(app.RecentProjects()->Paths(), (std::vector<std::string>{"/p/hello.jap"}));

  router.Execute(cmd::kCloseProject);
  EXPECT_EQ(project.calls.back(), "Close");
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(AppTest, CancelledOrFailedProjectOpenLeavesRecentListAlone) {
  ASSERT_TRUE(Start());
  host.openFileAnswers.push_back(std::nullopt);
  router.Execute(cmd::kOpenProject);
  EXPECT_TRUE(project.calls.empty());
  project.openSucceeds = false;
  host.openFileAnswers.push_back(std::string("/p/broken.jap"));
  router.Execute(cmd::kOpenProject);
  EXPECT_EQ(project.calls, (std::vector<std::string>{"Open /p/broken.jap"}));
  EXPECT_EQ(app.RecentProjects()->Count(), 0);
}

TEST_F(AppTest, RecentProjectEntryOpensWithoutReordering) {
  profile.Write("[Recent Project List]\nFile1=/p/a.jap\nFile2=/p/b.jap\n");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(router.Update(cmd::kRecentProjectFirst + 1).enabled);
  EXPECT_FALSE(router.Update(cmd::kRecentProjectFirst + 2).enabled);
  EXPECT_TRUE(router.Execute(cmd::kRecentProjectFirst + 1));
  EXPECT_EQ(project.calls, (std::vector<std::string>{"Open /p/b.jap"}));
  EXPECT_EQ(app.RecentProjects()->Paths(), (std::vector<std::string>{"/p/a.jap", "/p/b.jap"}));
}

TEST_F(AppTest, ProjectSettingsAndBuildsNeedAHandlerAndAnOpenProject) {
  ASSERT_TRUE(Start());
  for (int id : {cmd::kProjectSettings, cmd::kBuildProject, cmd::kRebuildProject}) {
    project.open = false;
    EXPECT_FALSE(router.Update(id).enabled);  // no handler installed
    int shown = 0;
    app.SetCommandHandler(id, [&] { ++shown; });
    EXPECT_FALSE(router.Update(id).enabled);
    project.open = true;
    EXPECT_TRUE(router.Update(id).enabled);
    router.Execute(id);
    EXPECT_EQ(shown, 1);
    app.SetCommandHandler(id, nullptr);
    EXPECT_FALSE(router.Update(id).enabled);
  }
}

TEST_F(AppTest, RecentFileThatNoLongerOpensLeavesTheList) {
  profile.Write("[Recent File List]\nFile1=/gone/A.java\n");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(router.Execute(cmd::kFileMruFirst));
  EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{"/gone/A.java"}));
  EXPECT_EQ(app.RecentFiles().Count(), 0);
}

TEST(AppCommandLine, SwitchesFilesAndProfileOption) {
  auto c = ParseAppCommandLine({"--profile", "/t/p.INI", "--profile=/t/q.INI", "A.java",
                                "/EMBEDDING", "--quit-when-idle", "--", "-odd.java"});
  EXPECT_TRUE(c.embedding);
  EXPECT_FALSE(c.automation);
  EXPECT_TRUE(c.quitWhenIdle);
  EXPECT_FALSE(c.ShowSplash());
  EXPECT_EQ(c.files, (std::vector<std::string>{"A.java", "-odd.java"}));
  EXPECT_EQ(ParseAppCommandLine({"/home/me/Embedding"}).files.size(), 1u);
}

}  // namespace
}  // namespace tamso

namespace tamso {
namespace {

TEST(AppCommandLineFiles, AProjectFileIsTakenOutAndTheRestMadeAbsolute) {
  const std::string cwd = paths::CurrentDirectory();
  std::vector<std::string> files = {"A.java", "first.jap", "/abs/b.html", "second.JaP"};
  EXPECT_EQ(TakeProjectFile(files), cwd + "/second.JaP");  // the last one wins
  EXPECT_EQ(files, (std::vector<std::string>{cwd + "/A.java", "/abs/b.html"}));
  std::vector<std::string> none = {"x.java"};
  EXPECT_EQ(TakeProjectFile(none), "");
}

}  // namespace
}  // namespace tamso
