#pragma once
// The INI store on any file: every read gives a value, and a write changes only
// what it says (the value written reads back as written, every other section reads
// as before, a replaced section reads back as its entries).
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso::fuzz {

inline int FuzzIniStore(std::string_view input) {
  // The file's text in memory: the reading and writing rules are those of a file.
  IniFile ini = IniFile::InMemory(std::string(input));
  std::vector<std::string> sections = ini.Sections();
  if (sections.size() > 16) sections.resize(16);
  std::vector<std::vector<std::pair<std::string, std::string>>> before;
  for (const std::string& s : sections) {
    before.push_back(ini.ReadSection(s));
    // Each lookup reads the whole text again: a few keys per section are enough to
    // reach every reading rule without making large inputs quadratic.
    std::size_t looked = 0;
    for (const auto& [key, value] : before.back()) {
      if (++looked > 8) break;
      (void)ini.GetInt(s, key, 7);
      (void)ini.GetYesNo(s, key);
    }
  }
  // A value taken from the input, so that quotes, blanks and odd bytes get written.
  const std::string value(input.substr(0, std::min<std::size_t>(input.size(), 64)));
  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\n' || c == '\r') c = ' ';
  if (!ini.WriteString("Fuzz", "Key", value)) std::abort();
  if (ini.GetString("Fuzz", "Key", "<none>") != oneLine) std::abort();
  for (std::size_t i = 0; i < sections.size(); ++i)
    if (!paths::EqualsNoCase(sections[i], "Fuzz") && ini.ReadSection(sections[i]) != before[i])
      std::abort();
  if (!ini.RemoveKey("Fuzz", "Key")) std::abort();
  if (ini.GetString("Fuzz", "Key", "<none>") != "<none>") std::abort();

  std::vector<std::pair<std::string, std::string>> entries = {{"file1", oneLine},
                                                              {"file2", "./B.java"}};
  IniFile::SetAlso also{"Project", "Mainfile", oneLine};
  if (!ini.ReplaceSection("Files", entries, &also)) std::abort();
  if (ini.ReadSection("Files") != entries) std::abort();
  if (ini.GetString("Project", "Mainfile", "<none>") != oneLine) std::abort();
  return 0;
}

}  // namespace tamso::fuzz
