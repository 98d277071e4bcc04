#pragma once
// The Run Java command's data: the "RunJava" settings the dialog shows and writes,
// the command line composed from them, the class and directory a project's main
// file (or the active file) gives, and the argument vector that is started.
//
// The command line shown is "%s %s %s %s" of command, options, class and arguments;
// the defaults give "java   ? ". When the compiler writes its classes to an output
// directory, "-classpath DIR" goes after the options so that the class is found.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "java/java_source.h"

namespace tamso {

class IniFile;
class Project;

inline constexpr const char* kRunJavaSection = "RunJava";
inline constexpr const char* kRunBusyMessage = "Sorry.\n  I'm Busy compiling.  Try again later.";
inline constexpr const char* kActiveNotJava = "Active File does not hava a .java extention";

struct RunJavaValues {
  std::string command = "java";
  std::string options = " ";
  std::string className = "?";
  std::string arguments;
  std::string directory;
  // Not stored: the class path worked out for the class, ':'-separated ("" none).
  std::string classPath;
  bool privateConsole = false;
};

// The dialog's values on opening: the "RunJava" keys; the directory from the
// compiler's output directory when "UseDirectory" is exactly "Y", else "RunJava"
// "Directory". classPath is left empty (see RunClassPath).
RunJavaValues LoadRunJavaValues(const IniFile& profile);
// On Run: "Command", "Options", "Args" and "Class" go back to "RunJava".
bool SaveRunJavaValues(IniFile& profile, const RunJavaValues& values);

// The command line the dialog shows and the console's heading names.
std::string ComposeRunJavaLine(const RunJavaValues& values);
// What is started: the composed line split as a shell splits words (nothing is
// expanded), with "-classpath" and its value (one argument, whatever it holds) after
// the options unless the options name a class path of their own.
std::vector<std::string> RunJavaArguments(const RunJavaValues& values);
// The line the console shows above the output: the command line, and a note when
// the Options' own class path replaces the one worked out for the class.
std::string RunJavaHeading(const RunJavaValues& values);

// The output directory the run needs on its class path: the open project's output
// directory for a file the project encloses, else the global one when "UseDirectory"
// is exactly "Y"; "" when the compiler writes classes beside their sources.
// A relative one is resolved as ResolveOutputDirectory does.
std::string RunClassPath(const IniFile& profile, const Project* project,
                         const std::string& sourcePath);

// A relative output directory as the path it names: it lies in the open project's
// folder, else in the source's folder (where the compiler runs). Absolute and blank
// ones, and any when there is no folder to resolve against, come back unchanged.
std::string ResolveOutputDirectory(const std::string& directory, const Project* project,
                                   const std::string& sourcePath);

struct RunTarget {
  std::string directory;
  std::string className;
};

// The directory and class to run for a source path (as stored or typed: "/" and
// "\" both separate) whose text declares package pkg: the class is pkg + "." + the
// file's base name and the directory is the file's directory with the package's
// folders taken off its end. Without a package, or when the directory does not end
// in the package's folders: the part before the last separator and the base name
// (a path without a separator gives its whole text as the directory and an empty
// class).
// A class name that would read as a java option or "@file" ("-x" of "-x.java") gets
// "./" before it: java then says it cannot find that class rather than taking it as
// an option. With backslashSeparates false only "/" separates (a path on this
// system, where "\" is part of a name).
RunTarget RunTargetFor(std::string_view path, std::string_view package,
                       bool backslashSeparates = true);

// The message for a project whose main file is not a .java file.
std::string NoJavaMainFileMessage(const std::string& projectFile, const std::string& mainFile);

}  // namespace tamso
