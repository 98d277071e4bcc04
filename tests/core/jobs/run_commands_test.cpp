#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "jobs/process_runner.h"
#include "jobs/run_commands.h"
#include "jobs/run_html.h"
#include "build_test_support.h"
#include "platform/ini_file.h"
#include "project/project.h"

namespace tamso {
namespace {

using testing::Child;
using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;

class Doc : public IDocument {
 public:
  explicit Doc(std::string path, bool saves = true) : path_(std::move(path)), ok_(saves) {}
  std::string PathName() const override { return path_; }
  std::string Title() const override { return path_; }
  bool IsModified() const override { return false; }
  bool Save() override {
    ++saves;
    return ok_;
  }
  int saves = 0;

 private:
  std::string path_;
  bool ok_;
};

class Dialogs : public IRunDialogs {
 public:
  std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) override {
    ++javaShown;
    shown = initial;
    if (acceptInConsole) {
      RunJavaValues v = initial;
      v.privateConsole = true;
      return v;
    }
    if (!answer) return std::nullopt;
    RunJavaValues v = *answer;
    return v;
  }
  std::optional<RunHtmlChoice> RunHtml(const std::string& command, const std::string& html,
                                       const std::vector<std::string>& list) override {
    htmlCommand = command;
    htmlText = html;
    pages = list;
    return htmlAnswer;
  }
  int javaShown = 0;
  bool acceptInConsole = false;  // Run as shown, with the private console
  RunJavaValues shown;
  std::optional<RunJavaValues> answer;
  std::string htmlCommand, htmlText;
  std::vector<std::string> pages;
  std::optional<RunHtmlChoice> htmlAnswer;
};

class Console : public IJavaConsole {
 public:
  int Run(const std::vector<std::string>& a, const std::string& l, const std::string& d) override {
    args = a;
    line = l;
    dir = d;
    return result;
  }
  std::vector<std::string> args;
  std::string line, dir;
  int result = 0;
};

struct World {
  TempDir dir;
  HostWithOutput host;
  IniFile profile{dir / "t.INI"};
  TestSlot slot{host};
  TestUiThread ui;
  Dialogs dialogs;
  Console console;
  Project project{host, profile};
  RunContext context{host, profile, slot, ui, dialogs, &console, &project};
  std::string cwd = CurrentOrRoot();
  ~World() {
    project.Close();
    std::error_code ec;
    std::filesystem::current_path(cwd, ec);
  }
  // An earlier test may have left the process in a directory that is gone.
  static std::string CurrentOrRoot() {
    std::error_code ec;
    std::string here = std::filesystem::current_path(ec).string();
    if (!ec) return here;
    std::filesystem::current_path("/", ec);
    return "/";
  }
  void Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(dir / name).parent_path());
    std::ofstream(dir / name) << text;
  }
  void OpenProject(const std::string& mainFile) {
    Write("p.jap", "[Project]\nMainfile=" + mainFile + "\n[Files]\nfile1=" + mainFile +
                       "\nfile2=./my page.html\n");
    ASSERT_TRUE(project.Open(dir / "p.jap"));
  }
};

TEST(RunJavaCommand, BusyAndUnusableMainFileStopBeforeTheDialog) {
  World w;
  w.slot.idle = false;
  RunJavaCommand(nullptr, w.context);
  w.slot.idle = true;
  w.OpenProject("./readme.txt");
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.javaShown, 0);
  ASSERT_EQ(w.host.messages.size(), 2u);
  EXPECT_EQ(w.host.messages[0].text, "Sorry.\n  I'm Busy compiling.  Try again later.");
  EXPECT_EQ(w.host.messages[1].text, NoJavaMainFileMessage(w.dir / "p.jap", "./readme.txt"));
}

TEST(RunJavaCommand, ProjectMainFileGivesClassAndPackageRoot) {
  World w;
  w.Write("Hello.java", "class Hello {}");
  w.OpenProject("./Hello.java");
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "Hello");
  EXPECT_EQ(w.dialogs.shown.directory, ".");
  EXPECT_EQ(w.profile.GetString("RunJava", "Class", ""), "Hello");
  w.project.Close();

  w.Write("src/a/b/Main.java", "// x\npackage a.b;\npublic class Main {}");
  w.OpenProject(w.dir / "src/a/b/Main.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "a.b.Main");
  EXPECT_EQ(w.dialogs.shown.directory, w.dir / "src");
  EXPECT_TRUE(w.host.messages.empty());
  EXPECT_EQ(w.console.dir, w.dir / "src");
  // The classes are in the project's output directory.
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "a.b.Main"}));
}

