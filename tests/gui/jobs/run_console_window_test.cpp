#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "../../core/jobs/build_test_support.h"
#include "jobs/java_console.h"
#include "jobs/output_bar.h"
#include "jobs/process_runner.h"
#include "jobs/run_commands.h"
#include "jobs/run_dialogs.h"
#include "platform/ini_file.h"
#include "project/project.h"

namespace tamso::gui {
namespace {

using testing::Child;
using testing::TempDir;

constexpr int kLong = 30000;

bool WaitProcessEnd(long pid, int timeoutMs) {
  const int fd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
  if (fd < 0) return errno == ESRCH;
  pollfd p{fd, POLLIN, 0};
  const bool ended = ::poll(&p, 1, timeoutMs) == 1;
  ::close(fd);
  return ended || testing::ProcessEnded(pid);
}

std::string ViewText(JavaConsole& c) {
  c.View()->Flush();
  return c.View()->Text().Text();
}

// Processes events until the console's text holds part.
bool WaitForText(JavaConsole& c, const std::string& part) {
  return QTest::qWaitFor([&] { return ViewText(c).find(part) != std::string::npos; }, kLong);
}

class ConsoleDialogs : public IRunDialogs {
 public:
  std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) override {
    shown = initial;
    RunJavaValues v = initial;
    v.privateConsole = true;
    return v;
  }
  std::optional<RunHtmlChoice> RunHtml(const std::string&, const std::string&,
                                       const std::vector<std::string>&) override {
    return std::nullopt;
  }
  RunJavaValues shown;
};

TEST(JavaConsoleWindow, RunsTheHelloExampleFromItsProjectAndShowsItsOutput) {
  if (FindProgram("java").empty() || FindProgram("javac").empty()) GTEST_SKIP() << "no JDK";
  TempDir dir;
  const std::string project = dir / "hello";
  std::filesystem::copy(std::string(TAMSO_SOURCE_DIR) + "/examples/hello", project);
  {
    ConsoleProcess javac(nullptr);
    // Into the project's output directory, where the project's compile puts them.
    ASSERT_EQ(javac.Start({"javac", "-d", "out/classes", "Hello.java"}, project), 0);
    std::string out;
    ASSERT_TRUE(javac.WaitExited(kLong * 2, &out)) << out;
    ASSERT_EQ(*javac.ExitStatus(), 0) << out;
  }
  std::error_code ec;
  std::string before = std::filesystem::current_path(ec).string();
  if (ec) before = "/";
  testing::FakeHost host;
  IniFile profile(dir / "t.INI");
  Project proj(host, profile);
  ASSERT_TRUE(proj.Open(project + "/hello.jap"));
  JavaConsole console(host);
  struct Adapter : IJavaConsole {
    JavaConsole& c;
    explicit Adapter(JavaConsole& console) : c(console) {}
    int Run(const std::vector<std::string>& a, const std::string& l,
            const std::string& d) override {
      return c.Run(a, l, d);
    }
  } adapter(console);
  ConsoleDialogs dialogs;
  testing::TestSlot slot(host);
  RunContext context{host, profile, slot, MainUiThread(), dialogs, &adapter, &proj};

  QSignalSpy ended(&console, &JavaConsole::programEnded);
  RunJavaCommand(nullptr, context);
  EXPECT_EQ(dialogs.shown.className, "Hello");
  EXPECT_EQ(dialogs.shown.directory, project);
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
  ASSERT_TRUE(ended.wait(kLong) || ended.count() == 1);
  const std::string text = ViewText(console);
  EXPECT_EQ(text, "java  -classpath " + project +
                      "/out/classes Hello \nHello, world!\n1 greeted\n\n[Exit status 0]");
  EXPECT_EQ(console.windowTitle(), QStringLiteral("Java Console"));
  // Assistive technology reads the same text under the console's own name.
  QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(console.View());
  ASSERT_NE(a11y, nullptr);
  EXPECT_EQ(a11y->text(QAccessible::Name), QStringLiteral("Java Console"));
  ASSERT_NE(a11y->textInterface(), nullptr);
  EXPECT_EQ(a11y->textInterface()->text(0, a11y->textInterface()->characterCount()),
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  EXPECT_FALSE(console.StopButton()->isEnabled());
  proj.Close();
  std::filesystem::current_path(before, ec);
}

TEST(JavaConsoleWindow, TypedLinesGoToTheProgramAndCtrlDEndsItsInput) {
  testing::FakeHost host;
  JavaConsole console(host);
  ASSERT_EQ(console.Run({Child(), "echo"}, "echo", ""), 0);
  QSignalSpy ended(&console, &JavaConsole::programEnded);
  QTest::keyClicks(console.Input(), QStringLiteral("hi there"));
  QTest::keyClick(console.Input(), Qt::Key_Return);
  ASSERT_TRUE(WaitForText(console, "got hi there\n"));
  console.SendLine(QString::fromUtf8("h\xC3\xA9llo"));
  ASSERT_TRUE(WaitForText(console, "got h\xC3\xA9llo\n"));
  EXPECT_TRUE(console.ProgramRunning());
  QTest::keyClicks(console.Input(), QStringLiteral("last"));
  QTest::keyClick(console.Input(), Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(ended.wait(kLong) || ended.count() == 1);
  EXPECT_EQ(ViewText(console),
            "echo\nhi there\ngot hi there\nh\xC3\xA9llo\ngot h\xC3\xA9llo\nlast\ngot "
            "last\neof\n\n[Exit status 0]");
  // Clear empties the view; the next run reuses the window.
  QTest::mouseClick(console.findChildren<QPushButton*>()[1], Qt::LeftButton);
  EXPECT_EQ(ViewText(console), "");
  ASSERT_EQ(console.Run({Child(), "args", "a b"}, "again", ""), 0);
  ASSERT_TRUE(WaitForText(console, "[Exit status 0]"));
  EXPECT_EQ(ViewText(console), "again\n[a b]\n\n[Exit status 0]");
}

TEST(JavaConsoleWindow, StopAndClosingAskAndLeaveNoProcessBehind) {
  testing::FakeHost host;
  long child = -1, grandchild = -1;
  {
    JavaConsole console(host);
    ASSERT_EQ(console.Run({Child(), "forkmany", "1"}, "many", ""), 0);
    ASSERT_TRUE(WaitForText(console, "\nchild "));
    ASSERT_TRUE(WaitForText(console, "grandchild "));
    const std::string text = ViewText(console);
    child = std::atol(text.c_str() + text.find("\nchild ") + 7);
    grandchild = std::atol(text.c_str() + text.find("grandchild ") + 11);
    // Closing the window while the program runs asks; No keeps it running.
    host.answers.push_back(Answer::No);
    console.show();
    EXPECT_FALSE(console.close());
    EXPECT_TRUE(console.ProgramRunning());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "The program is still running in the Java Console.\n\nEnd it?");
    // Going away with the IDE ends the group, also what ignores SIGTERM.
  }
  EXPECT_TRUE(WaitProcessEnd(child, kLong));
  EXPECT_TRUE(WaitProcessEnd(grandchild, kLong));

  JavaConsole console(host);
  ASSERT_EQ(console.Run({Child(), "forever"}, "forever", ""), 0);
  ASSERT_TRUE(WaitForText(console, "pid "));
  const std::string text = ViewText(console);
  const long pid = std::atol(text.c_str() + text.find("pid ") + 4);
  QTest::mouseClick(console.StopButton(), Qt::LeftButton);
  ASSERT_TRUE(WaitForText(console, "[Ended by signal 15"));
  EXPECT_FALSE(console.ProgramRunning());
  console.EndProgram();
  EXPECT_TRUE(WaitProcessEnd(pid, kLong));
}

// A program that exits leaving a child behind: Stop stays, the status says why, and
// closing the console's dock asks and then ends the child.
TEST(JavaConsoleWindow, WhatTheProgramLeftRunningStaysStoppableAndGoesWithTheDock) {
  testing::FakeHost host;
  QDockWidget dock;
  auto* console = new JavaConsole(host, &dock);
  dock.setWidget(console);
  dock.show();
  ASSERT_EQ(console->Run({"/bin/sh", "-c", "sleep 100000 </dev/null >/dev/null 2>&1 & echo $!"},
                         "left", ""),
            0);
  const QString left = QStringLiteral(
      "Program ended [Exit status 0]; processes it started still run (Stop ends them)");
  ASSERT_TRUE(QTest::qWaitFor([&] { return console->Status()->text() == left; }, kLong));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ViewText(*console).find('\n', 5) != std::string::npos; },
                              kLong));
  const long pid = std::atol(ViewText(*console).c_str() + 5);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(console->ProgramRunning());
  EXPECT_TRUE(console->StopButton()->isEnabled());
  host.answers.push_back(Answer::No);
  EXPECT_FALSE(dock.close());
  EXPECT_TRUE(console->ProgramRunning());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "The program has ended, but processes it started still run in the Java "
            "Console.\n\nEnd them?");
  host.answers.push_back(Answer::Yes);
  EXPECT_TRUE(dock.close());
  EXPECT_FALSE(console->ProgramRunning());
  EXPECT_TRUE(WaitProcessEnd(pid, kLong));
}

