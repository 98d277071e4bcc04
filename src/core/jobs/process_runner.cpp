#include "jobs/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <thread>

#include "jobs/compile_verdict.h"
#include "platform/command_line.h"
#include "platform/host.h"

extern char** environ;

namespace tamso {

namespace {

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

pid_t WaitPid(pid_t pid, int options) {
  for (;;) {
    const pid_t r = ::waitpid(pid, nullptr, options);
    if (r >= 0 || errno != EINTR) return r;
  }
}

// A child whose output has ended may still run; something must collect its exit
// status so that it does not stay a zombie.
void ReapInBackground(pid_t pid) {
  if (WaitPid(pid, WNOHANG) != 0) return;
  std::thread([pid] { WaitPid(pid, 0); }).detach();
}

bool GroupGone(pid_t pgid) {
  return ::kill(-pgid, 0) == -1 && errno == ESRCH;
}

// SIGTERM to the whole group, SIGKILL to whatever is left after the grace.
void EndChildGroup(pid_t pid) {
  ::kill(-pid, SIGTERM);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kTerminateGraceMs);
  bool reaped = false;
  for (;;) {
    if (!reaped && WaitPid(pid, WNOHANG) == pid) reaped = true;
    if (reaped && GroupGone(pid)) return;
    if (std::chrono::steady_clock::now() >= deadline) break;
    ::poll(nullptr, 0, 10);
  }
  ::kill(-pid, SIGKILL);
  if (!reaped) WaitPid(pid, 0);
  // SIGKILL is delivered asynchronously; give the rest of the group a moment to go.
  const auto killDeadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kTerminateGraceMs);
  while (!GroupGone(pid) && std::chrono::steady_clock::now() < killDeadline) ::poll(nullptr, 0, 10);
}

struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  bool ok = true;

  SpawnSetup(const ChildIo* io, const std::string& directory, bool newSession, int nullInput) {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    flags |= newSession ? POSIX_SPAWN_SETSID : POSIX_SPAWN_SETPGROUP;
    ok = posix_spawnattr_setflags(&attr, flags) == 0;
    if (!newSession) ok = ok && posix_spawnattr_setpgroup(&attr, 0) == 0;
    sigset_t none;
    sigemptyset(&none);
    ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0;
    // Signals this process may ignore or handle must reach the child as defaults.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM,
                    SIGTSTP, SIGTTIN, SIGTTOU})
      sigaddset(&defaults, sig);
    ok = ok && posix_spawnattr_setsigdefault(&attr, &defaults) == 0;
    if (io && io->input >= 0)
      ok = ok && posix_spawn_file_actions_adddup2(&actions, io->input, 0) == 0;
    if (!io && nullInput >= 0)
      ok = ok && posix_spawn_file_actions_adddup2(&actions, nullInput, 0) == 0;
    if (io && io->output >= 0) {
      ok = ok && posix_spawn_file_actions_adddup2(&actions, io->output, 1) == 0;
      ok = ok && posix_spawn_file_actions_adddup2(&actions, io->output, 2) == 0;
    }
    // Nothing else of this process leaks into the child.
    ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
    if (!directory.empty())
      ok = ok && posix_spawn_file_actions_addchdir_np(&actions, directory.c_str()) == 0;
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

// Starts argv; 0 on success, else an errno value.
int Spawn(const std::vector<std::string>& args, const std::string& directory, const ChildIo* io,
          bool newSession, pid_t* pid) {
  if (args.empty() || args[0].empty()) return ENOENT;
  int nullInput = -1;
  if (!io) nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int err = 0;
  {
    SpawnSetup setup(io, directory, newSession, nullInput);
    if (!setup.ok) {
      err = ENOMEM;
    } else {
      std::vector<char*> argv;
      argv.reserve(args.size() + 1);
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      err = posix_spawnp(pid, argv[0], &setup.actions, &setup.attr, argv.data(), environ);
    }
  }
  CloseFd(nullInput);
  return err;
}

}  // namespace

// --- RunControl ---------------------------------------------------------------

RunControl::RunControl() {
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

RunControl::~RunControl() {
  CloseFd(wake_[0]);
  CloseFd(wake_[1]);
}

void RunControl::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_.store(true);
    if (group_ > 0) ::kill(-group_, SIGTERM);
  }
  if (wake_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &byte, 1);
  }
}

