#pragma once
// Where a Java program's sources lie: the source root of a file (its folder without
// its package's folders), the source and resource folders of a project, and the
// -sourcepath a compile passes so that the classes a file uses compile with it.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class Project;

// The folder of path with the folders of package ("a.b": "a/b") taken off its end;
// without a package, the file's folder. "" when the folders do not end in the
// package's, or when the root would be the file system's root.
std::string SourceRootFor(std::string_view path, std::string_view package);

// The same for a file on disk, its package read from its text; *package receives it.
std::string SourceRootOfFile(const std::string& path, std::string* package = nullptr);

struct JavaLayout {
  std::vector<std::string> sourceRoots;    // full paths, each once
  std::vector<std::string> resourceRoots;  // for running: on the class path as they are
};

// An open project's layout: the roots of its Java members in member order, then
// src/main/java, src/test/java and src (only when there is no src/main) where they
// exist in the project's folder; src/main/resources and src/test/resources where they
// exist.
JavaLayout ProjectJavaLayout(const Project& project);

// The project's members that are Java sources (".java"), as full paths.
std::vector<std::string> ProjectJavaSources(const Project& project);

// What a compile of file passes as -sourcepath: the file's own root, then, when the
// open project encloses the file, the project's source roots; each once. Roots that
// hold ':' (which would split the list) are left out.
std::vector<std::string> SourcePathFor(const std::string& file, const Project* project);

// The entries joined with ':'.
std::string JoinSearchPath(const std::vector<std::string>& entries);

}  // namespace tamso
