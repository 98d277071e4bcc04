#include "project/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "platform/paths.h"

namespace tamso {

namespace {

// Folders visited at most; a tree this large holds no project worth scanning.
constexpr std::size_t kFolderLimit = 100000;

bool EndsWithNoCase(std::string_view name, std::string_view ext) {
  return name.size() > ext.size() &&
         paths::EqualsNoCase(name.substr(name.size() - ext.size()), ext);
}

using DirId = std::pair<dev_t, ino_t>;

}  // namespace

bool IsProjectSourceName(std::string_view name) {
  for (std::string_view ext : {".java", ".html", ".htm", ".pl"})
    if (EndsWithNoCase(name, ext)) return true;
  return false;
}

std::string ScanCountText(std::size_t files, std::size_t folders) {
  return std::to_string(files) + (files == 1 ? " file" : " files") + " found in " +
         std::to_string(folders) + (folders == 1 ? " folder" : " folders");
}

FolderScan ScanProjectFolder(const std::string& folder, const std::vector<std::string>& skip,
                             std::size_t limit, const ScanProgress& progress) {
  FolderScan scan;
  // Every file of the system would be looked at, and none of them makes a project.
  if (paths::Canonical(folder) == "/") {
    scan.error = "The root of the file system is not scanned for project files.";
    return scan;
  }
  std::set<DirId> skipped;
  for (const std::string& s : skip) {
    struct stat st {};
    if (::stat(s.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) skipped.insert({st.st_dev, st.st_ino});
  }
  std::set<DirId> seen;
  // Depth first, each folder's entries in name order, so a cut list is the same each time.
  std::vector<std::pair<std::string, bool>> stack{{folder, true}};
  std::size_t folders = 0;
  while (!stack.empty()) {
    auto [dir, top] = std::move(stack.back());
    stack.pop_back();
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      if (top) scan.error = dir + " is not a folder that can be read.";
      continue;
    }
    if (skipped.count({st.st_dev, st.st_ino}) || !seen.insert({st.st_dev, st.st_ino}).second)
      continue;
    if (++folders > kFolderLimit) {
      scan.truncated = true;
      break;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
      if (top) scan.error = "Cannot read " + dir + ": " + std::strerror(errno);
      continue;
    }
    // The entry's type from the folder itself where the file system gives it, so
    // that only links and unknown entries cost a stat.
    std::vector<std::pair<std::string, unsigned char>> entries;
    while (dirent* e = ::readdir(d)) {
      std::string_view name = e->d_name;
      if (name == "." || name == "..") continue;
      entries.emplace_back(std::string(name), e->d_type);
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end());
    std::vector<std::string> subfolders;
    for (const auto& [name, type] : entries) {
      bool isDir = type == DT_DIR;
      bool isFile = type == DT_REG;
      if (!isDir && !isFile) {
        if (type != DT_LNK && type != DT_UNKNOWN) continue;
        // A hidden entry matters only as a source file.
        if (name[0] == '.' && !IsProjectSourceName(name)) continue;
        struct stat es {};
        const std::string path = dir == "/" ? "/" + name : dir + "/" + name;
        if (::stat(path.c_str(), &es) != 0) continue;  // a dangling link
        isDir = S_ISDIR(es.st_mode);
        isFile = S_ISREG(es.st_mode);
      }
      if (isDir) {
        if (name[0] == '.') continue;
        if (top && (name == "out" || name == "target" || name == "build" || name == "bin"))
          continue;
        subfolders.push_back(dir == "/" ? "/" + name : dir + "/" + name);
      } else if (isFile && IsProjectSourceName(name)) {
        if (scan.files.size() >= limit) {
          scan.truncated = true;
          stack.clear();
          subfolders.clear();
          break;
        }
        scan.files.push_back(dir == "/" ? "/" + name : dir + "/" + name);
      }
    }
    if (progress && !progress(scan.files.size(), folders)) {
      scan.cancelled = true;
      break;
    }
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
      stack.emplace_back(std::move(*it), false);
  }
  std::sort(scan.files.begin(), scan.files.end());
  return scan;
}

bool DeclaresMainMethod(std::string_view s) {
  // The text with comments, strings and character literals blanked out.
  std::string code;
  code.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "//") == 0) {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (s.compare(i, 2, "/*") == 0) {
      const std::size_t end = s.find("*/", i + 2);
      i = end == std::string_view::npos ? s.size() : end + 2;
      code += ' ';
    } else if (s[i] == '"' || s[i] == '\'') {
      const char quote = s[i];
      // A text block ends at the next three quotes.
      if (quote == '"' && s.compare(i, 3, "\"\"\"") == 0) {
        const std::size_t end = s.find("\"\"\"", i + 3);
        i = end == std::string_view::npos ? s.size() : end + 3;
      } else {
        ++i;
        while (i < s.size() && s[i] != quote && s[i] != '\n') i += s[i] == '\\' ? 2 : 1;
        ++i;
      }
      code += ' ';
    } else {
      code += s[i++];
    }
  }
  auto word = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
  };
  for (std::size_t at = code.find("void"); at != std::string::npos;
       at = code.find("void", at + 4)) {
    if ((at > 0 && word(code[at - 1])) || (at + 4 < code.size() && word(code[at + 4]))) continue;
    std::size_t i = at + 4;
    while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
    if (code.compare(i, 4, "main") != 0) continue;
    i += 4;
    if (i < code.size() && word(code[i])) continue;
    while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
    if (i < code.size() && code[i] == '(') return true;
  }
  return false;
}

}  // namespace tamso
