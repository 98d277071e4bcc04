#include "project/project_file.h"

#include <string_view>
#include <unordered_map>

#include "platform/ini_file.h"

namespace tamso {

namespace {

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

}  // namespace

ProjectFileMembers ReadProjectMembers(const std::string& path) {
  ProjectFileMembers result;
  IniFile file(path);
  // In the first "Files" section the first key of a name counts.
  std::unordered_map<std::string, std::string> files;
  for (auto& [key, value] : file.ReadSection("Files")) files.emplace(Lower(key), std::move(value));
  for (int n = 1;; ++n) {
    auto it = files.find("file" + std::to_string(n));
    if (it == files.end() || it->second.empty()) break;
    result.files.push_back(std::move(it->second));
  }
  result.mainFile = file.GetString("Project", "Mainfile", "");
  return result;
}

bool WriteProjectMembers(const std::string& path, const std::vector<std::string>& files,
                         const std::string* mainFile) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    entries.emplace_back("file" + std::to_string(i + 1), files[i]);
  IniFile file(path);
  if (!file.ReplaceSection("Files", entries)) return false;
  return !mainFile || file.WriteString("Project", "Mainfile", *mainFile);
}

}  // namespace tamso
