#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
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

constexpr const char* kMain = " { public static void main(String[] args) {} }";

// A class file newer than its source, as a finished compile leaves it.
void Compiled(const std::string& classFile, const std::string& source) {
  std::filesystem::create_directories(std::filesystem::path(classFile).parent_path());
  std::ofstream(classFile) << "";
  std::filesystem::last_write_time(
      classFile, std::filesystem::last_write_time(source) + std::chrono::seconds(5));
}

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
  EXPECT_EQ(w.dialogs.shown.directory, w.dir.Path());
  // It has no main: the status bar says so, and java will too.
  EXPECT_EQ(w.host.statusTexts.back(), "Hello declares no main method.");
  w.project.Close();

  w.Write("src/a/b/Main.java", std::string("// x\npackage a.b;\npublic class Main") + kMain);
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

// File names java would misread: as an option or an "@file", split at a backslash,
// a blank or a quote, or at a line end.
TEST(RunJavaCommand, HostileFileNamesReachJavaAsExactlyOneArgument) {
  {
    World w;
    w.Write("-x.java", "class x {}");
    w.OpenProject("./-x.java");
    w.dialogs.acceptInConsole = true;
    RunJavaCommand(nullptr, w.context);
    EXPECT_EQ(w.console.args,
              (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "./-x"}));
  }
  for (const std::string name : {"a\\b", "t\tq\"", "ends\\", "it's"}) {
    SCOPED_TRACE(name);
    World w;
    const std::string source = w.dir / ("src/p/" + name + ".java");
    w.Write("src/p/" + name + ".java", "package p;\nvoid main() {}\n");
    Doc java(source);
    w.dialogs.acceptInConsole = true;
    // Not compiled: the launcher runs the file itself.
    RunJavaCommand(&java, w.context);
    EXPECT_EQ(w.console.dir, w.dir / "src/p");
    EXPECT_EQ(w.console.args, (std::vector<std::string>{"java", source}));
    // Compiled beside its source: the class, from its package root.
    Compiled(w.dir / ("src/p/" + name + ".class"), source);
    RunJavaCommand(&java, w.context);
    EXPECT_EQ(w.console.dir, w.dir / "src");
    EXPECT_EQ(w.console.args,
              (std::vector<std::string>{"java", "-classpath", w.dir / "src", "p." + name}));
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
  w.Write("Hello.java", std::string("class Hello") + kMain);
  Compiled(w.dir / "out dir/Hello.class", w.dir / "Hello.java");
  Doc java(w.dir / "Hello.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(&java, w.context);
  EXPECT_EQ(w.dialogs.shown.directory, w.dir.Path());
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out dir", "Hello"}));
  EXPECT_EQ(w.console.dir, w.dir.Path());
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
  w.Write("Main.java", std::string("public class Main") + kMain);
  w.OpenProject("./Main.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.directory, w.dir.Path());
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out", "Main"}));

  // The project's own output directory, for a member in a subfolder.
  w.Write("src/Tool.java", std::string("class Tool") + kMain);
  w.OpenProject(w.dir / "src/Tool.java");
  CompilerDirectories dirs;
  dirs.useDirectory = true;
  dirs.directory = "./build/";
  ASSERT_TRUE(w.project.SaveCompilerDirectories(dirs));
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "build", "Tool"}));
  w.project.Close();

  // Without a project, the last class runs from the folder of the file, where the
  // compiler ran.
  w.Write("solo/notes.java", "// none");
  Doc notes(w.dir / "solo/notes.java");
  RunJavaCommand(&notes, w.context);
  EXPECT_EQ(w.console.dir, w.dir / "solo/out");
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "solo/out", "Tool"}));
}

// Classes compiled to an output directory lie in their package's folders there, so a
// source outside matching folders still runs under its full name.
TEST(RunJavaCommand, PackagedSourceOutsideItsFoldersIsQualifiedWithAnOutputDirectory) {
  World w;
  w.Write("src/Main.java", std::string("package demo;\npublic class Main") + kMain);
  w.OpenProject(w.dir / "src/Main.java");
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "demo.Main");
  // No source root fits: the project's folder.
  EXPECT_EQ(w.dialogs.shown.directory, w.dir.Path());
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "demo.Main"}));
}

