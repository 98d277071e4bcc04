#include "project/tree_commands.h"

namespace tamso {

namespace {

const Member* Selected(const Project& project, std::size_t selected) {
  const MemberList& members = project.Members();
  return selected < members.Size() ? &members.At(selected) : nullptr;
}

}  // namespace

std::vector<TreeMenuEntry> TreeMenuEntries(const Project& project, std::size_t selected) {
  std::vector<TreeMenuEntry> entries;
  if (const Member* m = Selected(project, selected); m && IsFileKind(m->kind, true)) {
    entries.push_back({kCmdOpenMember, "Open " + m->stored});
    entries.push_back({0, {}});
    entries.push_back({kCmdMarkMainFile, "Mark as 'Main file'"});
    entries.push_back({kCmdRemoveMember, "Remove from project"});
    entries.push_back({0, {}});
  }
  entries.push_back({kCmdInsertFiles, "Insert files into project..."});
  entries.push_back({kCmdAddFolder, "Add Folder to Project..."});
  entries.push_back({kCmdProjectSettings, "Project Settings..."});
  return entries;
}

void OpenMember(Project& project, std::size_t selected) {
  const Member* m = Selected(project, selected);
  if (!m || !IsFileKind(m->kind, true)) return;
  project.Host().OpenDocument(project.ResolveMember(m->stored));
}

void RunTreeCommand(Project& project, int id, std::size_t selected) {
  const Member* m = Selected(project, selected);
  // The stored path is copied: the command may remove the member.
  std::string stored = m ? m->stored : std::string();
  switch (id) {
    case kCmdOpenMember:
      OpenMember(project, selected);
      break;
    case kCmdMarkMainFile:
      if (m && IsFileKind(m->kind, false)) project.SetMainFile(stored);
      break;
    case kCmdRemoveMember:
      if (m && IsFileKind(m->kind, true)) project.RemoveFile(stored);
      break;
    case kCmdInsertFiles:
      project.InsertFileCommand();
      break;
    case kCmdAddFolder:
      project.AddFolderCommand();
      break;
    default:
      break;
  }
}

}  // namespace tamso
