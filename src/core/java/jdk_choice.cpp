#include "java/jdk_choice.h"

#include <cctype>

#include "platform/command_line.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

constexpr const char* kCompilerSection = "Compiler";

std::string Trimmed(const std::string& s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const std::size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// "/x/lib/src.zip" or "/x/src.zip" whose folder is a JDK, or a system source
// package's ".../openjdk-N/lib/src.zip".
bool IsJdkSourceZip(const std::string& entry) {
  if (paths::FileName(entry) != "src.zip") return false;
  std::string home = paths::Directory(entry);
  if (paths::FileName(home) == "lib") home = paths::Directory(home);
  if (paths::FileName(home).rfind("openjdk-", 0) == 0) return true;
  return InspectJdk(home).has_value();
}

}  // namespace

JdkInUse ChosenJdk(const IniFile& profile, const Project* project) {
  JdkInUse out;
  std::string setting = Trimmed(profile.GetString(kCompilerSection, kJdkKey, ""));
  if (project && project->IsOpen()) {
    const std::string own = Trimmed(project->LoadCompilerDirectories().jdk);
    if (!own.empty()) {
      setting = own == kProjectJdkOnPath ? std::string() : own;
      out.fromProject = true;
    }
  }
  if (setting.empty()) return out;
  std::string why;
  if (std::optional<Jdk> jdk = InspectJdk(setting, &why)) {
    out.home = jdk->home;
  } else {
    out.error = (out.fromProject ? "The project's JDK: " : "The JDK chosen in Settings: ") + why;
  }
  return out;
}

std::string JdkHomeForTools(const JdkInUse& jdk, const JdkEnvironment& env) {
  if (!jdk.home.empty()) return jdk.home;
  if (!env.javaHome.empty())
    if (std::optional<Jdk> home = InspectJdk(env.javaHome)) return home->home;
  return JdkHomeOfProgram("javac", env.pathEnv);
}

std::vector<std::string> JavacProgram(const IniFile& profile, const std::string& jdkHome) {
  // The compiler setting is the user's own: a quoted path with blanks and options of
  // its own are split as a command line. Empty or blank: the default compiler, so the
  // source file can never become the program.
  std::vector<std::string> args =
      SplitCommandLine(profile.GetString(kCompilerSection, "javac", "javac"));
  if (args.empty() || args.front().empty()) args.assign(1, "javac");
  if (!jdkHome.empty()) args.front() = paths::Join(jdkHome, "bin/javac");
  return args;
}

std::vector<std::string> JavacReleaseAndExtraOptions(const IniFile& profile) {
  std::vector<std::string> args;
  const std::string release = Trimmed(profile.GetString(kCompilerSection, kReleaseKey, ""));
  if (!release.empty()) {
    // Passed as it stands: a value javac does not know gets javac's own message.
    args.emplace_back("--release");
    args.push_back(release);
  }
  for (std::string& option :
       SplitCommandLine(profile.GetString(kCompilerSection, kExtraOptionsKey, "")))
    if (!option.empty()) args.push_back(std::move(option));
  return args;
}

std::string JdkHeadingLine(const std::string& program, const std::string& pathEnv) {
  const std::string home = JdkHomeOfProgram(program, pathEnv);
  if (home.empty()) return {};
  return "javac " + Jdk{home, ReadJdkVersion(home)}.Label();
}

std::string JavaCommandFor(const std::string& command, const std::string& jdkHome) {
  if (Trimmed(command) != "java" || jdkHome.empty()) return command;
  const std::string java = JdkJava(jdkHome);
  return java.empty() ? command : QuoteArgument(java);
}

std::string AppletViewerCommandFor(const std::string& jdkHome) {
  const std::string viewer = JdkAppletViewer(jdkHome);
  return viewer.empty() ? std::string("appletviewer") : QuoteArgument(viewer);
}

std::string SourcePathWithJdk(const std::string& sourcePath, const std::string& zip) {
  if (zip.empty()) return sourcePath;
  std::vector<std::string> entries;
  bool replaced = false;
  for (const std::string& entry : paths::SplitSearchPath(sourcePath)) {
    std::string e = entry;
    if (IsJdkSourceZip(e)) {
      if (replaced) continue;
      e = zip;
      replaced = true;
    }
    entries.push_back(std::move(e));
  }
  if (!replaced) entries.push_back(zip);
  std::string out;
  for (const std::string& e : entries) {
    if (!out.empty()) out += ';';
    out += e;
  }
  return out;
}

std::string CheckReleaseText(const std::string& text, int highest) {
  const std::string t = Trimmed(text);
  if (t.empty()) return {};
  bool digits = t.size() <= 4;
  for (char ch : t) digits = digits && std::isdigit(static_cast<unsigned char>(ch));
  const int value = digits ? std::stoi(t) : 0;
  if (!digits || value < kLowestRelease || (highest > 0 && value > highest)) {
    std::string range = std::to_string(kLowestRelease) + " to " +
                        (highest > 0 ? std::to_string(highest) : std::string("the JDK's own"));
    return "\"" + t + "\" is no release to compile for: leave it blank or enter a number from " +
           range + ".";
  }
  return {};
}

}  // namespace tamso
