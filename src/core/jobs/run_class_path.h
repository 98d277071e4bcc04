#pragma once
// The class path a Java program of the project runs with (and its tests will): where
// its classes were compiled to, its resource folders, the project's own class path
// entries and the jars in its lib folder. A file outside the project gets none of
// these, only the folder its own classes lie in.

#include <string>
#include <vector>

namespace tamso {

class IniFile;
class Project;

// The folder a source's classes are compiled to: the project's output directory for
// a file the open project encloses; else the global output directory when
// "UseDirectory" is exactly "Y"; else sourceRoot (classes beside their sources).
std::string ClassesDirectoryFor(const IniFile& profile, const Project* project,
                                const std::string& sourcePath, const std::string& sourceRoot);

// The entries, each once, in this order: the classes' folder (and, inside a project,
// the source root too when the class was compiled beside its source and is not in
// the output directory), src/main/resources and src/test/resources, the project's
// class path entries (when its box is on), then lib/*.jar of the project's folder by
// name. Entries that hold ':' cannot be on a class path and are left out.
std::vector<std::string> RunClassPathEntries(const IniFile& profile, const Project* project,
                                             const std::string& sourcePath,
                                             const std::string& sourceRoot,
                                             const std::string& className);

// The class file of a fully qualified class below a classes folder.
std::string ClassFileFor(const std::string& classesDirectory, const std::string& className);

// True when the class file exists and is not older than the source.
bool ClassIsCurrent(const std::string& classFile, const std::string& sourcePath);

// Whether Options the user typed name a class path of their own (then theirs win).
bool OptionsNameClassPath(const std::vector<std::string>& options);

}  // namespace tamso
