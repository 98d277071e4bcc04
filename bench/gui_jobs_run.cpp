// Running programs: from pressing Run in the Run Java dialog to the child running
// in the Java Console, and the console under a flood of output, with a timer on
// the user-interface thread whose longest gap between ticks is the longest stall.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "jobs/java_console.h"
#include "jobs/output_bar.h"
#include "jobs/run_commands.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override { return true; }
  void SetBuildThread(std::shared_ptr<IBuildJob>) override {}
};

class PressRun : public IRunDialogs {
 public:
  std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) override {
    RunJavaValues v = initial;
    v.command = "cat";  // waits on its input: running until the console goes
    v.options = "";
    v.className = "-";
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
  double runningMs = 0;
  explicit ConsoleAdapter(gui::JavaConsole& c) : console(c) {}
  int Run(const std::vector<std::string>& a, const std::string& l, const std::string& d) override {
    const int rc = console.Run(a, l, d);
    // posix_spawn returns once the child has been exec'd: it is running.
    if (clock) runningMs = clock->nsecsElapsed() / 1e6;
    return rc;
  }
};

void BM_PressRunToChildRunning(benchmark::State& state) {
  gui::OutputBar sink(nullptr);
  bench::QuietHost host(sink);
  IniFile profile("/nonexistent/bench.INI");
  Slot slot;
  PressRun dialogs;
  gui::JavaConsole console(host);
  ConsoleAdapter adapter(console);
  RunContext context{host, profile, slot, gui::MainUiThread(), dialogs, &adapter, nullptr};
  std::vector<double> samples;
  for (auto _ : state) {
    QElapsedTimer clock;
    adapter.clock = &clock;
    clock.start();
    RunJavaCommand(nullptr, context);
    samples.push_back(adapter.runningMs);
    state.PauseTiming();
    console.EndProgram();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  std::sort(samples.begin(), samples.end());
  state.counters["median_ms"] = samples[samples.size() / 2];
  state.counters["max_ms"] = samples.back();
}
BENCHMARK(BM_PressRunToChildRunning)->Iterations(20)->Unit(benchmark::kMillisecond);

// `yes | head -c 500M` in the console: the time until it is all shown, the longest
// stall of the window, the bytes the view keeps and the process's peak memory.
void BM_ConsoleFlood(benchmark::State& state) {
  const long long bytes = state.range(0) << 20;
  gui::OutputBar sink(nullptr);
  bench::QuietHost host(sink);
  for (auto _ : state) {
    gui::JavaConsole console(host);
    console.resize(900, 500);
    console.show();
    QCoreApplication::processEvents();
    QElapsedTimer sinceTick;
    double maxGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      maxGap = std::max(maxGap, sinceTick.nsecsElapsed() / 1e6);
      sinceTick.restart();
    });
    QSignalSpy ended(&console, &gui::JavaConsole::programEnded);
    sinceTick.start();
    ticker.start();
    // The benchmark builds its flood with a pipe of two programs; the IDE never
    // uses a shell itself.
    console.Run({"sh", "-c", "yes | head -c " + std::to_string(bytes)}, "flood", "");
    while (ended.count() == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ticker.stop();
    state.counters["max_stall_ms"] = maxGap;
    state.counters["kept_MiB"] =
        static_cast<double>(console.View()->Text().StoredBytes()) / (1 << 20);
    state.counters["dropped_MiB"] =
        static_cast<double>(console.View()->Text().DroppedBytes()) / (1 << 20);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_ConsoleFlood)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
