#include "jobs/run_console.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace tamso {

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr int kStopGraceMs = 1000;
// Without a pidfd the exit is looked for this often.
constexpr int kExitPollMs = 50;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The leader's exit, seen without reaping it: its zombie keeps the process group's
// id from being given to anyone else, so signalling the group stays safe.
bool PeekExit(pid_t pid, int& status) {
  siginfo_t info{};
  for (;;) {
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) break;
    if (errno != EINTR) return false;
  }
  if (info.si_pid != pid) return false;
  if (info.si_code == CLD_EXITED)
    status = (info.si_status & 0xff) << 8;
  else
    status = info.si_status & 0x7f;
  return true;
}

int Spawn(const std::vector<std::string>& args, const std::string& directory, int in, int out,
          pid_t* pid) {
  if (args.empty() || args[0].empty()) return ENOENT;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  bool ok = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                POSIX_SPAWN_SETPGROUP) == 0 &&
            posix_spawnattr_setpgroup(&attr, 0) == 0;
  sigset_t none;
  sigemptyset(&none);
  ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0;
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM,
                  SIGTSTP, SIGTTIN, SIGTTOU})
    sigaddset(&defaults, sig);
  ok = ok && posix_spawnattr_setsigdefault(&attr, &defaults) == 0;
  ok = ok && posix_spawn_file_actions_adddup2(&actions, in, 0) == 0 &&
       posix_spawn_file_actions_adddup2(&actions, out, 1) == 0 &&
       posix_spawn_file_actions_adddup2(&actions, out, 2) == 0 &&
       posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  if (!directory.empty())
    ok = ok && posix_spawn_file_actions_addchdir_np(&actions, directory.c_str()) == 0;
  int err = ENOMEM;
  if (ok) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    err = posix_spawnp(pid, argv[0], &actions, &attr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return err;
}

}  // namespace

std::string ExitStatusText(int status) {
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    const char* name = ::sigabbrev_np(sig);
    return "Ended by signal " + std::to_string(sig) +
           (name ? " (SIG" + std::string(name) + ")" : "");
  }
  return "Exit status " + std::to_string(WEXITSTATUS(status));
}

ConsoleProcess::ConsoleProcess(std::function<void()> notify, size_t pendingBound)
    : notify_(std::move(notify)), bound_(pendingBound == 0 ? 1 : pendingBound) {}

int ConsoleProcess::Start(const std::vector<std::string>& args, const std::string& directory) {
  if (pid_ > 0) return EBUSY;
  int out[2], in[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return errno;
  if (::pipe2(in, O_CLOEXEC) != 0) {
    const int e = errno;
    ::close(out[0]);
    ::close(out[1]);
    return e;
  }
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  pid_t pid = -1;
  const int err = Spawn(args, directory, in[0], out[1], &pid);
  ::close(in[0]);
  ::close(out[1]);
  if (err != 0) {
    ::close(in[1]);
    ::close(out[0]);
    CloseFd(wake_[0]);
    CloseFd(wake_[1]);
    return err;
  }
  pid_ = pid;
  outFd_ = out[0];
  inFd_ = in[1];
  ::fcntl(outFd_, F_SETFL, ::fcntl(outFd_, F_GETFL) | O_NONBLOCK);
  ::fcntl(inFd_, F_SETFL, ::fcntl(inFd_, F_GETFL) | O_NONBLOCK);
  pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  thread_ = std::thread([this] { Loop(); });
  return 0;
}

ConsoleProcess::~ConsoleProcess() {
  if (pid_ <= 0) return;
  int status = 0;
  const bool exited = PeekExit(pid_, status);
  if (!exited) ::kill(-pid_, SIGTERM);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  Wake();
  thread_.join();
  if (!exited) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs);
    while (!PeekExit(pid_, status) && std::chrono::steady_clock::now() < deadline) {
      if (pidFd_ >= 0) {
        pollfd p{pidFd_, POLLIN, 0};
        ::poll(&p, 1, 20);
      } else {
        ::poll(nullptr, 0, 10);
      }
    }
  }
  // Whatever of the group is left (a child that ignored SIGTERM, a grandchild the
  // program left behind) goes too; the leader is reaped only after that.
  ::kill(-pid_, SIGKILL);
  while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  CloseFd(outFd_);
  CloseFd(inFd_);
  CloseFd(pidFd_);
  CloseFd(wake_[0]);
  CloseFd(wake_[1]);
}

void ConsoleProcess::Wake() {
  if (wake_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &byte, 1);
  }
}

bool ConsoleProcess::Running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pid_ > 0 && !exited_;
}

std::optional<int> ConsoleProcess::ExitStatus() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!exited_ || !pending_.empty()) return std::nullopt;
  return status_;
}

void ConsoleProcess::WriteInput(std::string bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closeInput_ || inputClosed_) return;
    input_ += bytes;
  }
  Wake();
}

void ConsoleProcess::CloseInput() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closeInput_ = true;
  }
  Wake();
}

bool ConsoleProcess::InputClosed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closeInput_ || inputClosed_;
}

void ConsoleProcess::Stop() {
  if (pid_ <= 0) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopRequested_ = true;
    // The leader is not reaped before the console goes, so the group id is still ours.
    // Once the program has ended, what it left behind gets no grace.
    ::kill(-pid_, exited_ ? SIGKILL : SIGTERM);
  }
  Wake();
}

