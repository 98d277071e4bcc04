#include "jobs/process_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "jobs/compile.h"
#include "build_test_support.h"
#include "platform/command_line.h"

namespace tamso {
namespace {

using testing::Child;
using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;

// A captured run on the calling thread, as the applet viewer and tools do it.
struct SyncRun {
  HostWithOutput host;
  TestSlot slot{host};
  std::string Run(const std::string& args, const std::string& dir = std::string()) {
    RunCaptured(QuoteArgument(Child()) + " " + args, dir, host, host.watched, slot);
    return host.watched.Text();
  }
};

TEST(RunCaptured, TakesStdoutAndStderrInTheOrderWritten) {
  SyncRun r;
  EXPECT_EQ(r.Run("interleave"), "out 1\nerr 2\nout 3\n");
  SyncRun e;
  EXPECT_EQ(e.Run("stderr \"only on stderr\""), "only on stderr\n");
}

TEST(RunCaptured, AppendsChunksWholeAndNeverLarger) {
  SyncRun r;
  EXPECT_EQ(r.Run("exact4096"), std::string(4096, 'x'));
  EXPECT_EQ(r.host.watched.Appends(), 1);

  SyncRun big;
  const std::string text = big.Run("write 300000");
  ASSERT_EQ(text.size(), 300000u);
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != static_cast<char>('a' + i % 26)) FAIL() << "byte " << i << " differs";
  EXPECT_LE(big.host.watched.MaxChunk(), kOutputChunk);
  EXPECT_GE(big.host.watched.Appends(), 300000 / 4096);
}

TEST(RunCaptured, KeepsBinaryBytesAndTextWithoutLineEnd) {
  SyncRun r;
  const std::string bytes = r.Run("binary");
  ASSERT_EQ(bytes.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<unsigned char>(bytes[i]), i);
  SyncRun n;
  EXPECT_EQ(n.Run("noeol \"no line end\""), "no line end");
}

TEST(RunCaptured, ChildWithoutOutputGetsNothingAndTheRunEndsIdle) {
  SyncRun r;
  r.slot.idle = false;
  EXPECT_EQ(r.Run("nothing"), "");
  EXPECT_EQ(r.host.watched.Appends(), 0);
  EXPECT_TRUE(r.slot.idle);
  EXPECT_EQ(r.slot.idleCalls, 1);
  EXPECT_EQ(r.host.beeps, std::vector<BeepKind>{BeepKind::Default});
  EXPECT_TRUE(r.host.messages.empty());
}

TEST(RunCaptured, InputIsAtEndAndDirectoryIsTheChildsOwn) {
  SyncRun r;
  EXPECT_EQ(r.Run("stdin"), "input ended after 0 bytes\n");
  TempDir dir;
  SyncRun p;
  EXPECT_EQ(p.Run("pwd", dir.Path()), dir.Path() + "\n");
}

TEST(RunCaptured, ArgumentsAreNeverShellCode) {
  TempDir dir;
  SyncRun r;
  const std::string marker = dir / "pwned";
  const std::string out = r.Run(
      "args \"a b\" \"x; touch " + marker + "\" \"$(touch " + marker + ")\" -d `id`", dir.Path());
  EXPECT_EQ(out, "[a b]\n[x; touch " + marker + "]\n[$(touch " + marker + ")]\n[-d]\n[`id`]\n");
  EXPECT_EQ(::access(marker.c_str(), F_OK), -1);
}

TEST(RunCaptured, MissingProgramShowsTheSpawnMessageThenTheErrorThenGoesIdle) {
  HostWithOutput host;
  TestSlot slot{host};
  TempDir dir;
  RunCaptured("no-such-program-tamso -x", dir.Path(), host, host.watched, slot);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(
      host.messages[0].text,
      "Sorry.\n\nError spawning command\n\n==> no-such-program-tamso -x\n\nDirectory\n==>" +
          dir.Path() +
          "\n\nMake sure your PATH is set correctly\nMake sure the JDK is properly installed");
  EXPECT_EQ(host.messages[0].caption, "VOZ");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(host.messages[1].text, "Err Create process failed");
  EXPECT_EQ(host.messages[1].caption, "");
  EXPECT_EQ(host.beeps, std::vector<BeepKind>{BeepKind::Default});
  EXPECT_EQ(host.watched.Appends(), 0);
  EXPECT_EQ(slot.idleCalls, 1);
}

TEST(RunCaptured, MissingDirectoryIsASpawnFailure) {
  HostWithOutput host;
  TestSlot slot{host};
  RunCaptured(QuoteArgument(Child()) + " nothing", "/no/such/dir/tamso", host, host.watched, slot);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_NE(host.messages[0].text.find("\n\nDirectory\n==>/no/such/dir/tamso\n\n"),
            std::string::npos);
  EXPECT_EQ(host.messages[1].text, "Err Create process failed");
}

TEST(RunVisible, MissingProgramShowsTheShortMessage) {
  testing::FakeHost host;
  EXPECT_FALSE(RunVisible("no-such-program-tamso", "a b", "", true, host, ""));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Sorry.\n\nError spawning command\n\n==> no-such-program-tamso\n\nMake sure your PATH "
            "is set correctly\nMake sure the JDK is properly installed");
  EXPECT_EQ(host.messages[0].caption, "VOZ");
}

TEST(RunVisible, WaitsForTheProgramInTheConfiguredTerminal) {
  // A "terminal" that just runs its arguments: the helper in args mode prints them,
  // so the program and its arguments must come after the prefix.
  TempDir dir;
  testing::FakeHost host;
  const std::string marker = dir / "ran";
  EXPECT_TRUE(RunVisible("touch", QuoteArgument(marker), dir.Path(), true, host, "env"));
  EXPECT_EQ(::access(marker.c_str(), F_OK), 0);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(TerminalPrefix("my-term --exec"), (std::vector<std::string>{"my-term", "--exec"}));
}

