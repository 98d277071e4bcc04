#pragma once
// Wires "Compile active .java file" into every editor view: the document is saved
// and javac runs on a worker thread with its output streamed into the output
// window; when the compile ends by itself, the diagnostics of its output mark their
// lines in the open editors.

namespace tamso {
class IniFile;
class Project;
}  // namespace tamso

namespace tamso::gui {

class QtHost;
class ShellApplication;

// project may be null. Undone by SetViewCommand(cmd::kCompile, {}).
void InstallCompileCommand(QtHost& host, IniFile& profile, ShellApplication& shell,
                           Project* project);

// "Build project" and "Rebuild entire project": the application's commands, enabled
// while the project is open; one compiler run over the project's Java files with the
// output streamed, and the diagnostics marked when it ends by itself.
void InstallBuildCommands(QtHost& host, IniFile& profile, ShellApplication& shell,
                          Project& project);

}  // namespace tamso::gui
