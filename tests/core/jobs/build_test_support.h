#pragma once
// Stand-ins for the application around a build: a user-interface thread that runs
// posted work in order, an output window that can be waited on, a build slot that
// beeps through the fake host as the application's does, and a project folder with
// all of them around it.

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "../../support/fake_host.h"
#include "jobs/build_job.h"
#include "jobs/compile.h"
#include "jobs/project_build.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso::testing {

constexpr auto kGenerous = std::chrono::seconds(20);

class TestUiThread : public IUiThread {
 public:
  TestUiThread() : thread_([this] { Loop(); }) {}
  ~TestUiThread() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  void Post(std::function<void()> fn) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(std::move(fn));
    }
    cv_.notify_all();
  }
  // Runs fn on the user-interface thread and waits for it.
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
        cv_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;
        fn = std::move(queue_.front());
        queue_.pop_front();
      }
      fn();
    }
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  bool stop_ = false;
  std::thread thread_;
};

// An output window whose text can be waited for from another thread. The slot
// writes "<idle>" into the event log, so tests can see the order of both.
class WatchedOutput : public IOutput {
 public:
  void SetOutput(const std::string& t) override {
    std::lock_guard<std::mutex> lock(mutex_);
    text_ = t;
    log_ += "<set>";
    cv_.notify_all();
  }
  void AppendOutput(const std::string& t, bool newLineFirst) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (newLineFirst) text_ += "\n";
    text_ += t;
    log_ += newLineFirst ? "<line>" : "<chunk>";
    ++appends_;
    maxChunk_ = std::max(maxChunk_, t.size());
    cv_.notify_all();
  }
  void ShowNow() override { Note("<shown>"); }
  void Note(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    log_ += event;
    cv_.notify_all();
  }
  bool WaitFor(const std::string& part) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, kGenerous, [&] { return text_.find(part) != std::string::npos; });
  }
  std::string Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }
  std::string Log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }
  int Appends() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return appends_;
  }
  size_t MaxChunk() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return maxChunk_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::string text_;
  std::string log_;
  int appends_ = 0;
  size_t maxChunk_ = 0;
};

class HostWithOutput : public FakeHost {
 public:
  IOutput& Output() override { return watched; }
  WatchedOutput watched;
};

class TestSlot : public IBuildSlot {
 public:
  TestSlot(IHost& host, WatchedOutput* log = nullptr) : host_(host), log_(log) {}
  bool IsIdle() const override { return idle; }
  void SetBuildThread(std::shared_ptr<IBuildJob> j) override {
    if (j) {
      job = std::move(j);
      idle = false;
      return;
    }
    idle = true;
    ++idleCalls;
    if (log_) log_->Note("<idle>");
    host_.Beep(BeepKind::Default);
    if (onIdle) onIdle();
  }
  bool idle = true;
  std::function<void()> onIdle;  // runs on the user-interface thread as the slot goes idle
  int idleCalls = 0;
  std::shared_ptr<IBuildJob> job;

 private:
  IHost& host_;
  WatchedOutput* log_;
};

// A fresh directory under the system's temporary directory, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tamso-build-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// True when the process has ended (gone, or a zombie nobody has reaped yet).
inline bool ProcessEnded(long pid) {
  std::string stat;
  FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!f) return true;
  char buf[512];
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  stat.assign(buf, n);
  const size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() &&
         (stat[paren + 2] == 'Z' || stat[paren + 2] == 'X');
}

inline std::string Child() {
  return TAMSO_CHILD_PATH;
}

// Writes text to path, making the folders it needs; executable when asked.
inline void WriteFile(const std::string& path, const std::string& text, bool executable = false) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
  if (executable) ::chmod(path.c_str(), 0755);
}

// A project folder ("my app", a blank in its name) in a fresh temporary folder, with
// the profile, user-interface thread, output window, build slot, project and compile
// context of a build around it. The test writes the files and opens the project; the
// project is closed and the current directory restored afterwards.
struct ProjectRig {
  TempDir temp;
  std::string dir = std::string(paths::Canonical(temp.Path())) + "/my app";
  IniFile profile{temp / "Tamso.INI"};
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  Project project{host, profile};
  CompileContext context{host, profile, slot, ui, {}, &project};
  std::string cwd = paths::CurrentDirectory();

  ~ProjectRig() {
    project.Close();
    paths::SetCurrentDirectory(cwd);
  }
  // Runs a command on the user-interface thread and waits for its job to end.
  template <class F>
  std::shared_ptr<IBuildJob> Run(F f) {
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = f(); });
    if (job) {
      EXPECT_TRUE(job->WaitFinished(120000));
      ui.Run([] {});
    }
    return job;
  }
  std::shared_ptr<IBuildJob> Build(bool rebuild) {
    return Run([&] { return BuildProject(context, rebuild); });
  }
};

}  // namespace tamso::testing
