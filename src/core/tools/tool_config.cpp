#include "tools/tool_config.h"

#include <string_view>

#include "platform/ini_file.h"

namespace tamso {

namespace {

// Key names match without regard to letter case, as the store matches them.
bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

// An integer switch as the store reads integers: non-zero is on.
bool Flag(const std::string& v) {
  size_t i = v.find_first_not_of(" \t");
  if (i == std::string::npos) return false;
  if (v[i] == '-' || v[i] == '+') ++i;
  for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
    if (v[i] != '0') return true;
  return false;
}

}  // namespace

std::string ToolSlotKey(int slot) {
  return "Tool" + std::to_string(slot);
}

std::string CleanMenuText(const std::string& text) {
  std::string r = text;
  for (char& c : r)
    if (c == '\n' || c == '\r') c = ' ';
  return r;
}

std::string ToolSection(const std::string& menuText) {
  // A section name ends at its first "]" and is trimmed when read back, so the name
  // is written without either; else every write would append one more section.
  std::string name = "Tool:" + CleanMenuText(menuText);
  for (char& c : name)
    if (c == ']') c = ')';
  while (name.size() > 5 && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  return name;
}

std::string ToolMenuText(const IniFile& profile, int slot) {
  return profile.GetString(kToolsSection, ToolSlotKey(slot), "");
}

std::vector<std::string> ReadToolList(const IniFile& profile) {
  // One read of the file for all ten keys.
  std::vector<std::string> bySlot(kToolSlots);
  for (const auto& [key, value] : profile.ReadSection(kToolsSection)) {
    for (int i = 0; i < kToolSlots; ++i) {
      std::string& slot = bySlot[static_cast<size_t>(i)];
      if (slot.empty() && SameKey(key, ToolSlotKey(i))) slot = value;
    }
  }
  std::vector<std::string> list;
  for (auto& text : bySlot)
    if (!text.empty()) list.push_back(std::move(text));
  return list;
}

bool WriteToolList(IniFile& profile, const std::vector<std::string>& list) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t i = 0; i < list.size() && i < static_cast<size_t>(kToolSlots); ++i)
    entries.emplace_back(ToolSlotKey(static_cast<int>(i)), CleanMenuText(list[i]));
  if (entries.empty()) return profile.RemoveSection(kToolsSection);
  return profile.ReplaceSection(kToolsSection, entries);
}

ToolDefinition LoadTool(const IniFile& profile, const std::string& menuText) {
  ToolDefinition t;
  t.menuText = menuText;
  const std::string section = ToolSection(menuText);
  // One read of the file for the whole section; the first of a key counts.
  bool seen[7] = {};
  for (const auto& [key, value] : profile.ReadSection(section)) {
    if (SameKey(key, "Command") && !seen[0]) t.command = value, seen[0] = true;
    if (SameKey(key, "Args") && !seen[1]) t.args = value, seen[1] = true;
    if (SameKey(key, "InitDir") && !seen[2]) t.initDir = value, seen[2] = true;
    if (SameKey(key, "Prompt") && !seen[3]) t.prompt = Flag(value), seen[3] = true;
    if (SameKey(key, "Redirect") && !seen[4]) t.redirect = Flag(value), seen[4] = true;
    if (SameKey(key, "ReloadAfter") && !seen[5]) t.reloadAfter = Flag(value), seen[5] = true;
    if (SameKey(key, "SaveBefore") && !seen[6]) t.saveBefore = Flag(value), seen[6] = true;
  }
  return t;
}

bool SaveTool(IniFile& profile, const std::string& name, const ToolDefinition& tool) {
  const std::string section = ToolSection(name);
  // The keys of the section other than ours are kept, in their order, and ours are
  // written in one rewrite of the file.
  std::vector<std::pair<std::string, std::string>> entries = {
      {"Command", tool.command},
      {"Args", tool.args},
      {"InitDir", tool.initDir},
      {"Prompt", tool.prompt ? "1" : "0"},
      {"Redirect", tool.redirect ? "1" : "0"},
      {"ReloadAfter", tool.reloadAfter ? "1" : "0"},
      {"SaveBefore", tool.saveBefore ? "1" : "0"},
  };
  std::vector<std::pair<std::string, std::string>> all;
  for (auto& [key, value] : profile.ReadSection(section)) {
    bool ours = false;
    for (const auto& e : entries) ours = ours || SameKey(key, e.first);
    if (!ours) all.emplace_back(key, value);
  }
  for (auto& e : entries) all.push_back(std::move(e));
  return profile.ReplaceSection(section, all);
}

}  // namespace tamso