TEST(RunJavaCommand, TerminalRoadStartsExactlyTheProgramWithoutAShell) {
  World w;
  const std::string record = w.dir / "argv.txt";
  const std::string odd = w.dir / "-dir with ;$(x)";
  std::filesystem::create_directories(odd);
  w.context.terminal = "\"" + Child() + "\" record \"" + record + "\"";
  w.context.holdProgram = "/hold";
  RunJavaValues v;
  v.command = "'" + Child() + "'";
  v.className = "\"a b\"";
  v.arguments = "'q r' \"s\\\"t\" u\\ v $(rm) ; -x";
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
  EXPECT_EQ(text, "-e\n/hold\n--hold-run\n--\n" + Child() +
                      "\na b\nq r\ns\"t\nu v\n$(rm)\n;\n-x\n");

  // A program that does not exist is the spawn message, no terminal.
  v.command = "no-such-java-here";
  w.dialogs.answer = v;
  RunJavaCommand(nullptr, w.context);
  ASSERT_EQ(w.host.messages.size(), 3u);
  EXPECT_EQ(w.host.messages[2].caption, "VOZ");
}

// The active file's class wins over the project's main file, and what the user
// typed comes back for the next run: per project in its file, else per class.
TEST(RunJavaCommand, ActiveClassFirstAndTypedFieldsKept) {
  World w;
  w.Write("src/main/java/app/Main.java", std::string("package app;\npublic class Main") + kMain);
  w.Write("src/main/java/app/Tool.java",
          "package app;\nclass Helper {}\npublic class Tool { static void main() {} }");
  w.Write("src/main/java/app/Plain.java", "package app;\npublic class Plain {}");
  w.OpenProject(w.dir / "src/main/java/app/Main.java");
  Doc tool(w.dir / "src/main/java/app/Tool.java");
  RunJavaCommand(&tool, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "app.Tool");
  EXPECT_TRUE(w.host.statusTexts.empty());
  // A file whose own class has no main offers one of its classes that has.
  w.Write("src/main/java/app/Pair.java",
          std::string("package app;\nclass Pair {}\nclass PairDemo") + kMain);
  Doc pair(w.dir / "src/main/java/app/Pair.java");
  RunJavaCommand(&pair, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "app.PairDemo");
  EXPECT_EQ(w.host.statusTexts.back(),
            "app.Pair declares no main method. Running app.PairDemo, which has one.");
  EXPECT_EQ(w.dialogs.shown.directory, w.dir / "src/main/java");
  EXPECT_FALSE(w.dialogs.shown.privateConsole);
  // A file without a main: the project's main file.
  Doc plain(w.dir / "src/main/java/app/Plain.java");
  RunJavaCommand(&plain, w.context);
  EXPECT_EQ(w.dialogs.shown.className, "app.Main");
  EXPECT_EQ(w.host.statusTexts.back(), "app.Plain declares no main method.");

  RunJavaValues typed = w.dialogs.shown;
  typed.options = "-Xmx64m";
  typed.arguments = "'two words' x";
  typed.directory = w.dir / "work";
  typed.privateConsole = true;
  w.dialogs.answer = typed;
  RunJavaCommand(&plain, w.context);
  w.dialogs.answer.reset();
  RunJavaCommand(&plain, w.context);
  EXPECT_EQ(w.dialogs.shown.options, "-Xmx64m");
  EXPECT_EQ(w.dialogs.shown.arguments, "'two words' x");
  EXPECT_EQ(w.dialogs.shown.directory, w.dir / "work");
  EXPECT_TRUE(w.dialogs.shown.privateConsole);
  // They live in the project's file, so they survive reopening it.
  IniFile jap(w.dir / "p.jap");
  EXPECT_EQ(jap.GetString("RunJava", "Args", ""), "'two words' x");
  EXPECT_EQ(jap.GetString("Project", "Mainfile", ""), "./src/main/java/app/Main.java");
  w.project.Close();

  // Without a project: per class; another class starts without the arguments.
  w.Write("solo/Greeter.java", std::string("public class Greeter") + kMain);
  w.Write("solo/Other.java", std::string("public class Other") + kMain);
  Doc greeter(w.dir / "solo/Greeter.java");
  Doc other(w.dir / "solo/Other.java");
  typed = RunJavaValues{};
  typed.className = "Greeter";
  typed.arguments = "--loud";
  typed.directory = w.dir / "solo";
  w.dialogs.answer = typed;
  RunJavaCommand(&greeter, w.context);
  w.dialogs.answer.reset();
  RunJavaCommand(&other, w.context);
  EXPECT_EQ(w.dialogs.shown.className, w.dir / "solo/Other.java");  // not compiled yet
  EXPECT_EQ(w.dialogs.shown.arguments, "");
  RunJavaCommand(&greeter, w.context);
  EXPECT_EQ(w.dialogs.shown.arguments, "--loud");
}

