#pragma once
// Wires printing, the Help menu's Java entries, Java Search (F1 and the editor's "Help on")
// and the "Using Java Help" dialog into the program.

namespace tamso {
class CT2App;
class IHost;
class IniFile;
class Project;
}  // namespace tamso

namespace tamso::gui {

// The commands live until RemoveHelpCommands. The documentation's search index is
// read on a worker thread from now on, so the first look-up does not wait for it.
// The pages are those of the JDK chosen for the project (may be null) at each use.
void InstallHelpCommands(IniFile& profile, IHost& host, CT2App& app,
                         const Project* project = nullptr);
void RemoveHelpCommands(CT2App& app);

}  // namespace tamso::gui
