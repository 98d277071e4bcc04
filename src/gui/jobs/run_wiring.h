#pragma once
// Wires the run commands (Run Java, Run AppletViewer, Launch Web browser) into
// every editor view, with the Java Console created on first use and the question
// about a program still running there when the IDE closes.

namespace tamso {
class IniFile;
class Project;
}  // namespace tamso

namespace tamso::gui {

class QtHost;
class ShellApplication;

void InstallRunCommands(QtHost& host, IniFile& profile, ShellApplication& shell, Project& project);

}  // namespace tamso::gui
