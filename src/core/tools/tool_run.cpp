#include "tools/tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/run_terminal.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "tools/tool_command.h"
#include "tools/tool_config.h"

extern char** environ;

namespace tamso {

namespace {

pid_t WaitPid(pid_t pid, int options) {
  for (;;) {
    const pid_t r = ::waitpid(pid, nullptr, options);
    if (r >= 0 || errno != EINTR) return r;
  }
}

// Starts argv in its own process group with the given working directory, its input
// at end of file and nothing else of this process open. 0 or an errno value.
int SpawnTool(const std::vector<std::string>& argv, const std::string& directory, pid_t* pid) {
  if (argv.empty() || argv[0].empty()) return ENOENT;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  const int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  bool ok = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                POSIX_SPAWN_SETSIGDEF) == 0 &&
            posix_spawnattr_setpgroup(&attr, 0) == 0;
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2})
    sigaddset(&defaults, sig);
  ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0 &&
       posix_spawnattr_setsigdefault(&attr, &defaults) == 0;
  if (nullInput >= 0) ok = ok && posix_spawn_file_actions_adddup2(&actions, nullInput, 0) == 0;
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  if (!directory.empty())
    ok = ok && posix_spawn_file_actions_addchdir_np(&actions, directory.c_str()) == 0;
  int err = ENOMEM;
  if (ok) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    err = posix_spawnp(pid, args[0], &actions, &attr, args.data(), environ);
  }
  if (nullInput >= 0) ::close(nullInput);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return err;
}

// Waits for the child to exit, or for the run to be cancelled; a cancelled child's
// group had SIGTERM from the cancel and gets SIGKILL after a grace.
void WaitForTool(pid_t pid, RunControl& control) {
  const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  for (;;) {
    if (WaitPid(pid, WNOHANG) == pid) break;
    if (control.Cancelled()) {
      const auto deadline =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(kTerminateGraceMs);
      while (WaitPid(pid, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() >= deadline) {
          ::kill(-pid, SIGKILL);
          WaitPid(pid, 0);
          break;
        }
        ::poll(nullptr, 0, 10);
      }
      break;
    }
    // Sleeps until the child exits or the run is cancelled (in short steps where the
    // system cannot tell us about the exit).
    pollfd fds[2] = {{control.WakeFd(), POLLIN, 0}, {pidFd, POLLIN, 0}};
    ::poll(fds, pidFd >= 0 ? 2 : 1, pidFd >= 0 ? -1 : 20);
  }
  if (pidFd >= 0) ::close(pidFd);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The program as exec will find it; a relative path counts from the child's directory.
bool ProgramExists(const std::string& program, const std::string& directory) {
  std::string p = program;
  if (!directory.empty() && p.find('/') != std::string::npos && p[0] != '/')
    p = directory + "/" + p;
  return !FindProgram(p).empty();
}

}  // namespace

std::string ToolSpawnFailureText(const std::string& commandLine) {
  return "Sorry.\n\nError spawning command\n\n==> " + commandLine +
         "\n\nMake sure your PATH is set correctly";
}

ToolLaunch PrepareTool(int slot, ToolRunContext& context) {
  ToolLaunch launch;
  if (slot < 0 || slot >= kToolSlots) return launch;
  const std::string menuText = ToolMenuText(context.profile, slot);
  if (menuText.empty()) return launch;
  ToolDefinition tool = LoadTool(context.profile, menuText);

  MacroValues values;
  if (IView* view = context.host.ActiveView()) {
    if (IDocument* doc = view->Document()) {
      // Whether the save worked does not matter: the tool runs on what is on disk.
      if (tool.saveBefore) doc->Save();
      launch.documentPath = doc->PathName();
      values = MacroValuesFor(launch.documentPath);
    }
  }
  MacroArguments arguments(tool.args);
  arguments.Replace(values);
  std::vector<std::string> args = arguments.Arguments();
  launch.directory = ExpandDirectory(tool.initDir, values);
  std::string command = tool.command;
  launch.redirect = tool.redirect;

  if (tool.prompt) {
    ToolPrompt prompt{command, JoinArguments(args), launch.directory, std::string(), tool.redirect};
    const std::string shown = prompt.arguments;
    if (!context.site.PromptTool(prompt)) return launch;
    command = prompt.command;
    // Arguments the user left alone keep their exact values; edited ones are split
    // as the user wrote them.
    if (prompt.arguments != shown) args = SplitShellWords(prompt.arguments);
    launch.directory = prompt.initialDir;
    while (!launch.directory.empty() && IsBlank(launch.directory.back()))
      launch.directory.pop_back();
    launch.redirect = prompt.redirect;
  }
  command = TrimmedCommand(command);
  if (command.empty()) return launch;
  // Reloading a file needs one to reload: without an active document the switch does nothing.
  launch.reloadAfter = tool.reloadAfter && !launch.documentPath.empty();
  launch.argv = ToolArgv(command, args);
  launch.commandLine = command + " " + JoinArguments(args);
  if (launch.argv.empty()) launch.argv.push_back(std::string());
  return launch;
}

