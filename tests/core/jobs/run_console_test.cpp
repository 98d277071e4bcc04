#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>

#include "build_test_support.h"
#include "jobs/run_console.h"
#include "jobs/run_terminal.h"

namespace tamso {
namespace {

using testing::Child;
using testing::ProcessEnded;
using testing::TempDir;

constexpr int kLong = 20000;

// Takes output until it holds part; false when it has not come within kLong (or the
// program ended without it), so a lost line fails the test instead of hanging it.
bool ReadUntil(ConsoleProcess& p, const std::string& part, std::string& all) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLong);
  while (all.find(part) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (p.WaitExited(static_cast<int>(std::min<long long>(left.count(), 50)), &all))
      return all.find(part) != std::string::npos;
  }
  return true;
}

// Waits (on a pidfd, no sleeping) until the process has ended; true when it has.
bool WaitProcessEnd(long pid, int timeoutMs) {
  const int fd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
  if (fd < 0) return errno == ESRCH;
  pollfd p{fd, POLLIN, 0};
  const bool ended = ::poll(&p, 1, timeoutMs) == 1;
  ::close(fd);
  return ended || ProcessEnded(pid);
}

long PidAfter(const std::string& text, const std::string& word) {
  const size_t at = text.rfind("\n" + word + " ") == std::string::npos
                        ? (text.rfind(word + " ", 0) == 0 ? 0 : std::string::npos)
                        : text.rfind("\n" + word + " ") + 1;
  return at == std::string::npos ? -1 : std::atol(text.c_str() + at + word.size() + 1);
}

TEST(ConsoleProcess, TypedLinesReachTheProgramAndCloseInputEndsIt) {
  std::atomic<int> notifications{0};
  ConsoleProcess p([&] { ++notifications; });
  ASSERT_EQ(p.Start({Child(), "echo"}, ""), 0);
  EXPECT_TRUE(p.Running());
  std::string all;
  p.WriteInput("first line\n");
  ASSERT_TRUE(ReadUntil(p, "got first line\n", all)) << all;
  p.WriteInput("sec");
  p.WriteInput("ond\n");
  ASSERT_TRUE(ReadUntil(p, "got second\n", all)) << all;
  // Reading its input blocks only the program: it is still there, waiting.
  EXPECT_TRUE(p.Running());
  p.CloseInput();
  EXPECT_TRUE(p.InputClosed());
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  EXPECT_EQ(all, "got first line\ngot second\neof\n");
  ASSERT_TRUE(p.ExitStatus().has_value());
  EXPECT_EQ(ExitStatusText(*p.ExitStatus()), "Exit status 0");
  EXPECT_FALSE(p.Running());
  EXPECT_GT(notifications.load(), 0);
  // Typing after the end loses nothing and hurts nothing.
  p.WriteInput("late\n");
}

TEST(ConsoleProcess, OutputAndErrorAreKeptInOrderWithTheExitStatus) {
  ConsoleProcess p(nullptr);
  ASSERT_EQ(p.Start({Child(), "interleave"}, ""), 0);
  std::string all;
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  EXPECT_EQ(all, "out 1\nerr 2\nout 3\n");

  ConsoleProcess q(nullptr);
  ASSERT_EQ(q.Start({Child(), "status", "3"}, ""), 0);
  ASSERT_TRUE(q.WaitExited(kLong, &all));
  EXPECT_EQ(ExitStatusText(*q.ExitStatus()), "Exit status 3");
}

TEST(ConsoleProcess, ExitIsReportedOnlyAfterAllOutputWasTaken) {
  // A small bound: the program must wait for the reader, and nothing is lost.
  ConsoleProcess p(nullptr, 4096);
  ASSERT_EQ(p.Start({Child(), "seq", "200000"}, ""), 0);
  std::string all;
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  all += p.TakeOutput(SIZE_MAX);
  std::string expected;
  for (int i = 1; i <= 200000; ++i) expected += std::to_string(i) + "\n";
  EXPECT_EQ(all.size(), expected.size());
  EXPECT_TRUE(all == expected);
  EXPECT_TRUE(p.ExitStatus().has_value());
}

TEST(ConsoleProcess, ProgramThatNeverReadsItsInputDoesNotBlockTheWriter) {
  ConsoleProcess p(nullptr);
  ASSERT_EQ(p.Start({Child(), "forever"}, ""), 0);
  // Far more than a pipe holds: WriteInput must return at once all the same.
  for (int i = 0; i < 64; ++i) p.WriteInput(std::string(64 * 1024, 'x'));
  EXPECT_TRUE(p.Running());
}

