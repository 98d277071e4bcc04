#pragma once
// How the main window presents its documents, and where its file dialogs start.

#include <string>

namespace tamso {

class IniFile;

// Documents as tabs (the default) or as floating windows: "Window"/"Tabbed", 1 or 0.
bool ReadTabbedWindows(const IniFile& profile);
void WriteTabbedWindows(IniFile& profile, bool tabbed);

// The folder a file dialog starts in: the active document's, else the open
// project's, else the one a dialog was last closed in; empty when none is known.
// Paths are files (the document, the project file) and a folder (the last one).
std::string DialogStartDirectory(const std::string& activeDocument, const std::string& projectFile,
                                 const std::string& lastUsed);

}  // namespace tamso
