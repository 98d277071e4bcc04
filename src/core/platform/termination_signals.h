#pragma once
// The signals that end a desktop program from outside (SIGTERM at logout or from
// kill, SIGHUP when its terminal goes, SIGINT from Ctrl+C) are caught and turned
// into bytes on a pipe, so that the program can end in its event loop as Exit
// would: the handler itself only writes the signal number, nothing else.

namespace tamso {

class TerminationSignals {
 public:
  // Installs the handlers (once per process) and returns the one instance; the
  // earlier handlers come back when it goes (at process end).
  static TerminationSignals& Install();

  // Readable (non-blocking, close-on-exec) when a signal has come in.
  int ReadFd() const { return readFd_; }

  // The last signal number taken from the pipe (draining it), or 0 when none.
  int Take();

  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  TerminationSignals();
  ~TerminationSignals();
  int readFd_ = -1;
};

// The signals that are caught.
inline constexpr int kTerminationSignals[] = {15 /* SIGTERM */, 1 /* SIGHUP */, 2 /* SIGINT */};

}  // namespace tamso