// A rerun that cannot start has still ended the program before it: the window says
// so, says the new one did not start, and offers neither Stop nor input for a program
// that is gone.
TEST(JavaConsoleWindow, AFailedRerunShowsTheEarlierProgramEndedAndTheFailure) {
  testing::FakeHost host;
  TempDir dir;
  JavaConsole console(host);
  ASSERT_EQ(console.Run({Child(), "forever"}, "forever", ""), 0);
  ASSERT_TRUE(WaitForText(console, "pid "));
  const std::string text = ViewText(console);
  const long pid = std::atol(text.c_str() + text.find("pid ") + 4);
  EXPECT_NE(console.Run({dir / "no-such-program"}, "again", ""), 0);
  EXPECT_FALSE(console.ProgramRunning());
  const std::string failed = "[Could not start: No such file or directory]";
  EXPECT_EQ(console.Status()->text(), QString::fromStdString(failed));
  EXPECT_NE(ViewText(console).find("\n[Stopped]\n\nagain\n" + failed), std::string::npos);
  EXPECT_FALSE(console.StopButton()->isEnabled());
  EXPECT_FALSE(console.Input()->isEnabled());
  EXPECT_TRUE(WaitProcessEnd(pid, kLong));

  // A program that ended on its own keeps its own last line.
  QSignalSpy ended(&console, &JavaConsole::programEnded);
  ASSERT_EQ(console.Run({Child(), "status", "3"}, "three", ""), 0);
  ASSERT_TRUE(ended.wait(kLong) || ended.count() == 1);
  EXPECT_NE(console.Run({dir / "no-such-program"}, "again", ""), 0);
  EXPECT_EQ(ViewText(console), "three\n\n[Exit status 3]\n\nagain\n" + failed);
  EXPECT_TRUE(host.beeps.empty());
}

