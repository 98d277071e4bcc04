#include "jobs/run_class_path.h"

#include <algorithm>
#include <filesystem>

#include "java/source_roots.h"
#include "jobs/run_java.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

void AddOnce(std::vector<std::string>& list, const std::string& entry) {
  if (entry.empty() || entry.find(':') != std::string::npos) return;
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

bool Blank(const std::string& s) {
  return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::vector<std::string> LibraryJars(const std::string& projectDirectory) {
  std::vector<std::string> jars;
  std::error_code ec;
  const std::filesystem::path lib = std::filesystem::path(projectDirectory) / "lib";
  if (!std::filesystem::is_directory(lib, ec)) return jars;
  for (std::filesystem::directory_iterator it(lib, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jar") == 0 &&
        it->is_regular_file(ec))
      jars.push_back(it->path().string());
  }
  std::sort(jars.begin(), jars.end());
  return jars;
}

}  // namespace

std::string ClassesDirectoryFor(const IniFile& profile, const Project* project,
                                const std::string& sourcePath, const std::string& sourceRoot) {
  if (project && project->Encloses(sourcePath)) return project->OutputDirectory();
  if (profile.GetString("Compiler", "UseDirectory", "N") == "Y") {
    const std::string dir = profile.GetString("Compiler", "Directory", "");
    if (!Blank(dir)) return ResolveOutputDirectory(dir, project, sourcePath);
  }
  return sourceRoot;
}

std::vector<std::string> RunClassPathEntries(const IniFile& profile, const Project* project,
                                             const std::string& sourcePath,
                                             const std::string& sourceRoot,
                                             const std::string& className) {
  std::vector<std::string> entries;
  const std::string classes = ClassesDirectoryFor(profile, project, sourcePath, sourceRoot);
  AddOnce(entries, classes);
  if (!project || !project->Encloses(sourcePath)) return entries;
  // Classes compiled beside their sources (by hand, or before the project had an
  // output directory) are found there when the output directory lacks them.
  if (!sourceRoot.empty() && !className.empty() &&
      !paths::Exists(ClassFileFor(classes, className)) &&
      paths::Exists(ClassFileFor(sourceRoot, className)))
    AddOnce(entries, sourceRoot);
  for (const std::string& r : ProjectJavaLayout(*project).resourceRoots) AddOnce(entries, r);
  const CompilerDirectories dirs = project->LoadCompilerDirectories();
  if (dirs.useClassPath) {
    std::string rest = dirs.classPath;
    size_t start = 0;
    while (start <= rest.size()) {
      const size_t colon = rest.find(':', start);
      std::string e = rest.substr(start, colon == std::string::npos ? std::string::npos
                                                                     : colon - start);
      while (!e.empty() && (e.back() == ' ' || e.back() == '\t')) e.pop_back();
      while (!e.empty() && (e.front() == ' ' || e.front() == '\t')) e.erase(0, 1);
      if (!e.empty())
        AddOnce(entries, paths::IsAbsolute(e)
                             ? e
                             : paths::Absolute(paths::Join(project->ProjectDirectory(), e)));
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  for (const std::string& jar : LibraryJars(project->ProjectDirectory())) AddOnce(entries, jar);
  return entries;
}

std::string ClassFileFor(const std::string& classesDirectory, const std::string& className) {
  std::string relative = className;
  std::replace(relative.begin(), relative.end(), '.', '/');
  return paths::Join(classesDirectory, relative + ".class");
}

bool ClassIsCurrent(const std::string& classFile, const std::string& sourcePath) {
  std::error_code ec;
  const auto classTime = std::filesystem::last_write_time(classFile, ec);
  if (ec) return false;
  const auto sourceTime = std::filesystem::last_write_time(sourcePath, ec);
  if (ec) return true;  // nothing to compile it from
  return classTime >= sourceTime;
}

bool OptionsNameClassPath(const std::vector<std::string>& options) {
  for (const std::string& a : options)
    if (a == "-classpath" || a == "-cp" || a == "--class-path" ||
        a.rfind("--class-path=", 0) == 0)
      return true;
  return false;
}

}  // namespace tamso
