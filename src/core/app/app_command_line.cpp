#include "app/app_command_line.h"

#include "platform/paths.h"

namespace tamso {

AppCommandLine ParseAppCommandLine(const std::vector<std::string>& args) {
  AppCommandLine info;
  bool filesOnly = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (filesOnly || a.empty()) {
      if (!a.empty()) info.files.push_back(a);
      continue;
    }
    if (a == "--") {
      filesOnly = true;
    } else if (a == "--profile") {
      ++i;  // its value
    } else if (a.rfind("--profile=", 0) == 0) {
    } else if (a == "--quit-when-idle") {
      info.quitWhenIdle = true;
    } else if (paths::EqualsNoCase(a, "-Embedding") || paths::EqualsNoCase(a, "/Embedding")) {
      info.embedding = true;
    } else if (paths::EqualsNoCase(a, "-Automation") || paths::EqualsNoCase(a, "/Automation")) {
      info.automation = true;
    } else if (a.size() > 1 && a[0] == '-') {
      // An option this program does not know: not a file to open.
    } else {
      info.files.push_back(a);
    }
  }
  return info;
}

std::string TakeProjectFile(std::vector<std::string>& files) {
  std::string project;
  std::erase_if(files, [&](const std::string& f) {
    if (!paths::EqualsNoCase(paths::Extension(f), ".jap")) return false;
    project = paths::Absolute(f);
    return true;
  });
  for (auto& f : files) f = paths::Absolute(f);
  return project;
}

}  // namespace tamso
