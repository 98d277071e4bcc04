// Compile start latency: from the compile command to the compiler running. The
// stand-in compiler is /bin/true, so the figure is an upper bound: it also holds
// the child's own run and the end of its output.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "jobs/compile.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;
using Clock = std::chrono::steady_clock;

class UiThread : public IUiThread {
 public:
  UiThread() : thread_([this] { Loop(); }) {}
  ~UiThread() override {
    Post({});
    thread_.join();
  }
  void Post(std::function<void()> fn) override {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(fn));
    cv_.notify_all();
  }

 private:
  void Loop() {
    for (;;) {
      std::function<void()> fn;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [&] { return !queue_.empty(); });
        fn = std::move(queue_.front());
        queue_.pop_front();
      }
      if (!fn) return;
      fn();
    }
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  std::thread thread_;
};

using Host = tamso::bench::QuietHost;

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override {
    std::lock_guard<std::mutex> lock(m);
    return idle;
  }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override {
    std::lock_guard<std::mutex> lock(m);
    idle = !job;
    if (!job) {
      ended = Clock::now();
      cv.notify_all();
    }
  }
  Clock::time_point WaitIdle() {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return idle; });
    return ended;
  }
  mutable std::mutex m;
  std::condition_variable cv;
  bool idle = true;
  Clock::time_point ended;
};

class Doc : public IDocument {
 public:
  std::string PathName() const override { return "/tmp/Hello.java"; }
  std::string Title() const override { return "Hello.java"; }
  bool IsModified() const override { return false; }
  bool Save() override { return true; }
};

void BM_CompileStartLatency(benchmark::State& state) {
  char dir[] = "/tmp/tamso-bench-XXXXXX";
  if (!::mkdtemp(dir)) return state.SkipWithError("no temp dir");
  IniFile profile(std::string(dir) + "/Tamso.INI");
  profile.WriteString("Compiler", "javac", "/bin/true");
  UiThread ui;
  Host host;
  Slot slot;
  Doc doc;
  CompileContext context{host, profile, slot, ui, {}};
  for (auto _ : state) {
    std::mutex m;
    std::condition_variable cv;
    bool started = false;
    const auto t0 = Clock::now();
    ui.Post([&] {
      CompileDocument(doc, context);
      std::lock_guard<std::mutex> lock(m);
      started = true;
      cv.notify_all();
    });
    {
      std::unique_lock<std::mutex> lock(m);
      cv.wait(lock, [&] { return started; });
    }
    const auto t1 = slot.WaitIdle();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  ::unlink(profile.Path().c_str());
  ::rmdir(dir);
}
BENCHMARK(BM_CompileStartLatency)
    ->UseManualTime()
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
