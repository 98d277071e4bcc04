#pragma once
// A program running in the IDE's own console: its standard output and error come
// back through one pipe, typed input goes to its standard input, and it runs in a
// process group of its own, so Stop and the end of the IDE end all it started.
//
// The run lasts until the program, everything left in its process group and every
// holder of its output pipe have gone: a child the program started and left behind
// still has its output shown and can still be stopped.
//
// One thread per program moves the bytes. Output waits in a buffer until the
// window takes it; when the window falls behind by more than the buffer's bound
// the thread stops reading, so the program (not the window) waits, and memory
// stays bounded. Input is written without ever blocking the caller.

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tamso {

// "Exit status N" or "Ended by signal N (NAME)" for a wait status.
std::string ExitStatusText(int waitStatus);

class ConsoleProcess {
 public:
  static constexpr size_t kDefaultPendingBound = size_t{4} << 20;

  // notify runs on the console's thread whenever output or the exit becomes
  // available while none was waiting; it must return quickly (post to the window).
  explicit ConsoleProcess(std::function<void()> notify, size_t pendingBound = kDefaultPendingBound);
  // Ends the program's whole group (SIGTERM, SIGKILL after a short grace) and waits.
  ~ConsoleProcess();
  ConsoleProcess(const ConsoleProcess&) = delete;
  ConsoleProcess& operator=(const ConsoleProcess&) = delete;

  // Starts args in directory (empty: the current one). 0, or the errno of the failure.
  int Start(const std::vector<std::string>& args, const std::string& directory);

  pid_t Pid() const { return pid_; }
  // True from a successful Start until the program and all it left running in its
  // process group have ended and their output is read.
  bool Running() const;
  // The program's own wait status as soon as it has exited, while what it started
  // may still run.
  std::optional<int> ProgramStatus() const;
  // The program's wait status once the whole run has ended and all its output was taken.
  std::optional<int> ExitStatus() const;

  // Queues bytes for the program's standard input; never blocks.
  void WriteInput(std::string bytes);
  // Closes the standard input once the queued bytes are written (end of file).
  void CloseInput();
  bool InputClosed() const;
  // Ends the whole process group: SIGTERM now, SIGKILL to what is left after the grace.
  // Returns at once.
  void Stop();
  // Sends SIGINT to the program's whole group, as Ctrl+C in a terminal does.
  void Interrupt();

  // Takes at most maxBytes of the output that has come.
  std::string TakeOutput(size_t maxBytes);

  // For tests and the end of the IDE: waits at most timeoutMs for the program to exit
  // and its output to be taken by someone else (or, with drain, takes it itself
  // into *drained). True when it has exited.
  bool WaitExited(int timeoutMs, std::string* drained = nullptr);
  // Waits at most timeoutMs for the program itself to exit; true when it has.
  bool WaitProgramExited(int timeoutMs);

 private:
  void Loop();
  void Wake();

  std::function<void()> notify_;
  size_t bound_;
  pid_t pid_ = -1;
  int outFd_ = -1;
  int inFd_ = -1;
  int pidFd_ = -1;
  int wake_[2] = {-1, -1};
  std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::string pending_;  // output not yet taken
  std::string input_;    // input not yet written
  bool closeInput_ = false;
  bool inputClosed_ = false;
  bool exited_ = false;  // the whole run has ended and its output is all read
  int status_ = 0;
  bool programExited_ = false;  // the program itself has exited (status_ holds how)
  bool notified_ = false;       // a notify is outstanding (nothing taken since)
  bool stopRequested_ = false;
  bool quit_ = false;
};

}  // namespace tamso
