#pragma once
// Starting the external programs the system drives (compiler, applet viewer, user
// tools) as child processes. The command line is split into arguments and the
// program started directly, never through a shell. Every child gets its own
// process group, so ending a run ends everything the child started.
//
// A captured run gives the child a pipe as its standard output and standard error
// (in the order written) and a standard input that is already at end of file, and
// appends each chunk of at most 4096 bytes to the output window as it arrives.

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/build_job.h"

namespace tamso {

class IHost;
class IOutput;

inline constexpr size_t kOutputChunk = 4096;
// How long a child may take to end after SIGTERM before it is killed.
inline constexpr int kTerminateGraceMs = 1000;
inline constexpr const char* kSeparator = "--------------------------------";
inline constexpr const char* kDoneLine = "Done.  Dbl-Click on line numbers to position src code";
inline constexpr const char* kSpawnCaption = "VOZ";

// Cancellation of one captured run, shared by the thread that reads the child's
// output and the thread that stops it.
class RunControl {
 public:
  RunControl();
  ~RunControl();
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  // Any thread, any number of times: marks the run cancelled, sends SIGTERM to the
  // child's process group and wakes the reader.
  void Cancel();
  bool Cancelled() const { return cancelled_.load(); }
  // Readable once the run is cancelled.
  int WakeFd() const { return wake_[0]; }

  // The runner names the child's process group (0: none). A run cancelled before
  // its child started has the child terminated at once.
  void SetChildGroup(pid_t pgid);

 private:
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  pid_t group_ = 0;
  int wake_[2] = {-1, -1};
};

// The descriptors a child takes as its standard input and as its standard output
// and error; -1 leaves the parent's own.
struct ChildIo {
  int input = -1;
  int output = -1;
};

// Message texts.
std::string SpawnFailureText(const std::string& commandLine, const std::string& directory);
std::string VisibleSpawnFailureText(const std::string& command);

// "Err %s" in the plain application message box.
void ReportRunnerError(IHost& host, const std::string& text);

// Starts the command line hidden (no terminal) in its own process group, with the
// given working directory (empty: the current one). On failure shows the spawn
// message and returns false. With wait, waits for the child to exit.
bool StartProcess(const std::string& commandLine, const std::string& directory, bool wait,
                  IHost& host, const ChildIo* io = nullptr, pid_t* pid = nullptr);

// The same for an argument vector given as it is; commandLine is what messages show.
bool StartArguments(const std::vector<std::string>& args, const std::string& commandLine,
                    const std::string& directory, bool wait, IHost& host,
                    const ChildIo* io = nullptr, pid_t* pid = nullptr);

// Reads the pipe until it ends (every writer has closed it) or the run is cancelled,
// appending each chunk exactly as read.
void ReadOutput(int readFd, IOutput& output, RunControl* control = nullptr);

// Runs the command line with captured output and returns when the output has
// ended (or the run was cancelled). Always ends with slot.SetBuildThread(null).
// With exitCode, waits for the child to end and stores its exit status there (128 +
// the signal for a child killed by one; left alone when the child did not start or
// the run was cancelled).
int RunCaptured(const std::string& commandLine, const std::string& directory, IHost& host,
                IOutput& output, IBuildSlot& slot, RunControl* control = nullptr,
                int* exitCode = nullptr);

// The same for an argument vector given as it is; commandLine is what messages show.
int RunCapturedArguments(const std::vector<std::string>& args, const std::string& commandLine,
                         const std::string& directory, IHost& host, IOutput& output,
                         IBuildSlot& slot, RunControl* control = nullptr, int* exitCode = nullptr);

// Starts command + " " + arguments in a window of its own: inside a terminal
// emulator (so that a console program can be seen) when one is configured or found,
// else directly. Not captured; with wait, waits for it to exit. On failure shows
// the short spawn message and returns false.
bool RunVisible(const std::string& command, const std::string& arguments,
                const std::string& directory, bool wait, IHost& host,
                const std::string& terminal = std::string());

// The argument prefix that runs a program in a terminal window: the configured
// command line when given, else $TAMSO_TERMINAL, else the first known terminal
// emulator on PATH. Empty when there is none.
std::vector<std::string> TerminalPrefix(const std::string& configured);

// The full path of a program as exec would find it ("" when not found).
std::string FindProgram(const std::string& name);

struct CompileJob {
  std::string commandLine;  // as shown; split into arguments when args is empty
  std::string directory;
  std::vector<std::string> args = {};  // the program and its arguments, each as it is
  const char* doneLine = kDoneLine;    // the last line written after the run
  bool showVerdict = false;            // a compile: say in the status bar how it ended
  // Runs on the user-interface thread after a compile that ended with exit status 0
  // (not after one that was stopped); may be empty.
  std::function<void()> afterSuccess = {};
};

// The compile worker's body: the captured run, then the closing lines, for a compile
// the verdict in the status bar, and a beep as the last call. Returns the compiler's
// exit code for a compile (showVerdict), else 0.
int BuildThreadProc(const CompileJob& job, IHost& host, IOutput& output, IBuildSlot& slot,
                    RunControl* control);

// Runs BuildThreadProc on a worker thread. Everything the worker does to the host,
// the output window and the build slot runs on the user-interface thread (the
// worker waits for each call), and nothing at all once the job is cancelled.
// host, output, slot and ui must outlive the job: cancel it and wait for it before
// they go.
std::shared_ptr<IBuildJob> StartBuildThread(CompileJob job, IHost& host, IOutput& output,
                                            IBuildSlot& slot, IUiThread& ui);

// What a worker body sees: the host, output window and build slot as the compile
// worker sees them (each call runs on the user-interface thread), the run's control,
// and OnUi, which runs fn on the user-interface thread and waits for it (skipped once
// the job is cancelled).
struct WorkerContext {
  IHost& host;
  IOutput& output;
  IBuildSlot& slot;
  RunControl& control;
  std::function<void(std::function<void()>)> onUi;
};

// Runs any body on a worker thread the way StartBuildThread runs the compile.
std::shared_ptr<IBuildJob> StartWorkerJob(std::function<void(WorkerContext&)> body, IHost& host,
                                          IOutput& output, IBuildSlot& slot, IUiThread& ui);

}  // namespace tamso