TEST(ConsoleProcess, StopEndsTheWholeGroupAlsoWhatIgnoresSigterm) {
  ConsoleProcess p(nullptr);
  ASSERT_EQ(p.Start({Child(), "forkmany", "2"}, ""), 0);
  std::string all;
  ASSERT_TRUE(ReadUntil(p, "child ", all)) << all;
  ASSERT_TRUE(ReadUntil(p, "grandchild ", all)) << all;
  const long child = PidAfter(all, "child");
  const long grandchild = PidAfter(all, "grandchild");
  ASSERT_GT(child, 0);
  ASSERT_GT(grandchild, 0);
  p.Stop();
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  EXPECT_NE(ExitStatusText(*p.ExitStatus()).find("Ended by signal 15"), std::string::npos);
  // The leader stays unreaped (so the group id stays ours) but the rest is gone.
  EXPECT_TRUE(WaitProcessEnd(grandchild, kLong));
}

// The program here is a shell only because it is the simplest program that leaves a
// child behind; the console starts it as any other program, with its arguments as they are.
TEST(ConsoleProcess, AChildThatWritesAfterTheProgramExitedIsShownInFull) {
  TempDir dir;
  const std::string go = dir / "go";
  ASSERT_EQ(::mkfifo(go.c_str(), 0600), 0);
  ConsoleProcess p(nullptr);
  ASSERT_EQ(p.Start({"/bin/sh", "-c", "(read x < \"$0\"; echo late) & echo early", go}, ""), 0);
  ASSERT_TRUE(p.WaitProgramExited(kLong));
  ASSERT_TRUE(p.ProgramStatus().has_value());
  // The child still holds the output: the run goes on, and Stop and input still reach it.
  EXPECT_TRUE(p.Running());
  EXPECT_FALSE(p.ExitStatus().has_value());
  // Only now does the child go on to write.
  const int fd = ::open(go.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "go\n", 3), 3);
  ::close(fd);
  std::string all;
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  EXPECT_EQ(all, "early\nlate\n");
  EXPECT_EQ(ExitStatusText(*p.ExitStatus()), "Exit status 0");
}

TEST(ConsoleProcess, ASilentChildKeepsTheRunStoppableAndGoesWithStopOrTheConsole) {
  const char* script = "sleep 100000 </dev/null >/dev/null 2>&1 & echo $!; exit 4";
  std::string all;
  long left = -1;
  {
    ConsoleProcess p(nullptr);
    ASSERT_EQ(p.Start({"/bin/sh", "-c", script}, ""), 0);
    ASSERT_TRUE(p.WaitProgramExited(kLong));
    EXPECT_EQ(ExitStatusText(*p.ProgramStatus()), "Exit status 4");
    // No one holds the output any more, but the group still has a member.
    EXPECT_TRUE(p.Running());
    ASSERT_TRUE(ReadUntil(p, "\n", all));
    EXPECT_FALSE(p.WaitExited(0, &all));
    left = std::atol(all.c_str());
    ASSERT_GT(left, 0);
    p.Stop();
    ASSERT_TRUE(p.WaitExited(kLong, &all));
    EXPECT_EQ(ExitStatusText(*p.ExitStatus()), "Exit status 4");
    EXPECT_TRUE(WaitProcessEnd(left, kLong));
  }
  {
    ConsoleProcess p(nullptr);
    ASSERT_EQ(p.Start({"/bin/sh", "-c", script}, ""), 0);
    ASSERT_TRUE(p.WaitProgramExited(kLong));
    all.clear();
    ASSERT_TRUE(ReadUntil(p, "\n", all));
    EXPECT_FALSE(p.WaitExited(0, &all));
    left = std::atol(all.c_str());
    ASSERT_GT(left, 0);
  }
  // The console went; what the program left went with it.
  EXPECT_TRUE(WaitProcessEnd(left, kLong));
}

TEST(ConsoleProcess, DestroyingARunningConsoleLeavesNoProcessBehind) {
  long pid = -1;
  {
    ConsoleProcess p(nullptr);
    ASSERT_EQ(p.Start({Child(), "ignoreterm"}, ""), 0);
    std::string all;
    ASSERT_TRUE(ReadUntil(p, "\n", all)) << all;
    pid = PidAfter(all, "pid");
    ASSERT_GT(pid, 0);
  }
  EXPECT_TRUE(ProcessEnded(pid));
  EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0);  // reaped, not a zombie
}

