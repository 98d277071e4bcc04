#pragma once
// The JDKs a user has: the one of $JAVA_HOME, the one whose javac comes first on
// PATH and every JDK folder in the system's JVM folder, each with the version its
// "release" file names; and the programs and sources of a chosen one.
//
// Everything that looks at the machine takes a JdkEnvironment, so that a test can
// hand in its own variables and a folder standing for the file system's root.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

// Where JDKs are looked for.
struct JdkEnvironment {
  std::string javaHome;  // $JAVA_HOME ("" none)
  std::string pathEnv;   // $PATH
  // Put before the system's fixed folders ("/usr/lib/jvm"): "" is the real root.
  std::string root;
  // The variables of this process and the real root.
  static JdkEnvironment FromProcess();
  std::string JvmFolder() const { return root + "/usr/lib/jvm"; }
};

inline constexpr const char* kUnknownJdkVersion = "unknown version";

struct Jdk {
  std::string home;     // the JDK's folder, links resolved
  std::string version;  // JAVA_VERSION of its release file; "" unknown
  // The version, or "unknown version".
  std::string VersionText() const;
  // "25.0.1 (/usr/lib/jvm/jdk-25)".
  std::string Label() const;
  bool operator==(const Jdk&) const = default;
};

// JAVA_VERSION of the home's release file ("25.0.1" from JAVA_VERSION="25.0.1");
// "" when the file is missing or unreadable or holds no plausible version (digits
// and dots, with '_', '-' and '+' parts, at most 40 characters).
std::string ReadJdkVersion(const std::string& home);
// The feature release a version names: 25 from "25.0.1", 8 from "1.8.0_292"; 0 when
// unknown.
int JdkFeatureOf(std::string_view version);

// The folder as a JDK: it must hold bin/javac. Without it, no value and *why says
// so ("The folder ... is not a JDK: it has no bin/javac."). A missing or garbage
// release file leaves the version unknown; the JDK stays usable.
std::optional<Jdk> InspectJdk(const std::string& folder, std::string* why = nullptr);

// The home of the JDK whose javac is the program: a path (links resolved) or a
// name searched along pathEnv; its home is two folders up from the resolved program
// and must hold a bin/javac of its own (not a link elsewhere). "" when there is none.
std::string JdkHomeOfProgram(const std::string& program, std::string_view pathEnv);

// Every JDK found: $JAVA_HOME, the JDK of javac on PATH, then each folder of the
// JVM folder that holds bin/javac (in name order). Each JDK once, however many
// links lead to it.
std::vector<Jdk> FindJdks(const JdkEnvironment& env);

// The JDK's programs: home/bin/<name> when it is an executable file, else "".
std::string JdkTool(const std::string& home, std::string_view name);
inline std::string JdkJavac(const std::string& home) { return JdkTool(home, "javac"); }
inline std::string JdkJava(const std::string& home) { return JdkTool(home, "java"); }
inline std::string JdkJavap(const std::string& home) { return JdkTool(home, "javap"); }
// Only old JDKs have one; "" for the rest.
inline std::string JdkAppletViewer(const std::string& home) {
  return JdkTool(home, "appletviewer");
}

// The JDK's sources: home/lib/src.zip (or home/src.zip of old JDKs) when it is a
// readable file (a dangling link does not count), else the folder the system's
// source package of that release fills (<JVM folder>/openjdk-N/lib/src.zip, or
// .../openjdk-N/src.zip); "" when there is none.
std::string JdkSourceZip(const std::string& home, const JdkEnvironment& env);

}  // namespace tamso
