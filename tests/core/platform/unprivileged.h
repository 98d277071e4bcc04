#pragma once
// Runs a piece of a test as an unprivileged user, where permissions really hold
// (the superuser may create files in a read-only directory). The piece runs in a
// child process; its exit code comes back (0 means it did what it should).

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tamso::testing {

inline constexpr uid_t kNobody = 65534;

// The code the child exited with, or -1 when it could not run.
inline int RunUnprivileged(const std::function<int()>& piece) {
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(120);
    ::_exit(piece());
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The uid files must belong to for RunUnprivileged to own them.
inline uid_t UnprivilegedUid() {
  return ::geteuid() == 0 ? kNobody : ::geteuid();
}

}  // namespace tamso::testing
