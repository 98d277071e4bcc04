#include "app/profile_check.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/file_read.h"
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

std::string ProfileTooLargeMessage(const std::string& profilePath) {
  const FileProbe probe = ProbeFile(profilePath);
  if (probe.kind != FileKind::Regular || probe.size <= kLargestProfileBytes) return {};
  return "The settings file " + profilePath + " is " + SizeText(probe.size) +
         ", more than a settings file can be (at most " + SizeText(kLargestProfileBytes) +
         ").\nTamso runs with default settings and leaves the file as it is; changes to "
         "settings are lost when it ends.";
}

std::string ProfileNotWritableMessage(const std::string& profilePath) {
  return "Settings cannot be saved: " + profilePath +
         " cannot be written.\nTamso runs with the settings it can read; changes are lost "
         "when it ends.";
}

}  // namespace tamso