// File names java would misread: as an option or an "@file", split at a backslash
// (a separator only in stored project paths), or split at a line end.
TEST(RunJavaCommand, HostileMainFileNamesReachJavaAsExactlyOneClassArgument) {
  {
    World w;
    w.Write("-x.java", "class x {}");
    w.OpenProject("./-x.java");
    w.dialogs.acceptInConsole = true;
    RunJavaCommand(nullptr, w.context);
    EXPECT_EQ(w.console.args,
              (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "./-x"}));
  }
  for (const std::string name : {"a\\b", "t\tq\"", "ends\\"}) {
    SCOPED_TRACE(name);
    World w;
    w.Write("src/p/" + name + ".java", "package p;\nclass X {}");
    Doc java(w.dir / ("src/p/" + name + ".java"));
    w.dialogs.acceptInConsole = true;
    RunJavaCommand(&java, w.context);
    EXPECT_EQ(w.console.dir, w.dir / "src");
    EXPECT_EQ(w.console.args, (std::vector<std::string>{"java", "p." + name}));
  }
}

TEST(RunJavaCommand, ActiveFileNoteAndOutputDirectoryOnTheClassPath) {
  World w;
  Doc text(w.dir / "notes.txt");
  RunJavaCommand(&text, w.context);
  ASSERT_EQ(w.host.messages.size(), 1u);
  EXPECT_EQ(w.host.messages[0].text, "Active File does not hava a .java extention");
  EXPECT_EQ(w.dialogs.javaShown, 1);  // the dialog still follows
  EXPECT_EQ(ComposeRunJavaLine(w.dialogs.shown), "java   ? ");

  w.profile.WriteString("Compiler", "UseDirectory", "Y");
  w.profile.WriteString("Compiler", "Directory", w.dir / "out dir");
  Doc java(w.dir / "Hello.java");
  w.Write("Hello.java", "class Hello {}");
  RunJavaValues answer;
  answer.className = "Hello";
  answer.directory = w.dir / "out dir";
  answer.privateConsole = true;
  w.dialogs.answer = answer;
  RunJavaCommand(&java, w.context);
  EXPECT_EQ(w.dialogs.shown.directory, w.dir / "out dir");
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out dir", "Hello"}));
  EXPECT_EQ(w.console.dir, w.dir / "out dir");
  EXPECT_EQ(w.profile.GetString("RunJava", "Class", ""), "Hello");
  // A console that could not start the program says so.
  w.console.result = ENOENT;
  RunJavaCommand(&java, w.context);
  ASSERT_EQ(w.host.messages.size(), 2u);
  EXPECT_EQ(w.host.messages[1].caption, "VOZ");
  EXPECT_EQ(
      w.host.messages[1].text,
      "Sorry.\n\nError spawning command\n\n==> " + w.console.line +
          "\n\nMake sure your PATH is set correctly\nMake sure the JDK is properly installed");
}

// A relative output directory names a folder of the project (or, without one, of the
// source), never one found from wherever the IDE happens to run.
TEST(RunJavaCommand, RelativeOutputDirectoryIsTheProjectsFolder) {
  World w;
  w.profile.WriteString("Compiler", "UseDirectory", "Y");
  w.profile.WriteString("Compiler", "Directory", "out");
  w.Write("Main.java", "public class Main {}");
  w.OpenProject("./Main.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.directory, w.dir / "out");
  EXPECT_EQ(w.console.dir, w.dir / "out");
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out", "Main"}));

  // The project's own output directory, for a member in a subfolder.
  w.Write("src/Tool.java", "class Tool {}");
  w.OpenProject(w.dir / "src/Tool.java");
  CompilerDirectories dirs;
  dirs.useDirectory = true;
  dirs.directory = "./build/";
  ASSERT_TRUE(w.project.SaveCompilerDirectories(dirs));
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "build", "Tool"}));
  w.project.Close();

  // Without a project: the folder of the file, where the compiler ran.
  w.Write("solo/Hello.java", "class Hello {}");
  Doc hello(w.dir / "solo/Hello.java");
  RunJavaCommand(&hello, w.context);
  EXPECT_EQ(w.console.dir, w.dir / "solo/out");
  ASSERT_GE(w.console.args.size(), 3u);
  EXPECT_EQ(w.console.args[2], w.dir / "solo/out");
}