void ReloadAfterTool(const std::string& path, ToolRunContext& context) {
  if (path.empty()) return;
  IDocument* doc = context.site.FindOpenDocument(path);
  if (!doc) return;
  if (doc->IsModified()) {
    const Answer a = context.host.MessageBox(
        path +
            " has changes that are not saved.\n\nShow the file as the tool left it, and lose "
            "the changes?",
        std::string(), MsgIcon::Question, MsgButtons::YesNo);
    if (a != Answer::Yes) return;
  }
  std::string error;
  if (!context.site.ReloadDocument(*doc, &error))
    context.host.Message("Cannot reload " + path + (error.empty() ? "." : ":\n" + error));
}

std::string ToolEndLine(int exitCode) {
  if (exitCode >= 128) return "Ended by signal " + std::to_string(exitCode - 128);
  return "Exit status " + std::to_string(exitCode);
}

std::string ToolDirectoryMissingText(const std::string& directory) {
  return "The tool's Initial Directory does not exist:\n\n" + directory + "\n\nNothing was run.";
}

std::shared_ptr<IBuildJob> StartTool(const ToolLaunch& launch, ToolRunContext& context) {
  if (launch.argv.empty()) return nullptr;
  IHost& host = context.host;
  const bool background = launch.redirect || launch.reloadAfter;
  if (background && !context.slot.IsIdle()) {
    host.Message(kBusyMessage);
    return nullptr;
  }
  // The tool would fail to start there; say where, rather than blame the PATH.
  if (!launch.directory.empty() && !paths::IsDirectory(launch.directory)) {
    host.MessageBox(ToolDirectoryMissingText(launch.directory), kSpawnCaption, MsgIcon::Stop,
                    MsgButtons::Ok);
    return nullptr;
  }

  if (launch.redirect) {
    context.site.ShowOutput();
    IOutput& out = host.Output();
    out.SetOutput(kExecutingTool);
    // Names in the tool's output are taken from the folder it runs in.
    out.SetReferenceDirectory(launch.directory.empty() ? paths::CurrentDirectory()
                                                       : paths::Absolute(launch.directory));
    out.AppendOutput(launch.commandLine, true);
    out.AppendOutput("", true);
    ToolRunContext* ctx = &context;
    auto job = StartWorkerJob(
        [launch, ctx](WorkerContext& c) {
          int exitCode = -1;
          RunCapturedArguments(launch.argv, launch.commandLine, launch.directory, c.host, c.output,
                               c.slot, &c.control, &exitCode);
          // How the tool ended closes its output (a stopped one says so itself).
          if (!c.control.Cancelled() && exitCode >= 0)
            c.output.AppendOutput(ToolEndLine(exitCode), true);
          // A tool that rewrote the file has the editor show what it left, so that a
          // later save cannot write the old text over the tool's work.
          if (launch.reloadAfter && !c.control.Cancelled())
            c.onUi([launch, ctx] { ReloadAfterTool(launch.documentPath, *ctx); });
        },
        host, out, context.slot, context.ui);
    context.slot.SetBuildThread(job);
    return job;
  }

  if (launch.reloadAfter) {
    if (!ProgramExists(launch.argv[0], launch.directory)) {
      host.MessageBox(VisibleSpawnFailureText(launch.argv[0]), kSpawnCaption, MsgIcon::Stop,
                      MsgButtons::Ok);
      return nullptr;
    }
    ToolRunContext* ctx = &context;
    auto job = StartWorkerJob(
        [launch, ctx](WorkerContext& c) {
          pid_t pid = -1;
          if (SpawnTool(launch.argv, launch.directory, &pid) != 0) {
            c.host.MessageBox(VisibleSpawnFailureText(launch.argv[0]), kSpawnCaption, MsgIcon::Stop,
                              MsgButtons::Ok);
            c.slot.SetBuildThread(nullptr);
            return;
          }
          c.control.SetChildGroup(pid);
          WaitForTool(pid, c.control);
          c.control.SetChildGroup(0);
          c.slot.SetBuildThread(nullptr);
          if (!c.control.Cancelled())
            c.onUi([launch, ctx] { ReloadAfterTool(launch.documentPath, *ctx); });
        },
        host, host.Output(), context.slot, context.ui);
    context.slot.SetBuildThread(job);
    return job;
  }

  if (context.inTerminal) {
    const std::vector<std::string> prefix =
        RunTerminalPrefix(context.terminal.empty() ? nullptr : context.terminal.c_str());
    if (!prefix.empty()) {
      // The terminal would start even for a tool that is not there: say so here.
      if (!ProgramExists(launch.argv[0], launch.directory) ||
          StartDetached(TerminalRunArguments(prefix, context.holdProgram, launch.argv),
                        launch.directory) != 0)
        host.MessageBox(ToolSpawnFailureText(launch.commandLine), kSpawnCaption, MsgIcon::Stop,
                        MsgButtons::Ok);
      return nullptr;
    }
  }
  pid_t pid = -1;
  if (SpawnTool(launch.argv, launch.directory, &pid) != 0) {
    host.MessageBox(ToolSpawnFailureText(launch.commandLine), kSpawnCaption, MsgIcon::Stop,
                    MsgButtons::Ok);
    return nullptr;
  }
  // Nobody waits for the tool; its exit status is collected so it leaves no zombie.
  std::thread([pid] { WaitPid(pid, 0); }).detach();
  return nullptr;
}

std::shared_ptr<IBuildJob> RunTool(int slot, ToolRunContext& context) {
  return StartTool(PrepareTool(slot, context), context);
}

}  // namespace tamso
