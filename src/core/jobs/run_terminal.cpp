#include "jobs/run_terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "jobs/process_runner.h"
#include "jobs/run_console.h"
#include "platform/command_line.h"

extern char** environ;

namespace tamso {

namespace {

std::string BaseNameOf(const std::string& program) {
  const size_t slash = program.find_last_of('/');
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

// The option after which a terminal takes the program to run ("" for one that
// takes it directly).
std::vector<std::string> ExecOption(const std::string& program) {
  const std::string name = BaseNameOf(program);
  if (name == "gnome-terminal" || name == "kgx") return {"--"};
  if (name == "xfce4-terminal" || name == "terminator" || name == "mate-terminal") return {"-x"};
  if (name == "kitty" || name == "foot") return {};
  if (name == "wezterm") return {"start", "--"};
  return {"-e"};
}

}  // namespace

std::vector<std::string> RunTerminalPrefix(const char* terminalEnv) {
  if (terminalEnv && *terminalEnv) {
    std::vector<std::string> prefix = SplitShellWords(terminalEnv);
    if (!prefix.empty() && !FindProgram(prefix[0]).empty()) {
      for (auto& o : ExecOption(prefix[0])) prefix.push_back(std::move(o));
      return prefix;
    }
  }
  static const char* const known[] = {"x-terminal-emulator",
                                      "xterm",
                                      "konsole",
                                      "gnome-terminal",
                                      "xfce4-terminal",
                                      "mate-terminal",
                                      "lxterminal",
                                      "qterminal",
                                      "alacritty",
                                      "kitty",
                                      "foot",
                                      "terminator",
                                      "tilix",
                                      "urxvt",
                                      "st"};
  for (const char* name : known) {
    if (FindProgram(name).empty()) continue;
    std::vector<std::string> prefix{name};
    for (auto& o : ExecOption(name)) prefix.push_back(std::move(o));
    return prefix;
  }
  return {};
}

std::vector<std::string> TerminalRunArguments(const std::vector<std::string>& prefix,
                                              const std::string& holdProgram,
                                              const std::vector<std::string>& args) {
  std::vector<std::string> out = prefix;
  if (!holdProgram.empty()) {
    out.push_back(holdProgram);
    out.emplace_back(kHoldRunOption);
    out.emplace_back("--");
  }
  out.insert(out.end(), args.begin(), args.end());
  return out;
}

int StartDetached(const std::vector<std::string>& args, const std::string& directory,
                  pid_t* pidOut) {
  if (args.empty() || args[0].empty()) return ENOENT;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  bool ok = posix_spawnattr_setflags(
                &attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID) == 0;
  sigset_t none;
  sigemptyset(&none);
  ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0;
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2})
    sigaddset(&defaults, sig);
  ok = ok && posix_spawnattr_setsigdefault(&attr, &defaults) == 0;
  ok = ok && posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0;
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  if (!directory.empty())
    ok = ok && posix_spawn_file_actions_addchdir_np(&actions, directory.c_str()) == 0;
  int err = ENOMEM;
  pid_t pid = -1;
  if (ok) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    err = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (err != 0) return err;
  if (pidOut) *pidOut = pid;
  std::thread([pid] {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

bool ProgramExists(const std::vector<std::string>& args, const std::string& directory) {
  if (args.empty() || args[0].empty()) return false;
  std::string program = args[0];
  // A relative path is taken from the child's working directory, as exec will.
  if (!directory.empty() && program.find('/') != std::string::npos && program[0] != '/')
    program = directory + "/" + program;
  return !FindProgram(program).empty();
}

std::string HoldEndText(int status) {
  return "\n[" + ExitStatusText(status) + "]\nPress Enter to close this window.";
}

int RunHoldMode(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], kHoldRunOption) != 0 || std::strcmp(argv[2], "--") != 0)
    return -1;
  if (argc < 4) return 2;
  pid_t pid = -1;
  int status = 0;
  const int err = posix_spawnp(&pid, argv[3], nullptr, nullptr, argv + 3, environ);
  if (err != 0) {
    std::fprintf(stderr, "%s: %s\n", argv[3], std::strerror(err));
    status = 127 << 8;
  } else {
    // The terminal's Ctrl+C is for the program; this helper stays to show the end.
    ::signal(SIGINT, SIG_IGN);
    ::signal(SIGQUIT, SIG_IGN);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  const std::string end = HoldEndText(status);
  std::fputs(end.c_str(), stdout);
  std::fflush(stdout);
  int c;
  while ((c = std::getchar()) != EOF && c != '\n') {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tamso
