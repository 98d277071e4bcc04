// Build project on the JDK's own java.util sources (about 350 files, copied out of
// the JDK's src.zip into a project folder): the wall time of Build against the same
// compiler, with the same arguments and argument file, started directly; and the
// up-to-date Build that has nothing to do.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "java/source_roots.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "project/project.h"
#include "support/quiet_host.h"

extern char** environ;

namespace {

using namespace tamso;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr const char* kSrcZip = "/usr/lib/jvm/java-17-openjdk-amd64/lib/src.zip";

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
  // Runs fn there and waits for it.
  void Run(const std::function<void()>& fn) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    Post([&] {
      fn();
      std::lock_guard<std::mutex> lock(m);
      done = true;
      cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return done; });
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

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override {
    std::lock_guard<std::mutex> lock(m);
    return idle;
  }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override {
    std::lock_guard<std::mutex> lock(m);
    idle = !job;
    if (!job) cv.notify_all();
  }
  void WaitIdle() {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return idle; });
  }
  mutable std::mutex m;
  std::condition_variable cv;
  bool idle = true;
};

// Runs a program with its output thrown away and waits for it; its exit status.
int RunQuietly(const std::vector<std::string>& args, const std::string& dir) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
    ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return status;
}

// java.util and its subpackages in <temp>/java.base, a project file naming each
// source, and a profile whose compiler patches them into java.base.
struct UtilProject {
  std::string dir;
  std::string root;
  std::string error;
  std::unique_ptr<IniFile> profile;
  bench::QuietHost host;
  std::unique_ptr<Project> project;
  UiThread ui;
  Slot slot;

  UtilProject() {
    char tmpl[] = "/tmp/tamso-bench-util-XXXXXX";
    if (!fs::exists(kSrcZip) || !::mkdtemp(tmpl)) {
      error = "no src.zip";
      return;
    }
    dir = tmpl;
    root = dir + "/java.base";
    if (RunQuietly({"unzip", "-q", kSrcZip, "java.base/java/util/*", "-d", dir}, "") != 0) {
      error = "unzip failed";
      return;
    }
    std::ofstream jap(dir + "/util.jap");
    jap << "[Files]\n";
    int n = 0;
    for (const auto& e : fs::recursive_directory_iterator(root))
      if (e.path().extension() == ".java")
        jap << "file" << ++n << "=./" << fs::relative(e.path(), dir).string() << "\n";
    jap.close();
    profile = std::make_unique<IniFile>(dir + "/Tamso.INI");
    profile->WriteString("Compiler", "javac", "javac --patch-module java.base=" + root);
    project = std::make_unique<Project>(host, *profile);
    project->Open(dir + "/util.jap");
  }
  ~UtilProject() {
    if (project) project->Close();
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
  std::string OutDir() const { return project->OutputDirectory(); }
  void EmptyOut() {
    std::string ignored;
    fs::create_directories(OutDir());
    EmptyDirectory(OutDir(), &ignored);
  }
  // Build project as the command runs it; true when a compiler run was started.
  bool Build() {
    CompileContext context{host, *profile, slot, ui, {}, project.get()};
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = BuildProject(context, false); });
    if (!job) return false;
    slot.WaitIdle();
    job->WaitFinished(600000);
    return true;
  }
};

UtilProject& Util() {
  static UtilProject util;
  return util;
}

void BM_BuildJavaUtil_Tamso(benchmark::State& state) {
  UtilProject& u = Util();
  if (!u.error.empty()) return state.SkipWithError(u.error.c_str());
  for (auto _ : state) {
    state.PauseTiming();
    u.EmptyOut();
    state.ResumeTiming();
    if (!u.Build()) state.SkipWithError("nothing was built");
  }
  state.counters["files"] = double(ProjectJavaSources(*u.project).size());
}

void BM_BuildJavaUtil_ByHand(benchmark::State& state) {
  UtilProject& u = Util();
  if (!u.error.empty()) return state.SkipWithError(u.error.c_str());
  const std::string argFile = u.dir + "/files.txt";
  std::ofstream(argFile) << JavacArgumentFileText(ProjectJavaSources(*u.project));
  const std::vector<std::string> args = BuildProjectArguments(
      *u.profile, *u.project, u.OutDir(), ProjectJavaLayout(*u.project).sourceRoots, argFile);
  for (auto _ : state) {
    state.PauseTiming();
    u.EmptyOut();
    state.ResumeTiming();
    RunQuietly(args, u.project->ProjectDirectory());
  }
}

// Every class in place and newer than its source: Build finds nothing to do.
void BM_BuildUpToDate(benchmark::State& state) {
  UtilProject& u = Util();
  if (!u.error.empty()) return state.SkipWithError(u.error.c_str());
  const auto later = fs::file_time_type::clock::now() + std::chrono::hours(1);
  for (const std::string& source : ProjectJavaSources(*u.project)) {
    const std::string rel = fs::relative(source, u.root).replace_extension(".class").string();
    const std::string cls = u.OutDir() + "/" + rel;
    fs::create_directories(fs::path(cls).parent_path());
    std::ofstream(cls) << "x";
    fs::last_write_time(cls, later);
  }
  for (auto _ : state)
    if (u.Build()) state.SkipWithError("a compiler run was started");
}

BENCHMARK(BM_BuildUpToDate)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();
BENCHMARK(BM_BuildJavaUtil_ByHand)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_BuildJavaUtil_Tamso)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
