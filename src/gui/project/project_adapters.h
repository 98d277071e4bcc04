#pragma once
// Joining the project tree bar to the main window.

#include "project/project.h"

namespace tamso::gui {

// Makes the main window's project bar a project tree bar of this project (call it
// before the main window is created).
void InstallProjectTreeBar(Project& project);

}  // namespace tamso::gui