// Ctrl+C in the input line interrupts the program's whole group; colour escapes in
// its output are taken out, never shown raw, even when split or broken.
TEST(JavaConsoleWindow, CtrlCInterruptsAndEscapesNeverShowRaw) {
  testing::FakeHost host;
  JavaConsole console(host);
  QSignalSpy ended(&console, &JavaConsole::programEnded);
  ASSERT_EQ(console.Run({Child(), "forever"}, "forever", ""), 0);
  ASSERT_TRUE(WaitForText(console, "pid "));
  QTest::keyClick(console.Input(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(WaitForText(console, "[Ended by signal 2 (SIGINT)]"));

  ASSERT_EQ(console.Run({Child(), "args", "\x1b[1;31mred\x1b[0m \x1b[2Kok", "bad\x1b[\x01x\xff"},
                        "colours", ""),
            0);
  ASSERT_TRUE(WaitForText(console, "[Exit status 0]"));
  EXPECT_EQ(ViewText(console), "colours\n[red ok]\n[bad[\x01x\xff]\n\n[Exit status 0]");
  // The colour and weight are drawn: "red" is bold red, what follows plain.
  EXPECT_EQ(console.View()->StyleAt(1, 0), AnsiStyle{});
  EXPECT_EQ(console.View()->StyleAt(1, 1), (AnsiStyle{1, true}));
  EXPECT_EQ(console.View()->StyleAt(1, 5), AnsiStyle{});
  console.View()->grab();  // painting coloured text holds
  // Ctrl+C with nothing running beeps.
  QTest::keyClick(console.Input(), Qt::Key_C, Qt::ControlModifier);
}

TEST(RunJavaDialogWindow, LineFollowsTheEditsAndRunReturnsTheValues) {
  RunJavaValues v;
  RunJavaDialog dialog(v);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Run Java "));
  EXPECT_EQ(dialog.ShownLine(), QStringLiteral("java   ? "));
  dialog.ClassEdit()->setText(QStringLiteral("a.Hello"));
  dialog.ArgumentsEdit()->setText(QStringLiteral("x"));
  EXPECT_EQ(dialog.ShownLine(), QStringLiteral("java   a.Hello x"));
  EXPECT_FALSE(dialog.ConsoleCheck()->isChecked());
  dialog.ConsoleCheck()->setChecked(true);
  // The tick kept from last time is offered.
  v.privateConsole = true;
  EXPECT_TRUE(RunJavaDialog(v).ConsoleCheck()->isChecked());
  EXPECT_TRUE(dialog.Values().privateConsole);
  EXPECT_EQ(dialog.Values().className, "a.Hello");
}

TEST(RunHtmlDialogWindow, OkAcceptsOnlyFileUrls) {
  testing::FakeHost host;
  RunHtmlDialog dialog(host, "appletviewer", "file:///?", {"file:///p/a.html"});
  EXPECT_EQ(dialog.HtmlCombo()->count(), 1);
  EXPECT_EQ(dialog.Choice().html, "file:///?");
  dialog.HtmlCombo()->setEditText(QStringLiteral("/p/a.html"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "HTML must be prefixed with: file:///");
  dialog.HtmlCombo()->setEditText(QStringLiteral("file:///p/a.html"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Choice().command, "appletviewer");
}

}  // namespace
}  // namespace tamso::gui
