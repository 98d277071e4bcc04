// The output window under a flood: a child's output captured on the compile worker
// and shown in the window, with a timer on the user-interface thread whose longest
// gap between ticks is the longest stall a user would feel.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "jobs/output_bar.h"
#include "jobs/process_runner.h"
#include "platform/host.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;

using tamso::bench::QuietHost;

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override { return idle; }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override { idle = !job; }
  bool idle = true;
};

// Runs the command on the compile worker into a shown window; returns the seconds
// until the output was all captured and painted, and the longest tick gap in ms.
void CaptureAndShow(benchmark::State& state, const std::string& commandLine, size_t expectBytes) {
  double worstGap = 0;
  for (auto _ : state) {
    gui::OutputBar bar(nullptr);
    bar.resize(900, 400);
    bar.show();
    QuietHost host(bar);
    Slot slot;
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    double maxGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      maxGap = std::max(maxGap, sinceTick.nsecsElapsed() / 1e6);
      sinceTick.restart();
    });

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    auto job = StartBuildThread({commandLine, ""}, host, bar, slot, gui::MainUiThread());
    QEventLoop loop;
    QTimer check;
    check.setInterval(2);
    QObject::connect(&check, &QTimer::timeout, [&] {
      if (job->Finished()) loop.quit();
    });
    check.start();
    loop.exec();
    QCoreApplication::processEvents();
    bar.Flush();
    bar.viewport()->repaint();
    const double seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();
    state.SetIterationTime(seconds);
    worstGap = std::max(worstGap, maxGap);
    state.counters["stall_ms"] = maxGap;
    if (bar.Text().StoredBytes() < expectBytes) state.SkipWithError("output incomplete");
  }
  (void)worstGap;
}

void BM_Seq2M(benchmark::State& state) {
  // seq 1 2000000 writes 14 888 896 bytes; the closing lines come on top.
  CaptureAndShow(state, "seq 1 2000000", 14888896);
}
BENCHMARK(BM_Seq2M)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_OneMegabyteLine(benchmark::State& state) {
  const std::string path = "/tmp/tamso-bench-1mb-line.txt";
  {
    std::ofstream f(path, std::ios::binary);
    f << std::string(1 << 20, 'x');
  }
  CaptureAndShow(state, "cat " + path, 1 << 20);
  std::remove(path.c_str());
}
BENCHMARK(BM_OneMegabyteLine)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

// A gigabyte without a single line end: the window keeps the newest 256 MiB and
// says that the rest was dropped; memory stays bounded and the window stays live.
void BM_OneGigabyteNoLineEnd(benchmark::State& state) {
  CaptureAndShow(state, "head -c 1073741824 /dev/zero", 128u << 20);
}
BENCHMARK(BM_OneGigabyteNoLineEnd)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                  : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
