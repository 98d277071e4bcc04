#pragma once
// The program's command line as start-up reads it.

#include <string>
#include <vector>

namespace tamso {

struct AppCommandLine {
  bool embedding = false;          // -Embedding or /Embedding
  bool automation = false;         // -Automation or /Automation
  bool quitWhenIdle = false;       // --quit-when-idle: print the start-up time and end (measuring)
  std::vector<std::string> files;  // documents to open after start-up
  // The start banner and the tips are offered only on an interactive start.
  bool ShowSplash() const { return !embedding && !automation; }
};

// Takes the project files (".jap", any letter case) out of files and returns the last
// one as an absolute name (empty when there is none); makes the other names absolute,
// since opening a project changes the current directory.
std::string TakeProjectFile(std::vector<std::string>& files);

// Parses the arguments after the program name. "--profile PATH" (or "--profile=PATH")
// belongs to the profile lookup and is skipped; after "--" every argument is a file.
AppCommandLine ParseAppCommandLine(const std::vector<std::string>& args);

}  // namespace tamso
