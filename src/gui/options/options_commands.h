#pragma once
// Wires the options commands into the application: "Settings..." (also the editor's
// right-button "Settings..."), "Editor Font...", "What's Cool..." and the start-up tips.

namespace tamso {
class IniFile;
}

namespace tamso::gui {

class QtHost;
class ShellApplication;

// offerTips false: no tips at start-up (a start that quits once idle).
void InstallOptionsCommands(ShellApplication& shell, IniFile& profile, QtHost& host,
                            bool offerTips);

}  // namespace tamso::gui
