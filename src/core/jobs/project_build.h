#pragma once
// Build project and Rebuild entire project: one compiler run over every Java member of
// the open project, its file list in an argument file, into the project's output
// directory, on the build thread as a compile runs. Build skips the run when every
// class is newer than its source; Rebuild empties the output directory first (only
// that folder, and never a folder that holds the project or its sources).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jobs/build_job.h"
#include "jobs/compile.h"

namespace tamso {

class IniFile;
class Project;
struct JavaLayout;

inline constexpr const char* kBuildingLine = "Building project via javac...";
inline constexpr const char* kRebuildingLine = "Rebuilding entire project via javac...";
inline constexpr const char* kUpToDateLine = "All classes are up to date: nothing to build.";
inline constexpr const char* kNoJavaMembers = "The open project has no .java files to build.";

// The text of a compiler argument file naming files: each on its own line in double
// quotes, with '\' and '"' escaped, so blanks and quotes stay inside one name.
std::string JavacArgumentFileText(const std::vector<std::string>& files);

// True when each source has its class (outDir/<package folders>/<name>.class) and no
// source is newer than it. package-info.java needs no class. No sources: false.
// packages[i] is the package sources[i] declares.
bool ClassesUpToDate(const std::vector<std::string>& sources,
                     const std::vector<std::string>& packages, const std::string& outDir);

// Why Rebuild must not empty directory ("" when it may): it is the file system's root,
// the home folder or one above it, or it is or holds the project's folder, a source or
// resource root, or a member.
std::string RebuildRefusal(const std::string& directory, const Project& project,
                           const JavaLayout& layout, const std::string& home);

// Removes everything inside directory, links themselves and never what they point to;
// the folder stays. Stops early when cancelled says so. False with *error on failure.
bool EmptyDirectory(const std::string& directory, std::string* error,
                    const std::function<bool()>& cancelled = {});

// The compiler's arguments for a build: as a compile's, with the output directory, the
// project's class path (or the global one), the source roots, and "@" + argFile last.
std::vector<std::string> BuildProjectArguments(const IniFile& profile, const Project& project,
                                               const std::string& outDir,
                                               const std::vector<std::string>& roots,
                                               const std::string& argFile);

// A tool's arguments as one readable line, each quoted only where needed.
std::string ToolCommandLine(const std::vector<std::string>& args);

// Why no class can be written into the existing directory ("" when they can).
std::string OutputDirectoryProblem(const std::string& directory);

// The command: refused while a build runs; needs an open project. A project folder
// with pom.xml or a Gradle build file is built by that tool (when it is missing the
// output window says so and the user may build with javac instead). A javac build
// needs Java members and an output directory that can be made and written. Null when nothing was
// started (also when Build found everything up to date, which the output window then says).
std::shared_ptr<IBuildJob> BuildProject(CompileContext& context, bool rebuild);

}  // namespace tamso
