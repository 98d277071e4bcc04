#pragma once
// The project tree's pop-up menu and its commands, apart from the widget.

#include <cstddef>
#include <string>
#include <vector>

#include "project/project.h"

namespace tamso {

inline constexpr int kCmdOpenMember = 32842;
inline constexpr int kCmdMarkMainFile = 32847;
inline constexpr int kCmdRemoveMember = 32845;
inline constexpr int kCmdInsertFiles = 32846;
inline constexpr int kCmdAddFolder = 32961;
inline constexpr int kCmdProjectSettings = 32840;

struct TreeMenuEntry {
  int id = 0;  // 0: a separator
  std::string text;
};

// The pop-up for the selected member (npos: the root or nothing selected, which
// offers only the insert and settings entries).
std::vector<TreeMenuEntry> TreeMenuEntries(const Project& project, std::size_t selected);

// Runs a pop-up command other than kCmdProjectSettings (which the tree runs itself).
void RunTreeCommand(Project& project, int id, std::size_t selected);

// Opens the member as a document; the root or nothing selected does nothing.
void OpenMember(Project& project, std::size_t selected);

}  // namespace tamso
