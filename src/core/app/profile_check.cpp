#include "app/profile_check.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace tamso {

bool PrepareProfileLocation(const std::string& profilePath) {
  std::string dir = paths::Directory(paths::Absolute(profilePath));
  if (dir.empty()) dir = ".";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (paths::IsDirectory(profilePath)) return false;
  // Every write replaces the file through a temporary file beside it, so the
  // directory must be writable too.
  if (access(dir.c_str(), W_OK | X_OK) != 0) return false;
  if (paths::Exists(profilePath) && access(profilePath.c_str(), W_OK) != 0) return false;
  return true;
}

std::string ProfileNotWritableMessage(const std::string& profilePath) {
  return "Settings cannot be saved: " + profilePath +
         " cannot be written.\nTamso runs with the settings it can read; changes are lost "
         "when it ends.";
}

}  // namespace tamso