// --- The compile worker --------------------------------------------------------

struct WorkerRun {
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host, &host.watched};
  std::shared_ptr<IBuildJob> job;

  void Start(const std::string& args) {
    ui.Run([&] {
      job =
          StartBuildThread({QuoteArgument(Child()) + " " + args, ""}, host, host.watched, slot, ui);
      slot.SetBuildThread(job);
    });
  }
  void Stop() {
    ui.Run([&] { StopBuilding(slot, job, host); });
  }
  long PidAfter(const std::string& label) {
    EXPECT_TRUE(host.watched.WaitFor(label + " "));
    const std::string text = host.watched.Text();
    const size_t at = text.find(label + " ") + label.size() + 1;
    return std::stol(text.substr(at));
  }
};

TEST(BuildThread, EndsIdleBeforeTheClosingLinesThenBeeps) {
  WorkerRun w;
  w.Start("noeol tail");
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  EXPECT_EQ(w.host.watched.Text(), std::string("tail\n") + kSeparator + "\n" + kDoneLine);
  EXPECT_EQ(w.host.watched.Log(), "<chunk><idle><chunk><line><line>");
  EXPECT_EQ(w.host.beeps, (std::vector<BeepKind>{BeepKind::Default, BeepKind::Default}));
  EXPECT_TRUE(w.slot.idle);
}

TEST(BuildThread, ABuildStartedAsTheLastOneGoesIdleGetsNoneOfItsClosingLines) {
  WorkerRun w;
  // The next build takes the slot the moment it goes idle, before the closing lines.
  w.slot.onIdle = [&] { w.job->Supersede(); };
  w.Start("noeol tail");
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  EXPECT_EQ(w.host.watched.Text(), "tail");
  EXPECT_EQ(w.host.watched.Log(), "<chunk><idle>");
  EXPECT_EQ(w.host.beeps, (std::vector<BeepKind>{BeepKind::Default}));  // the slot's only
}

TEST(BuildThread, MissingCompilerStillWritesTheClosingLines) {
  WorkerRun w;
  w.ui.Run([&] {
    w.job = StartBuildThread({"no-such-javac-tamso \"/x/A.java\"", "/tmp"}, w.host, w.host.watched,
                             w.slot, w.ui);
    w.slot.SetBuildThread(w.job);
  });
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  ASSERT_EQ(w.host.messages.size(), 2u);
  EXPECT_EQ(w.host.messages[0].caption, "VOZ");
  EXPECT_EQ(w.host.messages[1].text, "Err Create process failed");
  EXPECT_EQ(w.host.watched.Text(), std::string("\n") + kSeparator + "\n" + kDoneLine);
}

TEST(BuildThread, StopBuildingEndsAChildThatNeverExits) {
  WorkerRun w;
  w.Start("forever");
  const long pid = w.PidAfter("pid");
  w.Stop();
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  const std::string text = w.host.watched.Text();
  EXPECT_EQ(text, "pid " + std::to_string(pid) + "\n\nTerminated at user request.");
  EXPECT_EQ(w.host.beeps, (std::vector<BeepKind>{BeepKind::Exclamation, BeepKind::Default}));
  EXPECT_EQ(w.slot.idleCalls, 1);
  EXPECT_TRUE(testing::ProcessEnded(pid));
}

TEST(BuildThread, StopBuildingKillsAChildThatIgnoresSigterm) {
  WorkerRun w;
  w.Start("ignoreterm");
  const long pid = w.PidAfter("pid");
  w.Stop();
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  EXPECT_TRUE(testing::ProcessEnded(pid));
  const std::string text = w.host.watched.Text();
  EXPECT_EQ(text.substr(text.size() - 28), "\nTerminated at user request.");
}

TEST(BuildThread, StopBuildingEndsTheWholeProcessGroup) {
  WorkerRun w;
  w.Start("grandchild");
  const long grandchild = w.PidAfter("grandchild");
  ASSERT_TRUE(w.host.watched.WaitFor("child "));
  // The child has gone; its child still holds the output open, so the run goes on.
  EXPECT_FALSE(w.job->Finished());
  w.Stop();
  ASSERT_TRUE(w.job->WaitFinished(20000));
  EXPECT_TRUE(testing::ProcessEnded(grandchild));
}

TEST(BuildThread, CancelWhileTheUiIsBusyDropsTheQueuedChunk) {
  // The worker waits for the user-interface thread to take each chunk; a Stop
  // Building that runs first means the chunk never shows.
  WorkerRun w;
  std::mutex gate;
  std::unique_lock<std::mutex> hold(gate);
  w.ui.Post([&] { std::lock_guard<std::mutex> wait(gate); });  // the UI is busy
  w.ui.Post([&] {
    w.job = StartBuildThread({QuoteArgument(Child()) + " write 10", ""}, w.host, w.host.watched,
                             w.slot, w.ui);
    w.slot.SetBuildThread(w.job);
  });
  hold.unlock();
  w.ui.Run([] {});
  // Stop as soon as the job exists; whatever the worker queued after this is dropped.
  w.Stop();
  ASSERT_TRUE(w.job->WaitFinished(20000));
  w.ui.Run([] {});
  const std::string text = w.host.watched.Text();
  EXPECT_EQ(text.substr(text.size() - 28), "\nTerminated at user request.");
  EXPECT_EQ(text.find(kDoneLine), std::string::npos);
  EXPECT_EQ(w.slot.idleCalls, 1);
}

}  // namespace
}  // namespace tamso
