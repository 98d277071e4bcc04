#pragma once
// Where the application profile lives: "<executable base name>.INI" in
// $XDG_CONFIG_HOME (default ~/.config), unless "--profile PATH" (or "--profile=PATH")
// on the command line or the TAMSO_PROFILE environment variable names another file.

#include <string>
#include <vector>

namespace tamso {

struct ProfileLocation {
  std::string path;
  // The command line without the profile switch and its value.
  std::vector<std::string> remainingArgs;
};

// args excludes argv[0]. Null environment values count as unset.
ProfileLocation ResolveProfileLocation(const std::vector<std::string>& args,
                                       const std::string& executablePath,
                                       const char* tamsoProfileEnv, const char* xdgConfigHome,
                                       const char* home);

}  // namespace tamso
