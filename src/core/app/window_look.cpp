#include "app/window_look.h"

#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

bool ReadTabbedWindows(const IniFile& profile) {
  return profile.GetInt("Window", "Tabbed", 1) != 0;
}

void WriteTabbedWindows(IniFile& profile, bool tabbed) {
  profile.WriteInt("Window", "Tabbed", tabbed ? 1 : 0);
}

std::string DialogStartDirectory(const std::string& activeDocument, const std::string& projectFile,
                                 const std::string& lastUsed) {
  for (const std::string& file : {activeDocument, projectFile}) {
    if (file.empty()) continue;
    std::string dir = paths::Directory(paths::Absolute(file));
    if (!dir.empty() && paths::IsDirectory(dir)) return dir;
  }
  if (!lastUsed.empty() && paths::IsDirectory(lastUsed)) return lastUsed;
  return {};
}

}  // namespace tamso
