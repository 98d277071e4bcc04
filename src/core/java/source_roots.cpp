#include "java/source_roots.h"

#include <algorithm>

#include "java/package_cache.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

void AddOnce(std::vector<std::string>& list, const std::string& entry) {
  if (entry.empty() || entry.find(':') != std::string::npos) return;
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

}  // namespace

std::string SourceRootFor(std::string_view path, std::string_view package) {
  std::string dir = paths::Directory(path);
  if (dir.empty()) return {};
  std::string rest(package);
  while (!rest.empty()) {
    const std::size_t dot = rest.find_last_of('.');
    const std::string last = dot == std::string::npos ? rest : rest.substr(dot + 1);
    if (dir == "/" || paths::FileName(dir) != last) return {};
    dir = paths::Directory(dir);
    rest.resize(dot == std::string::npos ? 0 : dot);
  }
  // A root of "/" would hand the whole file system to the compiler's search.
  if (dir.empty() || dir == "/") return {};
  return dir;
}

std::string SourceRootOfFile(const std::string& path, std::string* package) {
  const std::string pkg = DeclaredPackageOf(path);
  if (package) *package = pkg;
  return SourceRootFor(path, pkg);
}

std::vector<std::string> ProjectJavaSources(const Project& project) {
  std::vector<std::string> out;
  if (!project.IsOpen()) return out;
  for (std::string& path : project.MemberPaths())
    if (paths::Extension(path) == ".java") out.push_back(paths::Absolute(path));
  return out;
}

JavaLayout ProjectJavaLayout(const Project& project) {
  JavaLayout layout;
  if (!project.IsOpen()) return layout;
  for (const std::string& file : ProjectJavaSources(project))
    AddOnce(layout.sourceRoots, SourceRootOfFile(file));
  const std::string& dir = project.ProjectDirectory();
  if (dir.empty() || dir == "/") return layout;
  for (const char* sub : {"src/main/java", "src/test/java"})
    if (paths::IsDirectory(paths::Join(dir, sub)))
      AddOnce(layout.sourceRoots, paths::Join(dir, sub));
  // "src" of a src/main/... layout is no root: its packages would be named "main.java...".
  if (paths::IsDirectory(paths::Join(dir, "src")) &&
      !paths::IsDirectory(paths::Join(dir, "src/main")))
    AddOnce(layout.sourceRoots, paths::Join(dir, "src"));
  for (const char* sub : {"src/main/resources", "src/test/resources"})
    if (paths::IsDirectory(paths::Join(dir, sub)))
      AddOnce(layout.resourceRoots, paths::Join(dir, sub));
  return layout;
}

std::vector<std::string> SourcePathFor(const std::string& file, const Project* project) {
  std::vector<std::string> roots;
  AddOnce(roots, SourceRootOfFile(file));
  if (project && project->Encloses(file))
    for (const std::string& root : ProjectJavaLayout(*project).sourceRoots) AddOnce(roots, root);
  return roots;
}

std::string JoinSearchPath(const std::vector<std::string>& entries) {
  std::string out;
  for (const std::string& e : entries) {
    if (!out.empty()) out += ':';
    out += e;
  }
  return out;
}

}  // namespace tamso
