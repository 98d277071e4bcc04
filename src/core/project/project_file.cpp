#include "project/project_file.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

// The number of a "file<n>" key (any letter case, decimal digits only), or 0.
unsigned long MemberNumber(std::string_view key) {
  if (key.size() < 5 || key.size() > 13) return 0;
  for (std::size_t i = 0; i < 4; ++i)
    if ((key[i] | 0x20) != "file"[i]) return 0;
  unsigned long n = 0;
  for (char c : key.substr(4)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<unsigned long>(c - '0');
  }
  return n;
}

}  // namespace

ProjectFileMembers ReadProjectMembers(const std::string& path) {
  return ReadProjectMembers(IniFile(path));
}

ProjectFileMembers ReadProjectMembers(const IniFile& file) {
  ProjectFileMembers result;
  // Every "file<n>" key of the first "Files" section, in number order: a gap or an
  // empty value is skipped, so a hand-edited numbering loses nothing. The first key
  // of a number counts ("file1" before a later "FILE01").
  std::vector<std::pair<unsigned long, std::string>> numbered;
  std::unordered_set<unsigned long> seen;
  auto sections = file.ReadSections({"Files", "Project"});
  for (auto& [key, value] : sections[0]) {
    unsigned long n = MemberNumber(key);
    if (n == 0 || !seen.insert(n).second || value.empty()) continue;
    numbered.emplace_back(n, std::move(value));
  }
  std::stable_sort(numbered.begin(), numbered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  result.files.reserve(numbered.size());
  for (auto& entry : numbered) result.files.push_back(std::move(entry.second));
  for (auto& [key, value] : sections[1])
    if (paths::EqualsNoCase(key, "Mainfile")) {
      result.mainFile = std::move(value);
      break;
    }
  return result;
}

bool WriteProjectMembers(const std::string& path, const std::vector<std::string>& files,
                         const std::string* mainFile) {
  IniFile file(path);
  return WriteProjectMembers(file, files, mainFile);
}

bool WriteProjectMembers(IniFile& file, const std::vector<std::string>& files,
                         const std::string* mainFile) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    entries.emplace_back("file" + std::to_string(i + 1), files[i]);
  IniFile::SetAlso main{"Project", "Mainfile", mainFile ? std::string_view(*mainFile) : ""};
  return file.ReplaceSection("Files", entries, mainFile ? &main : nullptr);
}

}  // namespace tamso
