#pragma once
// Which JDK the compiler, the build, Run Java, the AppletViewer, the class browser's
// sources and the help pages use: "Compiler"/"JDK" in the profile (a JDK folder, or
// empty for the javac on PATH), which an open project's own "Project"/"JDK" replaces.
// This is the one place that decides; each user asks it for its program or path.

#include <string>
#include <vector>

#include "java/jdk.h"

namespace tamso {

class IniFile;
class Project;

// The key in the profile's "Compiler" section and in the project file's "Project"
// section.
inline constexpr const char* kJdkKey = "JDK";
// A project's value for "the javac on PATH, whatever the settings say". A project
// without the key, or with an empty one, follows the settings.
inline constexpr const char* kProjectJdkOnPath = "PATH";
// "Compiler"/"Release": "" or the release to compile for (8 and up).
inline constexpr const char* kReleaseKey = "Release";
// "Compiler"/"ExtraOptions": further compiler options, split as a command line.
inline constexpr const char* kExtraOptionsKey = "ExtraOptions";
inline constexpr int kLowestRelease = 8;

struct JdkInUse {
  // The JDK's folder; "" for the one the programs on PATH belong to.
  std::string home;
  // What was chosen, when it is no JDK (any more): the folder lost bin/javac.
  std::string error;
  // Whether the project's setting decided.
  bool fromProject = false;
};

// The setting in force for the open project (may be null or closed) and the profile.
JdkInUse ChosenJdk(const IniFile& profile, const Project* project);

// The JDK home the setting names, for the tools that need a folder: the chosen one,
// else $JAVA_HOME when it is a JDK, else the one of javac on PATH; "" when none.
std::string JdkHomeForTools(const JdkInUse& jdk, const JdkEnvironment& env);

// The compiler's program and the options of the "javac" key: the key split as a
// command line ("javac" when blank), its program replaced by the chosen JDK's javac.
std::vector<std::string> JavacProgram(const IniFile& profile, const std::string& jdkHome);

// The options "--release N" (when the key is not blank) and the extra options, split
// as a command line, in that order.
std::vector<std::string> JavacReleaseAndExtraOptions(const IniFile& profile);

// What the compile heading says of the JDK that program belongs to:
// "javac 25.0.1 (/usr/lib/jvm/jdk-25)"; "" when the program is no JDK's.
std::string JdkHeadingLine(const std::string& program, const std::string& pathEnv);

// The interpreter command to start: the chosen JDK's java in place of the plain
// "java" (a command of the user's own stays as it is).
std::string JavaCommandFor(const std::string& command, const std::string& jdkHome);
// The AppletViewer: the chosen JDK's, when it has one, else "appletviewer" on PATH.
std::string AppletViewerCommandFor(const std::string& jdkHome);

// A source path with the chosen JDK's sources: each entry that is some JDK's
// src.zip is replaced by zip; without such an entry zip is added last. Unchanged
// when zip is "".
std::string SourcePathWithJdk(const std::string& sourcePath, const std::string& zip);

// Checks the settings page's "--release" text: "" when it may be stored (blank, or a
// whole number from 8 to highest; highest 0 sets no upper limit), else the message.
std::string CheckReleaseText(const std::string& text, int highest);

}  // namespace tamso