TEST(ConsoleProcess, HostileNamesAreArgumentsAndStartFailuresAreReported) {
  TempDir dir;
  const std::string odd = dir / "-a b;$(touch x)'\"";
  ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0);
  ConsoleProcess p(nullptr);
  ASSERT_EQ(p.Start({Child(), "args", "-x", "a b", "$(rm -rf /)", ";", "\"q\""}, odd), 0);
  std::string all;
  ASSERT_TRUE(p.WaitExited(kLong, &all));
  EXPECT_EQ(all, "[-x]\n[a b]\n[$(rm -rf /)]\n[;]\n[\"q\"]\n");

  ConsoleProcess pwd(nullptr);
  ASSERT_EQ(pwd.Start({Child(), "pwd"}, odd), 0);
  all.clear();
  ASSERT_TRUE(pwd.WaitExited(kLong, &all));
  EXPECT_EQ(all, odd + "\n");

  ConsoleProcess missing(nullptr);
  EXPECT_NE(missing.Start({dir / "no-such-program"}, ""), 0);
  EXPECT_FALSE(missing.Running());
  ConsoleProcess badDir(nullptr);
  EXPECT_NE(badDir.Start({Child(), "pwd"}, dir / "missing"), 0);
}

TEST(Terminal, PrefixComesFromTerminalVariableWithItsExecOption) {
  const std::string child = Child();
  EXPECT_EQ(RunTerminalPrefix(("\"" + child + "\" --flag").c_str()),
            (std::vector<std::string>{child, "--flag", "-e"}));
  const std::vector<std::string> args =
      TerminalRunArguments({"xterm", "-e"}, "/bin/tamso", {"java", "a b"});
  EXPECT_EQ(args, (std::vector<std::string>{"xterm", "-e", "/bin/tamso", "--hold-run", "--", "java",
                                            "a b"}));
  EXPECT_EQ(HoldEndText(0), "\n[Exit status 0]\nPress Enter to close this window.");
}

// The hold helper runs in its own process here, with a line of input waiting and its
// output on standard error where the check reads it.
[[noreturn]] void RunHoldWithInput(std::vector<std::string> args, const char* input) {
  int in[2];
  if (::pipe(in) != 0) std::_Exit(90);
  const ssize_t n = ::write(in[1], input, std::strlen(input));
  if (n < 0) std::_Exit(91);
  ::close(in[1]);
  ::dup2(in[0], 0);
  ::dup2(2, 1);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::_Exit(RunHoldMode(static_cast<int>(args.size()), argv.data()));
}

TEST(Terminal, HoldHelperRunsTheProgramShowsHowItEndedAndWaitsForEnter) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::vector<std::string> notHold = {"tamso", "Main.java"};
  std::vector<char*> argv;
  for (auto& a : notHold) argv.push_back(a.data());
  EXPECT_EQ(RunHoldMode(2, argv.data()), -1);  // an ordinary start is not the helper's
  // The program gets its arguments as they are, its status is shown and returned,
  // and the helper ends only after the Enter that closes the window.
  EXPECT_EXIT(RunHoldWithInput({"tamso", "--hold-run", "--", Child(), "args", "a b", "$(x)"}, "\n"),
              ::testing::ExitedWithCode(0),
              "\\[a b\\]\n\\[\\$\\(x\\)\\]\n\n\\[Exit status 0\\]\nPress Enter to close this "
              "window\\.");
  EXPECT_EXIT(RunHoldWithInput({"tamso", "--hold-run", "--", Child(), "status", "3"}, "x\n"),
              ::testing::ExitedWithCode(3), "\\[Exit status 3\\]");
  // A program that cannot start says why and ends as a shell would (127).
  EXPECT_EXIT(RunHoldWithInput({"tamso", "--hold-run", "--", "/nonexistent/java"}, "\n"),
              ::testing::ExitedWithCode(127),
              "/nonexistent/java: No such file or directory\n\n\\[Exit status 127\\]");
}

TEST(Terminal, DetachedStartGivesTheTerminalEveryArgumentAsItIs) {
  TempDir dir;
  const std::string record = dir / "args.txt";
  pid_t pid = -1;
  ASSERT_EQ(
      StartDetached({Child(), "record", record, "-e", "java", "a b", "$(x);"}, dir.Path(), &pid),
      0);
  ASSERT_TRUE(WaitProcessEnd(pid, kLong));
  std::ifstream in(record);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "-e\njava\na b\n$(x);\n");
  EXPECT_NE(StartDetached({dir / "nothing-here"}, ""), 0);
  EXPECT_TRUE(ProgramExists({Child()}, ""));
  EXPECT_FALSE(ProgramExists({"./nothing-here"}, dir.Path()));
}

}  // namespace
}  // namespace tamso
