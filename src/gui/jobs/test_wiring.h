#pragma once
// Wires Run Tests (the active test class, or the test method the caret is in) into
// every editor view and Run All Tests into the application, with the failures marked
// in the editors as compile errors are.

#include <string>

namespace tamso {
class IniFile;
class Project;
}  // namespace tamso

namespace tamso::gui {

class QtHost;
class ShellApplication;

void InstallTestCommands(QtHost& host, IniFile& profile, ShellApplication& shell, Project& project);

// Opens the file and runs its tests, the whole class (for the project tree's and the
// class browser's pop-ups).
void RunTestsOfFile(const std::string& path);

}  // namespace tamso::gui
