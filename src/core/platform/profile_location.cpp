#include "platform/profile_location.h"

#include "platform/paths.h"

namespace tamso {

ProfileLocation ResolveProfileLocation(const std::vector<std::string>& args,
                                       const std::string& executablePath,
                                       const char* tamsoProfileEnv, const char* xdgConfigHome,
                                       const char* home) {
  ProfileLocation loc;
  std::string fromArgs;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--profile" && i + 1 < args.size()) {
      fromArgs = args[++i];
    } else if (a.rfind("--profile=", 0) == 0) {
      fromArgs = a.substr(10);
    } else {
      loc.remainingArgs.push_back(a);
    }
  }
  if (!fromArgs.empty()) {
    loc.path = paths::Absolute(fromArgs);
  } else if (tamsoProfileEnv && *tamsoProfileEnv) {
    loc.path = paths::Absolute(tamsoProfileEnv);
  } else {
    std::string base = paths::BaseName(executablePath);
    if (base.empty()) base = "tamso";
    std::string dir;
    if (xdgConfigHome && *xdgConfigHome && paths::IsAbsolute(xdgConfigHome))
      dir = xdgConfigHome;
    else
      dir = paths::Join(home && *home ? home : "/", ".config");
    loc.path = paths::Join(dir, base + ".INI");
  }
  return loc;
}

}  // namespace tamso