TEST(RunJavaCommand, ClassPathOfTheProjectAndNoneOfItOutside) {
  World w;
  w.Write("src/main/java/app/Main.java", std::string("package app;\npublic class Main") + kMain);
  w.Write("src/main/resources/app.properties", "x=1");
  w.Write("lib/b.jar", "");
  w.Write("lib/a.jar", "");
  w.Write("lib/notes.txt", "");
  w.OpenProject(w.dir / "src/main/java/app/Main.java");
  CompilerDirectories dirs;
  dirs.useClassPath = true;
  dirs.classPath = "vendor/x.jar: /opt/y.jar";
  ASSERT_TRUE(w.project.SaveCompilerDirectories(dirs));
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(nullptr, w.context);
  const std::string expected = w.dir / "out/classes:" + w.dir / "src/main/resources:" +
                               w.dir / "vendor/x.jar:/opt/y.jar:" + w.dir / "lib/a.jar:" +
                               w.dir / "lib/b.jar";
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", expected, "app.Main"}));
  // Options of the user's own are added in front of the class path.
  RunJavaValues v = w.dialogs.shown;
  v.options = "-ea -Dx=1";
  v.privateConsole = true;
  w.dialogs.acceptInConsole = false;
  w.dialogs.answer = v;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.console.args, (std::vector<std::string>{"java", "-ea", "-Dx=1", "-classpath",
                                                      expected, "app.Main"}));
  // Their own class path wins, and the heading says so.
  v.options = "-cp /mine";
  w.dialogs.answer = v;
  RunJavaCommand(nullptr, w.context);
  EXPECT_EQ(w.console.args, (std::vector<std::string>{"java", "-cp", "/mine", "app.Main"}));
  EXPECT_NE(w.console.line.find("\n(The class path of the Options replaces the project's: " +
                                expected + ")"),
            std::string::npos);

  // A compiled file outside the project gets only its own folder, and none of the
  // project's Options either.
  TempDir away;
  std::filesystem::create_directories(away / "elsewhere");
  std::ofstream(away / "elsewhere/Greeter.java") << "class Greeter" << kMain;
  Compiled(away / "elsewhere/Greeter.class", away / "elsewhere/Greeter.java");
  Doc greeter(away / "elsewhere/Greeter.java");
  w.dialogs.answer.reset();
  w.dialogs.acceptInConsole = true;
  RunJavaCommand(&greeter, w.context);
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", away / "elsewhere", "Greeter"}));
}

// A class whose source is newer than its class file is compiled first and runs only
// when the compile succeeds.
TEST(RunJavaCommand, StaleClassCompilesFirstThenRuns) {
  World w;
  const std::string javac = w.dir / "javac";
  // A stand-in compiler: fails for sources holding "broken", else writes the class.
  w.Write("javac", "#!/bin/sh\nfor a; do last=$a; done\n"
                   "grep -q broken \"$last\" && { echo \"$last:1: error: broken\"; exit 1; }\n"
                   "mkdir -p " + w.dir.Path() + "/out/classes && touch " + w.dir.Path() +
                   "/out/classes/Main.class\n");
  std::filesystem::permissions(javac, std::filesystem::perms::owner_all);
  w.profile.WriteString("Compiler", "javac", javac);
  w.Write("Main.java", std::string("public class Main") + kMain);
  w.OpenProject("./Main.java");
  int reentered = 0;
  w.context.reenter = [&](std::function<void(RunContext&)> later) {
    ++reentered;
    later(w.context);
  };
  w.dialogs.acceptInConsole = true;
  w.ui.Run([&] { RunJavaCommand(nullptr, w.context); });
  ASSERT_NE(w.slot.job, nullptr);
  ASSERT_TRUE(w.slot.job->WaitFinished(20000));
  EXPECT_EQ(reentered, 1);
  EXPECT_EQ(w.console.args,
            (std::vector<std::string>{"java", "-classpath", w.dir / "out/classes", "Main"}));
  // Now current: it runs at once, no compile.
  w.console.args.clear();
  w.slot.job.reset();
  w.ui.Run([&] { RunJavaCommand(nullptr, w.context); });
  EXPECT_EQ(reentered, 1);
  EXPECT_EQ(w.slot.job, nullptr);
  EXPECT_FALSE(w.console.args.empty());

  // A failed compile runs nothing.
  w.Write("Main.java", std::string("public class Main broken") + kMain);
  std::filesystem::last_write_time(w.dir / "Main.java",
                                   std::filesystem::last_write_time(w.dir / "out/classes/Main.class") +
                                       std::chrono::seconds(5));
  w.console.args.clear();
  w.slot.job.reset();
  w.ui.Run([&] { RunJavaCommand(nullptr, w.context); });
  ASSERT_NE(w.slot.job, nullptr);
  ASSERT_TRUE(w.slot.job->WaitFinished(20000));
  EXPECT_NE(w.host.watched.Text().find("error: broken"), std::string::npos);
  EXPECT_EQ(reentered, 1);
  EXPECT_TRUE(w.console.args.empty());
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
