#pragma once
// Compiling the active Java file: the compiler's command line from the "Compiler"
// settings, and the compile command that runs it on a worker thread with its
// output streamed into the output window.
//
// The Java view's handler for command 32776 ("Compile active .java file") calls
//   CompileDocument(*view->Document(), context);
// the HTML and Perl views do the same (that file is then given to javac as it is).

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/build_job.h"
#include "project/project.h"

namespace tamso {

class IHost;
class IDocument;
class IniFile;
class IOutput;

inline constexpr const char* kBusyMessage = "Sorry.\n  I'm Busy.  Try again later.";
inline constexpr const char* kCompileHeading = "Tamso for Java(TM)";
inline constexpr const char* kCompilingLine = "Compiling via javac...";

// The compiler's argument vector: the "javac" key split as a command line ("javac"
// when empty or blank); "-d" DIR when "UseDirectory" is exactly "Y"; "-classpath" CP
// when "UseClassPath" is exactly "Y" (each value one argument, left out when blank);
// the options of the keys whose value is anything but "N"; "--release" and the
// extra options of the settings; the source path last. With a JDK in the overrides
// its javac is the program (the "javac" key's own options stay).
// A member of the open project may carry its own class path and output directory
// (the project's compiler directories); each given one replaces the global part,
// whatever the global switch says. Source roots, when given, follow as one
// "-sourcepath" argument joined with ':'.
std::vector<std::string> BuildJavacArguments(const IniFile& profile, std::string_view sourcePath,
                                             const CompilerOverrides& overrides = {},
                                             const std::vector<std::string>& sourceRoots = {});

// The arguments as one readable line, quoted where needed so that splitting it gives
// them back; the source path (last) always in double quotes.
std::string ShownCommandLine(const std::vector<std::string>& args);

// ShownCommandLine(BuildJavacArguments(...)).
std::string BuildJavacCommandLine(const IniFile& profile, std::string_view sourcePath,
                                  const CompilerOverrides& overrides = {});

// The source path in double quotes, escaped where needed so that it always comes
// back as one argument (a plain path is simply enclosed in quotes).
std::string QuoteSourcePath(std::string_view path);

// The JDK whose javac compiles for the open project (may be null): *home is its
// folder ("" for the "javac" setting's program as it is). False after telling the
// user that the chosen folder is no JDK.
bool CompilerJdk(const IniFile& profile, const Project* project, IHost& host, std::string* home);

// The heading's line naming the compiler's JDK ("javac 25.0.1 (/usr/lib/jvm/jdk-25)"),
// written after the command line when its program belongs to a JDK.
void AppendJdkLine(IOutput& out, const std::vector<std::string>& args);

// The directory the compiler runs in: the path up to its last separator ("/" for a
// file in the root); a path without one is used whole.
std::string CompileDirectory(std::string_view sourcePath);

// Makes the output directory (and the folders above it); false after telling the
// user why it cannot be made.
bool MakeOutputDirectory(const std::string& directory, IHost& host);

struct CompileContext {
  IHost& host;  // messages, wait cursor, output window (host.Output())
  const IniFile& profile;
  IBuildSlot& slot;                  // the application's build slot
  IUiThread& ui;                     // where the worker's output calls run
  std::function<void()> showOutput;  // shows the output window; may be empty
  const Project* project = nullptr;  // the open project (its compiler directories); may be null
  // Runs on the user-interface thread once the compile has succeeded; may be empty.
  std::function<void()> afterSuccess = {};
};

// The compile command for one document: refuses while a build runs, saves the
// document, writes the heading and starts the compiler on a worker thread. Returns
// the running job (also handed to the slot), or null when nothing was started.
std::shared_ptr<IBuildJob> CompileDocument(IDocument& document, CompileContext& context);

// The same for the host's active document (null, with a beep, when there is none).
std::shared_ptr<IBuildJob> CompileActiveFile(CompileContext& context);

// Stop Building: when a job is given, ends it and writes "Terminated at user
// request." as the last line with the exclamation beep; in every case then marks
// the application idle (which sounds the default beep).
void StopBuilding(IBuildSlot& slot, const std::shared_ptr<IBuildJob>& job, IHost& host);

}  // namespace tamso
