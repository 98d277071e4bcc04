#pragma once
// Phase times of the program's start, printed to standard error only when asked
// (TAMSO_STARTUP_TRACE set to anything but "" or "0"), for the launch bench:
//
//   tamso-startup:     12.3 ms  (+  4.1)  main window built
//
// Times count from the first mark (the start of main). Marking costs one load of a
// flag when tracing is off. Marks come from the window's thread only.

namespace tamso::startup {

// Whether tracing was asked for (read once from the environment).
bool Enabled();
// Prints the phase with the time since the first mark and since the previous one.
void Mark(const char* phase);
// Like Mark, but only the first time this key (a static string) is marked.
void MarkOnce(const char* phase);

}  // namespace tamso::startup
