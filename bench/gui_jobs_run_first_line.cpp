// Run Java against java started by hand: from the Run action to the program's first
// output line in the Java Console, beside the same class started directly with its
// output read from a pipe. And typing in the console's input line while the console
// holds two million lines: the time from a key press to the line edit having drawn it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jobs/java_console.h"
#include "jobs/output_bar.h"
#include "jobs/run_commands.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

extern char** environ;

namespace {

using namespace tamso;
namespace fs = std::filesystem;

// A compiled Hello in a folder of its own ("" when javac is missing or fails).
const std::string& HelloDir() {
  static const std::string dir = [] {
    std::string tmpl = (fs::temp_directory_path() / "tamso-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return std::string();
    std::ofstream(tmpl + "/Hello.java")
        << "public class Hello { public static void main(String[] a) { "
           "System.out.println(\"hello\"); } }\n";
    const std::string cmd = "javac -d '" + tmpl + "' '" + tmpl + "/Hello.java'";
    return std::system(cmd.c_str()) == 0 ? tmpl : std::string();
  }();
  return dir;
}

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override { return true; }
  void SetBuildThread(std::shared_ptr<IBuildJob>) override {}
};

class PressRun : public IRunDialogs {
 public:
  std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) override {
    RunJavaValues v = initial;
    v.command = "java";
    v.options = "-cp " + HelloDir();
    v.className = "Hello";
    v.arguments = "";
    v.privateConsole = true;
    return v;
  }
  std::optional<RunHtmlChoice> RunHtml(const std::string&, const std::string&,
                                       const std::vector<std::string>&) override {
    return std::nullopt;
  }
};

struct ConsoleAdapter : IJavaConsole {
  gui::JavaConsole& console;
  QElapsedTimer* clock = nullptr;
  double startedMs = 0;  // when the child had been started
  explicit ConsoleAdapter(gui::JavaConsole& c) : console(c) {}
  int Run(const std::vector<std::string>& a, const std::string& l, const std::string& d) override {
    const int rc = console.Run(a, l, d);
    if (clock) startedMs = clock->nsecsElapsed() / 1e6;
    return rc;
  }
};

void Report(benchmark::State& state, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  state.counters["median_ms"] = samples[samples.size() / 2];
  state.counters["min_ms"] = samples.front();
  state.counters["max_ms"] = samples.back();
}

// The Run action (dialog answered at once) to "hello" shown in the console.
void BM_RunActionToFirstLine(benchmark::State& state) {
  if (HelloDir().empty()) {
    state.SkipWithError("no javac");
    return;
  }
  gui::OutputBar sink(nullptr);
  bench::QuietHost host(sink);
  IniFile profile("/nonexistent/bench.INI");
  Slot slot;
  PressRun dialogs;
  gui::JavaConsole console(host);
  console.resize(900, 500);
  console.show();
  ConsoleAdapter adapter(console);
  RunContext context{host, profile, slot, gui::MainUiThread(), dialogs, &adapter, nullptr};
  std::vector<double> samples;
  std::vector<double> started;
  for (auto _ : state) {
    QSignalSpy ended(&console, &gui::JavaConsole::programEnded);
    QElapsedTimer clock;
    adapter.clock = &clock;
    clock.start();
    RunJavaCommand(nullptr, context);
    started.push_back(adapter.startedMs);
    // Sleeps until the console's next event: a busy loop would take the processor
    // the starting program needs.
    while (console.View()->Text().Text().find("\nhello") == std::string::npos)
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    samples.push_back(clock.nsecsElapsed() / 1e6);
    state.PauseTiming();
    while (ended.count() == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    state.ResumeTiming();
  }
  Report(state, samples);
  std::sort(started.begin(), started.end());
  state.counters["started_median_ms"] = started[started.size() / 2];
}
BENCHMARK(BM_RunActionToFirstLine)->Iterations(15)->Unit(benchmark::kMillisecond);

// The same class started by hand: spawn java, read its pipe to the first line.
void BM_JavaByHandToFirstLine(benchmark::State& state) {
  if (HelloDir().empty()) {
    state.SkipWithError("no javac");
    return;
  }
  std::vector<double> samples;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    int fds[2];
    if (::pipe(fds) != 0) break;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string java = "java", cp = "-cp", dir = HelloDir(), cls = "Hello";
    char* argv[] = {java.data(), cp.data(), dir.data(), cls.data(), nullptr};
    pid_t pid = 0;
    posix_spawnp(&pid, "java", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string got;
    char buf[256];
    while (got.find('\n') == std::string::npos) {
      const ssize_t n = ::read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<size_t>(n));
    }
    samples.push_back(clock.nsecsElapsed() / 1e6);
    state.PauseTiming();
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    state.ResumeTiming();
  }
  Report(state, samples);
}
BENCHMARK(BM_JavaByHandToFirstLine)->Iterations(15)->Unit(benchmark::kMillisecond);

// Two million lines in the console, then keys typed into its input line: each key
// press until the line edit has repainted.
void BM_ConsoleTypingWithTwoMillionLines(benchmark::State& state) {
  gui::OutputBar sink(nullptr);
  bench::QuietHost host(sink);
  gui::JavaConsole console(host);
  console.resize(900, 500);
  console.show();
  QSignalSpy ended(&console, &gui::JavaConsole::programEnded);
  // The console reads the program's input from the line; cat echoes what is sent,
  // seq fills the view first.
  console.Run({"seq", "2000000"}, "seq", "");
  while (ended.count() == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  console.View()->Flush();
  QCoreApplication::processEvents();
  state.counters["lines"] = static_cast<double>(console.View()->Text().LineCount());
  QLineEdit* input = console.Input();
  input->setEnabled(true);
  input->setFocus();
  std::vector<double> samples;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(input, Qt::Key_A);
    input->repaint();
    console.View()->viewport()->repaint();
    samples.push_back(clock.nsecsElapsed() / 1e6);
    if (input->text().size() > 60) input->clear();
  }
  Report(state, samples);
}
BENCHMARK(BM_ConsoleTypingWithTwoMillionLines)->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