void RunControl::SetChildGroup(pid_t pgid) {
  std::lock_guard<std::mutex> lock(mutex_);
  group_ = pgid;
  if (pgid > 0 && cancelled_.load()) ::kill(-pgid, SIGTERM);
}

// --- Messages -----------------------------------------------------------------

std::string SpawnFailureText(const std::string& commandLine, const std::string& directory) {
  return "Sorry.\n\nError spawning command\n\n==> " + commandLine + "\n\nDirectory\n==>" +
         directory + "\n\nMake sure your PATH is set correctly" +
         "\nMake sure the JDK is properly installed";
}

std::string VisibleSpawnFailureText(const std::string& command) {
  return "Sorry.\n\nError spawning command\n\n==> " + command +
         "\n\nMake sure your PATH is set correctly" + "\nMake sure the JDK is properly installed";
}

void ReportRunnerError(IHost& host, const std::string& text) {
  host.Message("Err " + text);
}

// --- Starting children --------------------------------------------------------

bool StartProcess(const std::string& commandLine, const std::string& directory, bool wait,
                  IHost& host, const ChildIo* io, pid_t* pidOut) {
  return StartArguments(SplitCommandLine(commandLine), commandLine, directory, wait, host, io,
                        pidOut);
}

bool StartArguments(const std::vector<std::string>& args, const std::string& commandLine,
                    const std::string& directory, bool wait, IHost& host, const ChildIo* io,
                    pid_t* pidOut) {
  pid_t pid = -1;
  const int err = args.empty() ? ENOENT : Spawn(args, directory, io, false, &pid);
  if (err != 0) {
    host.MessageBox(SpawnFailureText(commandLine, directory), kSpawnCaption, MsgIcon::Stop,
                    MsgButtons::Ok);
    return false;
  }
  if (pidOut) *pidOut = pid;
  if (wait) WaitPid(pid, 0);
  return true;
}

