#pragma once
// The user's tools as the profile keeps them: section "Tools" names the tool of
// each slot ("Tool0" ... "Tool9" hold menu texts), and section "Tool:" + menu text
// holds the tool's command, arguments, initial directory and four switches.

#include <string>
#include <vector>

namespace tamso {

class IniFile;

inline constexpr int kToolSlots = 10;
inline constexpr const char* kToolsSection = "Tools";

struct ToolDefinition {
  std::string menuText;
  std::string command;
  std::string args;
  std::string initDir;
  bool prompt = false;
  bool redirect = false;
  bool reloadAfter = false;
  bool saveBefore = false;
};

// "Tool%d" for the slot.
std::string ToolSlotKey(int slot);
// "Tool:" + menu text.
std::string ToolSection(const std::string& menuText);

// The menu text of a slot ("" for none).
std::string ToolMenuText(const IniFile& profile, int slot);
// The non-empty menu texts of slots 0..9, in slot order.
std::vector<std::string> ReadToolList(const IniFile& profile);
// Replaces the whole "Tools" section by the list ("Tool0" ... in list order), in one
// write. Entries that would not read back as written (a line break in them) are
// written with the line break made a blank.
bool WriteToolList(IniFile& profile, const std::vector<std::string>& list);

// The tool's section (defaults for missing keys); menuText is set to the name.
ToolDefinition LoadTool(const IniFile& profile, const std::string& menuText);
// Writes the tool's section "Tool:" + name.
bool SaveTool(IniFile& profile, const std::string& name, const ToolDefinition& tool);

// A menu text as it can stand in a section name and a value: line breaks become
// blanks (a "]" or "=" is fine: the store reads the section name up to the last "]").
std::string CleanMenuText(const std::string& text);

}  // namespace tamso
