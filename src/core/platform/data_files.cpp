#include "platform/data_files.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/paths.h"

#ifndef TAMSO_INSTALLED_DATA_DIR
#define TAMSO_INSTALLED_DATA_DIR ""
#endif
#ifndef TAMSO_BUILD_TREE_DATA_DIR
#define TAMSO_BUILD_TREE_DATA_DIR ""
#endif

namespace tamso {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

std::string UserDataDir(std::string_view xdgConfigHome, std::string_view home) {
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
    return paths::Join(xdgConfigHome, "tamso");
  if (!home.empty()) return paths::Join(paths::Join(home, ".config"), "tamso");
  return {};
}

std::string PathForUser(std::string_view path, std::string_view home) {
  while (home.size() > 1 && home.back() == '/') home.remove_suffix(1);
  if (home.size() > 1 && path.starts_with(home) &&
      (path.size() == home.size() || path[home.size()] == '/'))
    return "~" + std::string(path.substr(home.size()));
  return std::string(path);
}

DataFileDirs MakeDataFileDirs(std::string_view xdgConfigHome, std::string_view home,
                              std::string_view installedDir, std::string_view buildTreeDir,
                              std::string_view currentDir, std::string_view pathEnv) {
  DataFileDirs out;
  auto add = [&out](std::string_view dir) {
    if (!dir.empty()) out.dirs.emplace_back(dir);
  };
  out.userDir = UserDataDir(xdgConfigHome, home);
  out.home = std::string(home);
  add(out.userDir);
  add(installedDir);
  add(buildTreeDir);
  add(currentDir);
  // PATH is ':'-separated; an empty entry means the current directory, already listed.
  std::size_t start = 0;
  while (start <= pathEnv.size()) {
    std::size_t colon = pathEnv.find(':', start);
    if (colon == std::string_view::npos) colon = pathEnv.size();
    add(pathEnv.substr(start, colon - start));
    start = colon + 1;
  }
  return out;
}

DataFileDirs DataFileDirsFromEnvironment() {
  return MakeDataFileDirs(Env("XDG_CONFIG_HOME"), Env("HOME"), TAMSO_INSTALLED_DATA_DIR,
                          TAMSO_BUILD_TREE_DATA_DIR, paths::CurrentDirectory(), Env("PATH"));
}

std::string FindDataFile(std::string_view name, const DataFileDirs& dirs) {
  if (name.empty()) return {};
  if (name.find('/') != std::string_view::npos) {
    std::string path(name);
    return IsRegularFile(path) ? path : std::string();
  }
  for (const std::string& dir : dirs.dirs) {
    std::string path = paths::Join(dir, name);
    if (IsRegularFile(path)) return path;
  }
  return {};
}

}  // namespace tamso
