#include "jobs/run_console.h"

#include <dirent.h>
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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace tamso {

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr int kStopGraceMs = 1000;
// Without a pidfd the exit is looked for this often.
constexpr int kExitPollMs = 50;
// What the program left in its group is watched through a pidfd each, up to this
// many; beyond that (or without pidfds) the group is looked at this often.
constexpr size_t kMaxWatched = 64;
constexpr int kGroupPollMs = 100;

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

// True when pid is alive (not a zombie) in process group pgid.
bool InGroup(pid_t pid, pid_t pgid) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%ld/stat", static_cast<long>(pid));
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buf[512];
  const ssize_t n = ::read(fd, buf, sizeof buf - 1);
  ::close(fd);
  if (n <= 0) return false;
  buf[n] = '\0';
  // The name in parentheses may hold anything, also ") ": the fields follow the last one.
  const char* paren = std::strrchr(buf, ')');
  char state = 0;
  int ppid = 0, pgrp = 0;
  if (!paren || std::sscanf(paren + 1, " %c %d %d", &state, &ppid, &pgrp) != 3) return false;
  return pgrp == pgid && state != 'Z' && state != 'X';
}

// The live members of process group pgid other than its leader.
std::vector<pid_t> GroupMembers(pid_t pgid) {
  std::vector<pid_t> members;
  DIR* dir = ::opendir("/proc");
  if (!dir) return members;
  while (const dirent* entry = ::readdir(dir)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || pid <= 0 || pid == pgid) continue;
    if (InGroup(static_cast<pid_t>(pid), pgid)) members.push_back(static_cast<pid_t>(pid));
  }
  ::closedir(dir);
  return members;
}

// What is left of a program's group after the program itself exited, each member
// watched through a pidfd so that its end wakes the console's thread.
class GroupWatch {
 public:
  GroupWatch() = default;
  ~GroupWatch() { Clear(); }
  GroupWatch(const GroupWatch&) = delete;
  GroupWatch& operator=(const GroupWatch&) = delete;

  void Scan(pid_t pgid) {
    // A member that ends while it is looked at may have started another: look again.
    for (int attempt = 0; attempt < 8; ++attempt) {
      Clear();
      members_ = GroupMembers(pgid);
      bool again = false;
      for (pid_t m : members_) {
        if (fds_.size() >= kMaxWatched) {
          watched_ = false;
          return;
        }
        const int fd = static_cast<int>(::syscall(SYS_pidfd_open, m, 0));
        if (fd < 0 && errno != ESRCH) {
          watched_ = false;
          return;
        }
        // Still the same process, and still in the group, now that its pidfd is held.
        if (fd < 0 || !InGroup(m, pgid)) {
          if (fd >= 0) ::close(fd);
          again = true;
          continue;
        }
        fds_.push_back(fd);
      }
      watched_ = true;
      if (!again) return;
    }
    watched_ = false;
  }
  bool Empty() const { return members_.empty(); }
  // True when the end of every member wakes a poll on Fds().
  bool Watched() const { return watched_; }
  const std::vector<int>& Fds() const { return fds_; }

 private:
  void Clear() {
    for (int fd : fds_) ::close(fd);
    fds_.clear();
    members_.clear();
  }
  std::vector<pid_t> members_;
  std::vector<int> fds_;
  bool watched_ = true;
};

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
  bool ended = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended = exited_;
    quit_ = true;
  }
  // The program, or what it left running, goes with the console.
  if (!ended) ::kill(-pid_, SIGTERM);
  Wake();
  thread_.join();
  if (!ended) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs);
    for (;;) {
      int status = 0;
      const bool leaderGone = PeekExit(pid_, status);
      if (leaderGone && GroupMembers(pid_).empty()) break;
      if (std::chrono::steady_clock::now() >= deadline) break;
      if (!leaderGone && pidFd_ >= 0) {
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

std::optional<int> ConsoleProcess::ProgramStatus() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!programExited_) return std::nullopt;
  return status_;
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
    if (exited_) return;
    stopRequested_ = true;
    // The leader is not reaped before the console goes, so the group id is still
    // ours, also after the program itself has exited. What is left after the grace
    // is killed by the console's thread.
    ::kill(-pid_, SIGTERM);
  }
  Wake();
}

void ConsoleProcess::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  // Only while the run lasts: the unreaped leader keeps the group id ours until then.
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

