// SIGTERM while a compile runs: the compile, its children and grandchildren end,
// and the program leaves its event loop as Exit would.
#include "app/signal_exit.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <sstream>
#include <string>
#include <vector>

#include "app/t2_app.h"
#include "core/jobs/build_test_support.h"
#include "jobs/compile.h"
#include "jobs/output_bar.h"
#include "platform/command_line.h"
#include "platform/file_on_disk.h"
#include "platform/ini_file.h"

namespace tamso::gui {
namespace {

class NoProjectModel : public IProjectModel {
 public:
  bool Create() override { return false; }
  bool Open(const std::string&) override { return false; }
  void Close() override {}
  bool IsOpen() const override { return false; }
};

// Runs the event loop until done() or a generous deadline (a safety net, not a wait).
template <typename F>
bool ProcessUntil(F done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 20000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

TEST(SignalExit, SigtermEndsTheCompileWithEveryGrandchildAndLeavesTheLoop) {
  tamso::testing::TempDir dir;
  IniFile profile(dir / "tamso.INI");
  tamso::testing::HostWithOutput host;
  NoProjectModel project;
  CT2App app(profile, host, project);
  profile.WriteString("Compiler", "javac", QuoteArgument(tamso::testing::Child()) + " forkmany 3");
  FileOnDisk doc(dir / "A.java");
  CompileContext context{host, profile, app, MainUiThread(), {}, nullptr};
  std::shared_ptr<IBuildJob> job = CompileDocument(doc, context);
  ASSERT_NE(job, nullptr);
  // Every line "grandchild PID" or "child PID": all of them must end.
  std::vector<long> pids;
  auto readPids = [&] {
    pids.clear();
    std::istringstream lines(host.watched.Text());
    for (std::string word; lines >> word;)
      if (word == "child" || word == "grandchild") {
        long pid = 0;
        if (lines >> pid) pids.push_back(pid);
      }
    return pids.size() == 4;
  };
  ASSERT_TRUE(ProcessUntil(readPids)) << host.watched.Text();
  ASSERT_EQ(pids.size(), 4u) << host.watched.Text();
  ASSERT_FALSE(app.IsIdle());

  int caught = 0;
  SignalExit onSignal([&](int signal) {
    EndOnSignal(app, signal);
    caught = signal;
  });
  ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
  ASSERT_TRUE(ProcessUntil([&] { return caught != 0; }));
  EXPECT_EQ(caught, SIGTERM);
  EXPECT_TRUE(job->Finished());
  EXPECT_TRUE(app.IsIdle());
  for (long pid : pids) EXPECT_TRUE(tamso::testing::ProcessEnded(pid)) << pid;

  // A second signal (a user pressing Ctrl+C twice) is taken the same way.
  caught = 0;
  ASSERT_EQ(::kill(::getpid(), SIGINT), 0);
  ASSERT_TRUE(ProcessUntil([&] { return caught != 0; }));
  EXPECT_EQ(caught, SIGINT);
}

}  // namespace
}  // namespace tamso::gui