void ConsoleProcess::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  // Only while the leader lives: its zombie still holds the group id until reaped.
  if (pid_ > 0 && !exited_) ::kill(-pid_, SIGINT);
}

std::string ConsoleProcess::TakeOutput(size_t maxBytes) {
  std::string out;
  bool wasFull = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wasFull = pending_.size() >= bound_;
    if (pending_.size() <= maxBytes) {
      out.swap(pending_);
    } else {
      out = pending_.substr(0, maxBytes);
      pending_.erase(0, maxBytes);
    }
    if (pending_.empty()) notified_ = false;
  }
  if (wasFull) Wake();
  cv_.notify_all();
  return out;
}

bool ConsoleProcess::WaitExited(int timeoutMs, std::string* drained) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (drained) *drained += TakeOutput(SIZE_MAX);
    std::unique_lock<std::mutex> lock(mutex_);
    auto ready = [&] { return exited_ || (drained && !pending_.empty()); };
    if (exited_ && (!drained || pending_.empty())) return true;
    if (!cv_.wait_until(lock, deadline, ready)) return false;
    if (exited_ && (!drained || pending_.empty())) return true;
  }
}

void ConsoleProcess::Loop() {
  // A write to a program that closed its input must not end the IDE: SIGPIPE is
  // held for this thread and taken back after each failed write.
  sigset_t pipeSet;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, nullptr);

  bool leaderExited = false;
  int status = 0;
  bool outOpen = true;
  std::chrono::steady_clock::time_point killAt{};
  bool killPending = false;
  bool killed = false;
  char buffer[kReadChunk];

  auto deliver = [&](const char* p, size_t n, bool finished) {
    bool notify = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.append(p, n);
      if (finished) {
        exited_ = true;
        status_ = status;
      }
      if (!notified_) notify = notified_ = true;
    }
    cv_.notify_all();
    if (notify && notify_) notify_();
  };

  for (;;) {
    bool wantRead, wantWrite, stopping;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (quit_) return;
      stopping = stopRequested_;
      if (stopRequested_ && !killPending && !killed && !leaderExited) {
        killPending = true;
        killAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs);
      }
      if (closeInput_ && input_.empty() && inFd_ >= 0) {
        CloseFd(inFd_);
        inputClosed_ = true;
      }
      wantRead = outOpen && pending_.size() < bound_;
      wantWrite = inFd_ >= 0 && !input_.empty();
    }
    // Stop ends the whole group, also what the program left behind.
    if (leaderExited && stopping && !killed) {
      ::kill(-pid_, SIGKILL);
      killed = true;
    }

    if (leaderExited && wantRead) {
      // The program has gone: take what it left in the pipe, then report its end.
      const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
      if (n > 0) {
        deliver(buffer, static_cast<size_t>(n), false);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      outOpen = false;
      CloseFd(outFd_);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        CloseFd(inFd_);
        input_.clear();
        inputClosed_ = true;
      }
      deliver("", 0, true);
      return;
    }
    if (leaderExited && !outOpen) {
      deliver("", 0, true);
      return;
    }

    pollfd fds[4];
    int count = 0;
    int iWake = -1, iOut = -1, iIn = -1;
    if (wake_[0] >= 0) {
      iWake = count;
      fds[count++] = {wake_[0], POLLIN, 0};
    }
    if (wantRead) {
      iOut = count;
      fds[count++] = {outFd_, POLLIN, 0};
    }
    if (wantWrite) {
      iIn = count;
      fds[count++] = {inFd_, POLLOUT, 0};
    }
    if (!leaderExited && pidFd_ >= 0) {
      fds[count++] = {pidFd_, POLLIN, 0};
    }
    int timeout = -1;
    if (pidFd_ < 0 && !leaderExited) timeout = kExitPollMs;
    if (killPending) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            killAt - std::chrono::steady_clock::now())
                            .count();
      const int ms = left < 0 ? 0 : static_cast<int>(left);
      timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    const int r = ::poll(fds, static_cast<nfds_t>(count), timeout);
    if (r < 0 && errno != EINTR) return;
    if (r > 0 && iWake >= 0 && (fds[iWake].revents & POLLIN)) {
      char sink[64];
      while (::read(wake_[0], sink, sizeof sink) > 0) {
      }
    }
    if (r > 0 && iOut >= 0 && fds[iOut].revents) {
      const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
      if (n > 0) {
        deliver(buffer, static_cast<size_t>(n), false);
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        outOpen = false;  // the program closed its output; it may still run
        CloseFd(outFd_);
      }
    }
    if (r > 0 && iIn >= 0 && fds[iIn].revents) {
      std::lock_guard<std::mutex> lock(mutex_);
      const ssize_t n = ::write(inFd_, input_.data(), input_.size());
      if (n > 0) {
        input_.erase(0, static_cast<size_t>(n));
      } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
        // The program does not read its input any more.
        const timespec zero{0, 0};
        while (::sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
        }
        input_.clear();
        CloseFd(inFd_);
        inputClosed_ = true;
      }
    }
    if (!leaderExited && PeekExit(pid_, status)) leaderExited = true;
    if (killPending && !leaderExited && std::chrono::steady_clock::now() >= killAt) {
      ::kill(-pid_, SIGKILL);
      killPending = false;
      killed = true;
    }
    if (leaderExited && stopping && !killed) {
      ::kill(-pid_, SIGKILL);
      killed = true;
    }
  }
}

}  // namespace tamso
