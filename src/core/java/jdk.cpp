#include "java/jdk.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool IsReadableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

// The path with every link resolved; "" when it does not exist (or loops).
std::string Resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string out(real);
  std::free(real);
  return out;
}

bool PlausibleVersion(std::string_view v) {
  if (v.empty() || v.size() > 40 || !std::isdigit(static_cast<unsigned char>(v.front())))
    return false;
  return std::all_of(v.begin(), v.end(), [](char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) || ch == '.' || ch == '_' || ch == '-' ||
           ch == '+';
  });
}

}  // namespace

JdkEnvironment JdkEnvironment::FromProcess() {
  const char* home = std::getenv("JAVA_HOME");
  const char* path = std::getenv("PATH");
  return {home ? home : "", path ? path : "", ""};
}

std::string Jdk::VersionText() const {
  return version.empty() ? std::string(kUnknownJdkVersion) : version;
}

std::string Jdk::Label() const {
  return VersionText() + " (" + home + ")";
}

std::string ReadJdkVersion(const std::string& home) {
  std::string text;
  if (home.empty() || !ReadWholeFile(paths::Join(home, "release"), text, nullptr, 1 << 20))
    return {};
  // The key at the start of a line; the value in double quotes, or bare to the end.
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    constexpr std::string_view key = "JAVA_VERSION=";
    if (line.substr(0, key.size()) != key) continue;
    std::string_view value = line.substr(key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    return PlausibleVersion(value) ? std::string(value) : std::string();
  }
  return {};
}

int JdkFeatureOf(std::string_view version) {
  auto number = [&](std::size_t& i) {
    int v = 0;
    std::size_t digits = 0;
    while (i < version.size() && std::isdigit(static_cast<unsigned char>(version[i])) &&
           digits < 4) {
      v = v * 10 + (version[i++] - '0');
      ++digits;
    }
    return digits ? v : -1;
  };
  std::size_t p = 0;
  int major = number(p);
  if (major == 1 && p < version.size() && version[p] == '.') {
    ++p;
    major = number(p);  // "1.8.0" is release 8
  }
  return major > 0 ? major : 0;
}

std::optional<Jdk> InspectJdk(const std::string& folder, std::string* why) {
  if (folder.empty() || !paths::IsDirectory(folder)) {
    if (why) *why = "The folder " + folder + " does not exist.";
    return std::nullopt;
  }
  const std::string home = Resolved(folder);
  if (home.empty() || !IsExecutableFile(paths::Join(home, "bin/javac"))) {
    if (why) *why = "The folder " + folder + " is not a JDK: it has no bin/javac.";
    return std::nullopt;
  }
  return Jdk{home, ReadJdkVersion(home)};
}

std::string JdkHomeOfProgram(const std::string& program, std::string_view pathEnv) {
  if (program.empty()) return {};
  std::string found;
  if (program.find('/') != std::string::npos) {
    if (IsExecutableFile(program)) found = program;
  } else {
    for (std::size_t pos = 0; pos <= pathEnv.size() && found.empty();) {
      std::size_t colon = pathEnv.find(':', pos);
      if (colon == std::string_view::npos) colon = pathEnv.size();
      const std::string dir(pathEnv.substr(pos, colon - pos));
      pos = colon + 1;
      if (dir.empty() || !paths::IsAbsolute(dir)) continue;
      const std::string candidate = paths::Join(dir, program);
      if (IsExecutableFile(candidate)) found = candidate;
    }
  }
  if (found.empty()) return {};
  const std::string real = Resolved(found);
  if (real.empty()) return {};
  const std::string home = paths::Directory(paths::Directory(real));
  // The JDK's own javac, not a link elsewhere (/usr/bin/javac makes no JDK of /usr).
  const std::string javac = paths::Join(home, "bin/javac");
  if (home.empty() || !IsExecutableFile(javac) || Resolved(javac) != javac) return {};
  return home;
}

std::vector<Jdk> FindJdks(const JdkEnvironment& env) {
  std::vector<Jdk> out;
  auto add = [&out](const std::string& folder) {
    std::optional<Jdk> jdk = InspectJdk(folder);
    if (!jdk) return;
    for (const Jdk& known : out)
      if (known.home == jdk->home) return;
    out.push_back(std::move(*jdk));
  };
  if (!env.javaHome.empty()) add(env.javaHome);
  if (std::string home = JdkHomeOfProgram("javac", env.pathEnv); !home.empty()) add(home);
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(env.JvmFolder().c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.empty() || name[0] == '.') continue;
      names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) add(paths::Join(env.JvmFolder(), name));
  return out;
}

std::string JdkTool(const std::string& home, std::string_view name) {
  if (home.empty()) return {};
  const std::string path = paths::Join(paths::Join(home, "bin"), name);
  return IsExecutableFile(path) ? path : std::string();
}

std::string JdkSourceZip(const std::string& home, const JdkEnvironment& env) {
  if (home.empty()) return {};
  for (const char* rel : {"lib/src.zip", "src.zip"}) {
    const std::string zip = paths::Join(home, rel);
    if (IsReadableFile(zip)) return zip;
  }
  const int feature = JdkFeatureOf(ReadJdkVersion(home));
  if (feature <= 0) return {};
  const std::string package = paths::Join(env.JvmFolder(), "openjdk-" + std::to_string(feature));
  for (const char* rel : {"lib/src.zip", "src.zip"}) {
    const std::string zip = paths::Join(package, rel);
    if (IsReadableFile(zip)) return zip;
  }
  return {};
}

}  // namespace tamso