// Classes compiled to an output directory lie in their package's folders there, so a
// source outside matching folders still runs under its full name.
TEST(RunJavaCommand, PackagedSourceOutsideItsFoldersIsQualifiedWithAnOutputDirectory) {
  World w;
  w.Write("src/Main.java", "package demo;\npublic class Main {}");
  w.OpenProject(w.dir / "src/Main.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  // The project's own output directory: classes lie in their package's folders there.
  EXPECT_EQ(w.dialogs.shown.className, "demo.Main");
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "demo.Main"}));

  w.profile.WriteString("Compiler", "UseDirectory", "Y");
  w.profile.WriteString("Compiler", "Directory", w.dir / "classes");
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "demo.Main");
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "classes", "demo.Main"}));
  w.project.Close();

  Doc active(w.dir / "src/Main.java");
  RunJavaCommand(&active, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "demo.Main");
  // A source in matching folders is named once, not twice.
  w.Write("src/demo/Main.java", "package demo;\npublic class Main {}");
  Doc placed(w.dir / "src/demo/Main.java");
  RunJavaCommand(&placed, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "demo.Main");
}

TEST(RunJavaCommand, TerminalRoadStartsExactlyTheProgramWithoutAShell) {
  World w;
  const std::string record = w.dir / "argv.txt";
  const std::string odd = w.dir / "-dir with ;$(x)";
  std::filesystem::create_directories(odd);
  w.context.terminal = "\"" + Child() + "\" record \"" + record + "\"";
  w.context.holdProgram = "/hold";
  RunJavaValues v;
  v.command = "\"" + Child() + "\"";
  v.className = "\"a b\"";
  v.arguments = "'q' $(rm) ; -x";
  v.directory = odd + "  ";
  w.dialogs.answer = v;
  RunJavaCommand(nullptr, w.context);
  ASSERT_EQ(w.host.messages.size(), 1u);  // only the note about the active file
  std::string text;
  for (int i = 0; i < 2000 && text.empty(); ++i) {
    pollfd none{-1, 0, 0};
    ::poll(&none, 1, 10);
    std::ifstream in(record);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(text, "-e\n/hold\n--hold-run\n--\n" + Child() + "\na b\n'q'\n$(rm)\n;\n-x\n");

  // A program that does not exist is the spawn message, no terminal.
  v.command = "no-such-java-here";
  w.dialogs.answer = v;
  RunJavaCommand(nullptr, w.context);
  ASSERT_EQ(w.host.messages.size(), 3u);
  EXPECT_EQ(w.host.messages[2].caption, "VOZ");
}

TEST(AppletViewerCommand, MissingViewerSaysSoAndTheOutputStillCloses) {
  World w;
  w.OpenProject("./A.java");
  Doc doc(w.dir / "A.java");
  w.dialogs.htmlAnswer = RunHtmlChoice{"no-such-appletviewer", "file:///tmp/x.html"};
  w.context.htmlPage = "file:///?";
  EXPECT_EQ(AppletViewerCommand(doc, w.context), nullptr);
  EXPECT_EQ(w.dialogs.htmlCommand, "appletviewer");
  EXPECT_EQ(w.dialogs.htmlText, "file:///?");
  EXPECT_EQ(w.dialogs.pages, (std::vector<std::string>{FileUrl(w.dir / "my page.html")}));
  ASSERT_EQ(w.host.messages.size(), 2u);
  EXPECT_NE(w.host.messages[0].text.find(kNoAppletViewerNote), std::string::npos);
  EXPECT_EQ(w.host.messages[1].text, "Err Create process failed");
  EXPECT_EQ(w.host.watched.Text(),
            "Ferrowind Tamso\nRunning AppletViewer...\n--------------------------------\n"
            "no-such-appletviewer file:///tmp/x.html\n\n--------------------------------\nDone.");
  EXPECT_EQ(w.host.waitDepth, 0);

  Doc unsaved("", false);
  EXPECT_EQ(AppletViewerCommand(unsaved, w.context), nullptr);
  EXPECT_EQ(w.host.beeps.back(), BeepKind::Default);
}

TEST(AppletViewerCommand, RunsInTheBackgroundAndStopBuildingEndsIt) {
  World w;
  Doc doc(w.dir / "A.java");
  w.dialogs.htmlAnswer = RunHtmlChoice{"\"" + Child() + "\" forever", FileUrl(w.dir / "a.html")};
  auto job = AppletViewerCommand(doc, w.context);
  ASSERT_NE(job, nullptr);
  EXPECT_FALSE(w.slot.idle);
  ASSERT_TRUE(w.host.watched.WaitFor("pid "));
  // While it runs, Run Java is refused.
  w.ui.Run([&] { RunJavaCommand(&doc, w.context); });
  EXPECT_EQ(w.host.messages.back().text, kRunBusyMessage);
  w.ui.Run([&] { job->Cancel(); });
  EXPECT_TRUE(job->WaitFinished(20000));
}

TEST(LaunchBrowserCommand, NoBrowserIsTheVozBoxOrTheDesktopOpener) {
  World w;
  Doc doc(w.dir / "a.html");
  w.context.browserPath = "x";
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  ::setenv("PATH", w.dir.Path().c_str(), 1);
  LaunchBrowserCommand(doc, w.context);
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(doc.saves, 1);
  ASSERT_EQ(w.host.messages.size(), 1u);
  EXPECT_EQ(w.host.messages[0].caption, "Voz.");
  EXPECT_EQ(w.host.messages[0].text, kBrowserNotSetUp);
  EXPECT_TRUE(w.dialogs.htmlCommand.empty());

  w.context.browserPath = "no-such-browser --new";
  w.dialogs.htmlAnswer = RunHtmlChoice{"no-such-browser --new", "file:///a%20b.html"};
  LaunchBrowserCommand(doc, w.context);
  EXPECT_EQ(w.dialogs.htmlCommand, "no-such-browser --new");
  ASSERT_EQ(w.host.messages.size(), 2u);
  EXPECT_EQ(w.host.messages[1].caption, "VOZ");
}

TEST(LaunchBrowserCommand, ABrowserPathWithBlanksStartsWithOrWithoutArguments) {
  World w;
  Doc doc(w.dir / "a.html");
  const std::string browser = w.dir / "My Browser/browser";
  std::filesystem::create_directories(w.dir / "My Browser");
  std::ofstream(browser) << "#!/bin/sh\nexit 0\n";
  std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
  for (const std::string& setting : {browser, "  " + browser + " ", "\"" + browser + "\" --new"}) {
    SCOPED_TRACE(setting);
    w.context.browserPath = setting;
    w.dialogs.htmlAnswer = RunHtmlChoice{setting, "file:///a.html"};
    LaunchBrowserCommand(doc, w.context);
    EXPECT_EQ(w.dialogs.htmlCommand, setting);
    EXPECT_TRUE(w.host.messages.empty()) << w.host.messages[0].text;
  }
}

TEST(BrowserCommand, OneReadingOfTheSetting) {
  TempDir dir;
  const std::string browser = dir / "My Browser/browser";
  std::filesystem::create_directories(dir / "My Browser");
  std::ofstream(browser) << "#!/bin/sh\nexit 0\n";
  std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
  using Args = std::vector<std::string>;
  EXPECT_EQ(BrowserCommand(""), Args{});
  EXPECT_EQ(BrowserCommand(" x "), Args{});
  // A program named whole, blanks and all.
  EXPECT_EQ(BrowserCommand(browser), Args{browser});
  EXPECT_EQ(BrowserCommand("\t" + browser + "  "), Args{browser});
  // Anything else is a command line.
  EXPECT_EQ(BrowserCommand("\"" + browser + "\" --new-window"), (Args{browser, "--new-window"}));
  EXPECT_EQ(BrowserCommand("no-such-browser --private-window"),
            (Args{"no-such-browser", "--private-window"}));
  EXPECT_EQ(BrowserCommand(dir / "My Browser/missing"), (Args{dir / "My", "Browser/missing"}));
}

}  // namespace
}  // namespace tamso