void ReadOutput(int readFd, IOutput& output, RunControl* control) {
  char buffer[kOutputChunk];
  for (;;) {
    if (control) {
      pollfd fds[2] = {{readFd, POLLIN, 0}, {control->WakeFd(), POLLIN, 0}};
      const int n = ::poll(fds, control->WakeFd() >= 0 ? 2 : 1, -1);
      if (n < 0 && errno == EINTR) continue;
      if (control->Cancelled()) return;
    }
    const ssize_t n = ::read(readFd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    output.AppendOutput(std::string(buffer, static_cast<size_t>(n)), false);
    if (control && control->Cancelled()) return;
  }
}

int RunCaptured(const std::string& commandLine, const std::string& directory, IHost& host,
                IOutput& output, IBuildSlot& slot, RunControl* control, int* exitCode) {
  return RunCapturedArguments(SplitCommandLine(commandLine), commandLine, directory, host, output,
                              slot, control, exitCode);
}

int RunCapturedArguments(const std::vector<std::string>& args, const std::string& commandLine,
                         const std::string& directory, IHost& host, IOutput& output,
                         IBuildSlot& slot, RunControl* control, int* exitCode) {
  int out[2] = {-1, -1};
  if (::pipe2(out, O_CLOEXEC) != 0) {
    out[0] = out[1] = -1;
    ReportRunnerError(host, "Stdout pipe creation failed\n");
  }
  int in[2] = {-1, -1};
  if (::pipe2(in, O_CLOEXEC) != 0) {
    in[0] = in[1] = -1;
    ReportRunnerError(host, "Stdin pipe creation failed\n");
  }
  // Nothing is ever written to the child's input: closing the write end now lets a
  // child that reads its input see end of file at once.
  if (in[1] >= 0 && ::close(in[1]) != 0) ReportRunnerError(host, "Closing handle failed");
  in[1] = -1;

  ChildIo io{in[0], out[1]};
  pid_t pid = -1;
  if (!StartArguments(args, commandLine, directory, false, host, &io, &pid)) {
    ReportRunnerError(host, "Create process failed");
    CloseFd(out[0]);
    CloseFd(out[1]);
    CloseFd(in[0]);
  } else {
    if (control) control->SetChildGroup(pid);
    CloseFd(in[0]);
    // From now on the pipe ends when the child (and all it passed it to) closes it.
    if (out[1] >= 0 && ::close(out[1]) != 0) ReportRunnerError(host, "Closing handle failed");
    out[1] = -1;
    if (out[0] >= 0) ReadOutput(out[0], output, control);
    CloseFd(out[0]);
    if (control && control->Cancelled()) {
      EndChildGroup(pid);
      control->SetChildGroup(0);
    } else if (exitCode) {
      // Waited for without reaping it, so the group stays the child's (and Stop
      // Building can still end it) until it is forgotten below.
      siginfo_t info{};
      int r;
      do {
        r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
      } while (r < 0 && errno == EINTR);
      if (control) control->SetChildGroup(0);
      WaitPid(pid, 0);
      if (r == 0 && !(control && control->Cancelled()))
        *exitCode = info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
    } else {
      // Forget the group before its leader is reaped, so that a late Cancel can never
      // signal a process id that has been given to someone else.
      if (control) control->SetChildGroup(0);
      ReapInBackground(pid);
    }
  }
  slot.SetBuildThread(nullptr);
  return 0;
}

std::string FindProgram(const std::string& name) {
  if (name.empty()) return std::string();
  auto executable = [](const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
  };
  if (name.find('/') != std::string::npos) return executable(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (executable(candidate)) return candidate;
    start = end + 1;
  }
  return std::string();
}

std::vector<std::string> TerminalPrefix(const std::string& configured) {
  if (!configured.empty()) return SplitCommandLine(configured);
  if (const char* env = std::getenv("TAMSO_TERMINAL"); env && *env) return SplitCommandLine(env);
  // Each with the option after which it takes the program and its arguments; the
  // one that would return at once is asked to wait for its program.
  static const std::vector<std::vector<std::string>> known = {
      {"x-terminal-emulator", "-e"},
      {"xterm", "-e"},
      {"konsole", "-e"},
      {"xfce4-terminal", "-x"},
      {"gnome-terminal", "--wait", "--"},
      {"lxterminal", "-e"},
  };
  for (const auto& t : known)
    if (!FindProgram(t[0]).empty()) return t;
  return {};
}

bool RunVisible(const std::string& command, const std::string& arguments,
                const std::string& directory, bool wait, IHost& host, const std::string& terminal) {
  std::vector<std::string> args = SplitCommandLine(command + " " + arguments);
  auto fail = [&] {
    host.MessageBox(VisibleSpawnFailureText(command), kSpawnCaption, MsgIcon::Stop, MsgButtons::Ok);
    return false;
  };
  // A terminal would start even when the program is missing; find out first.
  if (args.empty()) return fail();
  // A relative path is taken from the child's working directory, as exec will.
  std::string program = args[0];
  if (!directory.empty() && program.find('/') != std::string::npos && program[0] != '/')
    program = directory + "/" + program;
  if (FindProgram(program).empty()) return fail();
  std::vector<std::string> prefix = TerminalPrefix(terminal);
  if (!prefix.empty()) args.insert(args.begin(), prefix.begin(), prefix.end());
  pid_t pid = -1;
  if (Spawn(args, directory, nullptr, true, &pid) != 0) return fail();
  if (wait) {
    WaitPid(pid, 0);
  } else {
    ReapInBackground(pid);
  }
  return true;
}

namespace {

// Passes the output on and keeps its last few kilobytes, where a compiler writes
// its counts.
class TailOutput : public IOutput {
 public:
  explicit TailOutput(IOutput& next) : next_(next) {}
  void SetOutput(const std::string& text) override {
    next_.SetOutput(text);
    tail_.clear();
    Keep(text);
  }
  void AppendOutput(const std::string& text, bool newLineFirst) override {
    next_.AppendOutput(text, newLineFirst);
    if (newLineFirst) tail_ += '\n';
    Keep(text);
  }
  void SetReferenceDirectory(const std::string& dir) override { next_.SetReferenceDirectory(dir); }
  void SetReferenceRoots(const std::vector<std::string>& roots) override {
    next_.SetReferenceRoots(roots);
  }
  bool GoToReference(bool forward) override { return next_.GoToReference(forward); }
  const std::string& Tail() const { return tail_; }

 private:
  static constexpr size_t kKeep = 4096;
  void Keep(const std::string& text) {
    tail_ += text;
    if (tail_.size() > 2 * kKeep) tail_.erase(0, tail_.size() - kKeep);
  }
  IOutput& next_;
  std::string tail_;
};

}  // namespace

int BuildThreadProc(const CompileJob& job, IHost& host, IOutput& output, IBuildSlot& slot,
                    RunControl* control) {
  TailOutput tail(output);
  IOutput& out = job.showVerdict ? static_cast<IOutput&>(tail) : output;
  int exitCode = -1;
  int* status = job.showVerdict ? &exitCode : nullptr;
  if (job.args.empty())
    RunCaptured(job.commandLine, job.directory, host, out, slot, control, status);
  else
    RunCapturedArguments(job.args, job.commandLine, job.directory, host, out, slot, control,
                         status);
  output.AppendOutput("", false);
  output.AppendOutput(kSeparator, true);
  output.AppendOutput(job.doneLine, true);
  if (job.showVerdict && !(control && control->Cancelled()))
    host.ShowStatus(CompileVerdict(exitCode, tail.Tail()));
  host.Beep(BeepKind::Default);  // the last call, which callers may wait for
  return job.showVerdict ? exitCode : 0;
}

// --- The compile worker -------------------------------------------------------

namespace {

class BuildJob : public IBuildJob, public std::enable_shared_from_this<BuildJob> {
 public:
  BuildJob(std::function<void(WorkerContext&)> body, IHost& host, IOutput& output, IBuildSlot& slot,
           IUiThread& ui)
      : body_(std::move(body)), host_(host), output_(output), slot_(slot), ui_(ui) {}

  void Start() {
    auto self = shared_from_this();
    std::thread([self] {
      Bridge bridge(*self);
      WorkerContext context{bridge, bridge, bridge, self->control_,
                            [self](std::function<void()> fn) { self->OnUi(std::move(fn)); }};
      self->body_(context);
      {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->finished_ = true;
      }
      self->cv_.notify_all();
    }).detach();
  }

  void Cancel() override {
    control_.Cancel();
    { std::lock_guard<std::mutex> lock(mutex_); }
    cv_.notify_all();
  }
  void Supersede() override { superseded_ = true; }
  bool Finished() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
  }
  bool WaitFinished(int timeoutMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return finished_; });
  }

 private:
  // Runs fn on the user-interface thread and waits for it; gives up waiting when
  // the job is cancelled. fn is skipped when the job was cancelled before it ran:
  // the check happens on the user-interface thread, where Cancel runs too.
  void OnUi(std::function<void()> fn) {
    if (control_.Cancelled()) return;
    auto done = std::make_shared<bool>(false);
    auto self = shared_from_this();
    ui_.Post([self, done, fn = std::move(fn)] {
      if (!self->control_.Cancelled()) fn();
      {
        std::lock_guard<std::mutex> lock(self->mutex_);
        *done = true;
      }
      self->cv_.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [&] { return *done || control_.Cancelled(); });
  }

  // OnUi for what shows in the output window, the status bar or as a beep: dropped
  // once a newer job owns them (checked on the user-interface thread, as Supersede runs).
  void OnUiShown(std::function<void()> fn) {
    OnUi([this, fn = std::move(fn)] {
      if (!superseded_) fn();
    });
  }

  // What the worker sees as host, output window and build slot.
  class Bridge : public IHost, public IOutput, public IBuildSlot {
   public:
    explicit Bridge(BuildJob& job) : job_(job) {}

    template <class R, class F>
    R Call(R fallback, F f) {
      auto result = std::make_shared<R>(fallback);
      job_.OnUi([result, f]() mutable { *result = f(); });
      return *result;
    }

    Answer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                      MsgButtons buttons) override {
      IHost& h = job_.host_;
      return Call(Answer::Cancel, [&h, text, caption, icon, buttons] {
        return h.MessageBox(text, caption, icon, buttons);
      });
    }
    void Beep(BeepKind kind) override {
      IHost& h = job_.host_;
      job_.OnUiShown([&h, kind] { h.Beep(kind); });
    }
    void BeginWaitCursor() override {
      IHost& h = job_.host_;
      job_.OnUi([&h] { h.BeginWaitCursor(); });
    }
    void EndWaitCursor() override {
      IHost& h = job_.host_;
      job_.OnUi([&h] { h.EndWaitCursor(); });
    }
    std::optional<std::string> OpenFileDialog(const FileDialogOptions& o) override {
      IHost& h = job_.host_;
      return Call(std::optional<std::string>(), [&h, o] { return h.OpenFileDialog(o); });
    }
    std::optional<std::string> SaveFileDialog(const FileDialogOptions& o) override {
      IHost& h = job_.host_;
      return Call(std::optional<std::string>(), [&h, o] { return h.SaveFileDialog(o); });
    }
    std::vector<std::string> OpenFilesDialog(const FileDialogOptions& o) override {
      IHost& h = job_.host_;
      return Call(std::vector<std::string>(), [&h, o] { return h.OpenFilesDialog(o); });
    }
    std::optional<std::string> FolderDialog(const FileDialogOptions& o) override {
      IHost& h = job_.host_;
      return Call(std::optional<std::string>(), [&h, o] { return h.FolderDialog(o); });
    }
    std::optional<std::uint32_t> ColorDialog(std::uint32_t initial) override {
      IHost& h = job_.host_;
      return Call(std::optional<std::uint32_t>(), [&h, initial] { return h.ColorDialog(initial); });
    }
    IView* OpenDocument(const std::string& path) override {
      IHost& h = job_.host_;
      return Call(static_cast<IView*>(nullptr), [&h, path] { return h.OpenDocument(path); });
    }
    IView* ActiveView() override {
      IHost& h = job_.host_;
      return Call(static_cast<IView*>(nullptr), [&h] { return h.ActiveView(); });
    }
    IDocument* ActiveDocument() override {
      IHost& h = job_.host_;
      return Call(static_cast<IDocument*>(nullptr), [&h] { return h.ActiveDocument(); });
    }
    IOutput& Output() override { return *this; }
    void ShowStatus(const std::string& text) override {
      IHost& h = job_.host_;
      job_.OnUiShown([&h, text] { h.ShowStatus(text); });
    }

    void SetOutput(const std::string& text) override {
      IOutput& o = job_.output_;
      job_.OnUiShown([&o, text] { o.SetOutput(text); });
    }
    void AppendOutput(const std::string& text, bool newLineFirst) override {
      IOutput& o = job_.output_;
      job_.OnUiShown([&o, text, newLineFirst] { o.AppendOutput(text, newLineFirst); });
    }

    bool IsIdle() const override { return false; }
    void SetBuildThread(std::shared_ptr<IBuildJob> job) override {
      IBuildSlot& s = job_.slot_;
      job_.OnUi([&s, job] { s.SetBuildThread(job); });
    }

   private:
    BuildJob& job_;
  };

  std::function<void(WorkerContext&)> body_;
  IHost& host_;
  IOutput& output_;
  IBuildSlot& slot_;
  IUiThread& ui_;
  RunControl control_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool finished_ = false;
  bool superseded_ = false;  // read and written on the user-interface thread only
};

}  // namespace

std::shared_ptr<IBuildJob> StartBuildThread(CompileJob job, IHost& host, IOutput& output,
                                            IBuildSlot& slot, IUiThread& ui) {
  return StartWorkerJob(
      [job = std::move(job)](WorkerContext& c) {
        const int code = BuildThreadProc(job, c.host, c.output, c.slot, &c.control);
        if (job.afterSuccess && code == 0 && !c.control.Cancelled()) c.onUi(job.afterSuccess);
      },
      host, output, slot, ui);
}

std::shared_ptr<IBuildJob> StartWorkerJob(std::function<void(WorkerContext&)> body, IHost& host,
                                          IOutput& output, IBuildSlot& slot, IUiThread& ui) {
  auto buildJob = std::make_shared<BuildJob>(std::move(body), host, output, slot, ui);
  buildJob->Start();
  return buildJob;
}

}  // namespace tamso
