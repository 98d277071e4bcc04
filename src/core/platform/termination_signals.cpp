#include "platform/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace tamso {

namespace {

static_assert(SIGTERM == 15 && SIGHUP == 1 && SIGINT == 2);

int g_writeFd = -1;
struct sigaction g_previous[3];

void OnSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe already says that a signal came; the byte may then be dropped.
  [[maybe_unused]] ssize_t n = ::write(g_writeFd, &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals& TerminationSignals::Install() {
  static TerminationSignals instance;
  return instance;
}

TerminationSignals::TerminationSignals() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readFd_ = fds[0];
  g_writeFd = fds[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(kTerminationSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals() {
  if (readFd_ < 0) return;
  for (int i = 0; i < 3; ++i) ::sigaction(kTerminationSignals[i], &g_previous[i], nullptr);
  ::close(readFd_);
  ::close(g_writeFd);
  g_writeFd = -1;
}

int TerminationSignals::Take() {
  int last = 0;
  unsigned char buffer[64];
  for (;;) {
    const ssize_t n = ::read(readFd_, buffer, sizeof buffer);
    if (n > 0) {
      last = buffer[n - 1];
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return last;
  }
}

}  // namespace tamso
