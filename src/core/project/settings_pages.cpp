#include "project/settings_pages.h"

namespace tamso {

void ProjectFilesPage::Init() {
  projectPath_ = project_.IsOpen() ? project_.ProjectFile() : std::string();
  entries_ = project_.StoredPaths();
}

void ProjectFilesPage::AddFiles() {
  FileDialogOptions options;
  options.title = "Select files to add to the project";
  options.defaultExt = "java";
  options.filter = "Common(*.java,*.htm*)|*.java;*.htm;*.html|All files( *.*)|*.*";
  options.overwritePrompt = true;
  if (project_.IsOpen()) options.initialDir = project_.ProjectDirectory();
  for (const std::string& path : project_.Host().OpenFilesDialog(options)) AddChosenFile(path);
}

void ProjectFilesPage::AddChosenFile(const std::string& path) {
  // A whole entry must match: file names differ by case here, and one name may begin
  // another ("A.java" and "A.javadoc").
  for (const std::string& e : entries_)
    if (e == path) return;
  project_.AddFile(path, true);
  if (!project_.IsOpen()) return;  // the project has said why; nothing was added
  std::string stored = path;
  project_.MakeRelative(stored);
  entries_.push_back(stored);
}

void ProjectFilesPage::AddFolder() {
  const std::size_t before = project_.Members().Size();
  project_.AddFolderCommand();
  const MemberList& members = project_.Members();
  for (std::size_t i = before; i < members.Size(); ++i) entries_.push_back(members.At(i).stored);
}

void ProjectFilesPage::Remove(std::size_t selected) {
  if (selected >= entries_.size()) return;
  project_.RemoveFile(entries_[selected]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(selected));
}

void ProjectFilesPage::MarkMain(std::size_t selected) {
  if (selected >= entries_.size()) return;
  project_.SetMainFile(entries_[selected]);
}

}  // namespace tamso
