#pragma once
// Wires the code-generation commands into the program: "Insert Skeleton Code" on
// every editor view and "Class Wizard" for the whole window.

#include <string>

namespace tamso {
class IniFile;
}

namespace tamso::gui {

class MainWindow;
class QtHost;
class ShellApplication;

void InstallCodegenCommands(ShellApplication& shell, IniFile& profile, QtHost& host);

// Opens text as a new, unsaved Java document of that name.
void OpenGeneratedClass(MainWindow& window, const std::string& documentName,
                        const std::string& text);

// Runs the code wizard sheet for the window's active document.
void RunClassWizard(MainWindow& window, IniFile& profile, QtHost& host);

}  // namespace tamso::gui
