#pragma once
// The models behind the project settings sheet's two pages.

#include <cstddef>
#include <string>
#include <vector>

#include "project/project.h"

namespace tamso {

// The "Files" page: the project's path and a list of stored paths. Every action goes
// straight to the project and its file; closing the sheet undoes nothing.
class ProjectFilesPage {
 public:
  explicit ProjectFilesPage(Project& project) : project_(project) {}

  // Fills the page from the project (empty with no open project).
  void Init();
  const std::string& ProjectPath() const { return projectPath_; }
  const std::vector<std::string>& Entries() const { return entries_; }

  // "Add files...": the multiple-selection dialog, then each chosen file in order.
  void AddFiles();
  // One chosen file: a path not yet listed is added to the project and its stored
  // form appended to the list (a member chosen by its full path is listed again in
  // its stored form while the project refuses it with a beep).
  void AddChosenFile(const std::string& path);
  // "Add folder...": the project's folder dialog; the files it added are appended.
  void AddFolder();
  // "Remove" and "Mark as 'Main'" for the selected entry; npos does nothing.
  void Remove(std::size_t selected);
  void MarkMain(std::size_t selected);

 private:
  Project& project_;
  std::string projectPath_;
  std::vector<std::string> entries_;
};

// The "Compiler directories" page: loaded from the project file when it opens, saved
// on OK.
class CompilerDirectoriesPage {
 public:
  explicit CompilerDirectoriesPage(Project& project) : project_(project) {}
  void Init() { fields = project_.LoadCompilerDirectories(); }
  // False when the project file could not be written or no project is open.
  bool Ok() { return project_.SaveCompilerDirectories(fields); }
  CompilerDirectories fields;

 private:
  Project& project_;
};

}  // namespace tamso
