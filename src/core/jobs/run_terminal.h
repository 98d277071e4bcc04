#pragma once
// Running a console program where the user can see it: in a terminal emulator
// that stays open after the program ends, showing how it ended.
//
// The terminal is $TERMINAL, else x-terminal-emulator, else the first common one
// on PATH. It is given our own hold helper (this executable started with
// kHoldRunOption), which runs the program, prints its exit status and waits for
// Enter, so the output does not vanish with the window.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tamso {

inline constexpr const char* kHoldRunOption = "--hold-run";
inline constexpr const char* kNoTerminalMessage =
    "No terminal emulator was found to run the program in.\n\n"
    "Set the TERMINAL environment variable to one, or install xterm.\n\n"
    "Run the program in the private Java Console instead?";

// The terminal and the option after which it takes the program and its arguments:
// the command line in terminalEnv (as $TERMINAL gives it, split as a shell splits
// words; its program's name picks the option, "-e" when unknown), else the known
// ones found on PATH. Empty when there is none.
std::vector<std::string> RunTerminalPrefix(const char* terminalEnv);

// prefix + holdProgram kHoldRunOption "--" + args (args alone without a hold program).
std::vector<std::string> TerminalRunArguments(const std::vector<std::string>& prefix,
                                              const std::string& holdProgram,
                                              const std::vector<std::string>& args);

// Starts args in directory in a session of its own, not waited for (its exit status
// is collected in the background). 0, or the errno of the failure.
int StartDetached(const std::vector<std::string>& args, const std::string& directory,
                  pid_t* pid = nullptr);

// Whether args[0] names a program exec would find when started in directory.
bool ProgramExists(const std::vector<std::string>& args, const std::string& directory);

// The hold helper's body, for a command line "PROGRAM --hold-run -- ARGS...": runs
// ARGS, then prints how it ended and waits for a line on standard input. Returns
// the exit code for main, or -1 when argv is no hold command line.
int RunHoldMode(int argc, char** argv);

// The hold helper's last lines for a wait status.
std::string HoldEndText(int waitStatus);

}  // namespace tamso