bool ConsoleProcess::WaitProgramExited(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return programExited_ || exited_; });
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
  // What is left of the group once the program has exited, looked at again whenever
  // one of them ends (or, without pidfds, every kGroupPollMs).
  GroupWatch group;
  bool rescan = false;
  char buffer[kReadChunk];

  auto deliver = [&](const char* p, size_t n, bool finished) {
    bool notify = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.append(p, n);
      if (finished) {
        exited_ = true;
        CloseFd(inFd_);
        input_.clear();
        inputClosed_ = true;
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
      if (closeInput_ && input_.empty() && inFd_ >= 0) {
        CloseFd(inFd_);
        inputClosed_ = true;
      }
      wantRead = outOpen && pending_.size() < bound_;
      wantWrite = inFd_ >= 0 && !input_.empty();
    }
    if (stopping && !killPending && !killed) {
      killPending = true;
      killAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs);
    }
    if (leaderExited && rescan) {
      group.Scan(pid_);
      rescan = false;
    }
    if (leaderExited && outOpen && stopping && killed && group.Empty()) {
      // Stopped, and the group is gone: a holder of the pipe outside it (one that
      // left the session) is not waited for. Take what is there and finish.
      for (;;) {
        const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
        if (n > 0) {
          deliver(buffer, static_cast<size_t>(n), false);
          continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
      }
      outOpen = false;
      CloseFd(outFd_);
    }
    if (leaderExited && !outOpen && group.Empty()) {
      deliver("", 0, true);
      return;
    }

    std::vector<pollfd> fds;
    fds.reserve(4 + group.Fds().size());
    int iWake = -1, iOut = -1, iIn = -1;
    if (wake_[0] >= 0) {
      iWake = static_cast<int>(fds.size());
      fds.push_back({wake_[0], POLLIN, 0});
    }
    if (wantRead) {
      iOut = static_cast<int>(fds.size());
      fds.push_back({outFd_, POLLIN, 0});
    }
    if (wantWrite) {
      iIn = static_cast<int>(fds.size());
      fds.push_back({inFd_, POLLOUT, 0});
    }
    if (!leaderExited && pidFd_ >= 0) fds.push_back({pidFd_, POLLIN, 0});
    const size_t firstMember = fds.size();
    if (leaderExited)
      for (int fd : group.Fds()) fds.push_back({fd, POLLIN, 0});
    int timeout = -1;
    if (pidFd_ < 0 && !leaderExited) timeout = kExitPollMs;
    if (leaderExited && !group.Empty() && !group.Watched()) timeout = kGroupPollMs;
    if (killPending) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            killAt - std::chrono::steady_clock::now())
                            .count();
      const int ms = left < 0 ? 0 : static_cast<int>(left);
      timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    const int r = ::poll(fds.data(), static_cast<nfds_t>(fds.size()), timeout);
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
        // Every holder has closed it; the program or its children may still run.
        outOpen = false;
        CloseFd(outFd_);
        rescan = leaderExited;
      }
    }
    if (r > 0 && iIn >= 0 && fds[iIn].revents) {
      std::lock_guard<std::mutex> lock(mutex_);
      const ssize_t n = ::write(inFd_, input_.data(), input_.size());
      if (n > 0) {
        input_.erase(0, static_cast<size_t>(n));
      } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
        // Nothing reads the input any more.
        const timespec zero{0, 0};
        while (::sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
        }
        input_.clear();
        CloseFd(inFd_);
        inputClosed_ = true;
      }
    }
    for (size_t i = firstMember; r > 0 && i < fds.size(); ++i)
      if (fds[i].revents) rescan = true;
    if (leaderExited && !group.Empty() && !group.Watched()) rescan = true;
    if (!leaderExited && PeekExit(pid_, status)) {
      leaderExited = true;
      // What the program left in its group is known before its exit is told, so
      // that nobody sees the run end and start again.
      group.Scan(pid_);
      rescan = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        programExited_ = true;
        status_ = status;
      }
      cv_.notify_all();
      if (notify_) notify_();
    }
    if (killPending && std::chrono::steady_clock::now() >= killAt) {
      // The grace is over: whatever of the group is left is killed.
      ::kill(-pid_, SIGKILL);
      killPending = false;
      killed = true;
      rescan = leaderExited;
    }
  }
}

}  // namespace tamso
