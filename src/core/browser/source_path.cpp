#include "browser/source_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "browser/source_archive.h"
#include "java/jdk.h"
#include "java/jdk_choice.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool IsArchiveName(std::string_view path) {
  const std::string ext = paths::Extension(path);
  return paths::EqualsNoCase(ext, ".zip") || paths::EqualsNoCase(ext, ".jar");
}

// The file below a directory entry, when it is a plain file that stays inside the
// entry once links are resolved (a link loop resolves to nothing).
std::string FindInDirectory(const std::string& root, const std::string& relative) {
  const std::string candidate = paths::Join(root, relative);
  if (!IsRegularFile(candidate) || ::access(candidate.c_str(), R_OK) != 0) return {};
  const std::string realRoot = RealPath(root);
  const std::string realFile = RealPath(candidate);
  if (realRoot.empty() || realFile.empty()) return {};
  const std::string prefix = realRoot == "/" ? realRoot : realRoot + "/";
  if (realFile.compare(0, prefix.size(), prefix) != 0) return {};
  return paths::Absolute(candidate);
}

}  // namespace

std::string JdkSourceArchive() {
  const char* home = std::getenv("JAVA_HOME");
  const char* path = std::getenv("PATH");
  return JdkSourceArchive(home ? home : "", path ? path : "");
}

std::string JdkSourceArchive(std::string_view javaHome, std::string_view pathEnv) {
  const JdkEnvironment env{std::string(javaHome), std::string(pathEnv), ""};
  for (const std::string& home : {env.javaHome, JdkHomeOfProgram("javac", env.pathEnv)}) {
    if (home.empty()) continue;
    if (std::string zip = JdkSourceZip(home, env); !zip.empty()) return zip;
  }
  return {};
}

std::string DefaultSourcePath() {
  const std::string zip = JdkSourceArchive();
  return zip.empty() ? std::string(".") : ".;" + zip;
}

std::string DefaultSourcePath(std::string_view javaHome, std::string_view pathEnv) {
  const std::string zip = JdkSourceArchive(javaHome, pathEnv);
  return zip.empty() ? std::string(".") : ".;" + zip;
}

std::string ReadSourcePath(const IniFile& profile) {
  return profile.GetString("Java", "SourcePath", DefaultSourcePath());
}

std::string ReadSourcePath(const IniFile& profile, const Project* project) {
  const std::string home = ChosenJdk(profile, project).home;
  if (home.empty()) return ReadSourcePath(profile);
  const std::string zip = JdkSourceZip(home, JdkEnvironment::FromProcess());
  return SourcePathWithJdk(profile.GetString("Java", "SourcePath", "."), zip);
}

std::optional<std::string> SourceRelativeName(std::string_view relative) {
  if (relative.empty() || relative.front() == '/') return std::nullopt;
  std::string out;
  std::string_view last;
  for (std::size_t pos = 0; pos <= relative.size();) {
    std::size_t slash = relative.find('/', pos);
    if (slash == std::string_view::npos) slash = relative.size();
    const std::string_view part = relative.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty()) continue;
    if (part == "." || part == "..") return std::nullopt;
    if (!out.empty()) out += '/';
    out.append(part);
    last = part;
  }
  if (out.empty()) return std::nullopt;
  if (last.find('.') == std::string_view::npos) out += ".java";
  return out;
}

std::string SourceHit::Title() const {
  if (!InArchive()) return path;
  return paths::FileName(path) + "!/" + entry;
}

SourceHit FindSourceFile(std::string_view sourcePath, std::string_view relative, bool wait,
                         std::function<void()> whenIndexed) {
  const std::optional<std::string> name = SourceRelativeName(relative);
  if (!name) return {};
  for (const std::string& root : paths::SplitSearchPath(sourcePath)) {
    if (IsArchiveName(root) && IsRegularFile(root)) {
      std::string error;
      std::shared_ptr<const SourceArchive> archive;
      if (wait) {
        archive = CachedSourceArchive(paths::Absolute(root), &error);
      } else {
        bool indexing = false;
        archive = SourceArchiveNow(paths::Absolute(root), &error, &indexing, whenIndexed);
        if (indexing) return {paths::Absolute(root), {}, true};
      }
      if (!archive) continue;  // damaged or unreadable: the next entry is tried
      if (auto entry = archive->Find(*name)) return {paths::Absolute(root), *entry};
      continue;
    }
    if (std::string found = FindInDirectory(root, *name); !found.empty()) return {found, {}};
  }
  return {};
}

}  // namespace tamso
