#include "project/project.h"

#include <cerrno>

#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project_file.h"

namespace tamso {

namespace {

constexpr const char* kNoOpenProject = "There is no open project";
constexpr const char* kInsertFilter =
    "Common(*.java,*.htm*)|*.java;*.htm;*.html|All files( *.*)|*.*";

// The part of path before its last '/' when that '/' is not the first character;
// a path with none counts as its own directory. "/x" lies in "/".
std::string DirectoryPart(const std::string& path, bool wholeWhenNone) {
  std::size_t at = path.rfind('/');
  if (at == std::string::npos) return wholeWhenNone ? path : std::string();
  if (at == 0) return "/";
  return path.substr(0, at);
}

}  // namespace

Project::Project(IHost& host, IniFile& profile) : host_(host), profile_(profile) {}

void Project::ComputeProjectDirectory() {
  projectDirectory_ = DirectoryPart(projectFile_, false);
}

void Project::SetProjectDirectory() {
  ComputeProjectDirectory();
  // A directory removed under an open project simply stays unentered.
  if (!projectDirectory_.empty()) paths::SetCurrentDirectory(projectDirectory_);
}

std::string Project::StoredForm(const std::string& path) const {
  std::string projectDir = DirectoryPart(projectFile_, false);
  if (DirectoryPart(path, true) != projectDir) return path;
  return "./" + paths::FileName(path);
}

void Project::MakeRelative(std::string& path) {
  SetProjectDirectory();
  path = StoredForm(path);
}

bool Project::RequireOpen() {
  if (open_) return true;
  host_.Message(kNoOpenProject);
  return false;
}

void Project::ReportWriteFailure() {
  host_.Message("The project file " + projectFile_ + " could not be written.");
}

bool Project::SaveProjectFile() {
  std::vector<std::string> files;
  files.reserve(members_.Size());
  const std::string* main = nullptr;
  for (const Member& m : members_.Members()) {
    if (!IsFileKind(m.kind, true)) continue;
    files.push_back(m.stored);
    if (m.kind == MemberKind::MainFile) main = &m.stored;
  }
  if (WriteProjectMembers(projectFile_, files, main)) return true;
  ReportWriteFailure();
  return false;
}

bool Project::OpenableFile(const std::string& file) {
  // A missing file opens as a new, empty project; a file must be a readable
  // regular file of a sane size, so a pipe or a device never hangs or ends the program.
  FileProbe probe = ProbeFile(file);
  // A directory cannot block either: it opens empty, as a file that cannot be written.
  if (file.empty() || probe.kind == FileKind::Directory ||
      (probe.kind == FileKind::Missing && probe.err == ENOENT))
    return true;
  std::string error, head;
  if (probe.kind == FileKind::Regular && probe.size > kDefaultReadLimit)
    error = file + " is too large (" + SizeText(probe.size) + ").";
  else if (!ReadFileHead(file, 1, head, &error) && error.empty())
    error = "Cannot open " + file + ".";
  if (error.empty()) return true;
  // A project that cannot open is not tried again at the next start.
  if (paths::Absolute(profile_.GetString("Project", "Last", "")) == file)
    profile_.RemoveKey("Project", "Last");
  host_.Message("The project cannot be opened:\n" + error);
  return false;
}

bool Project::Open(const std::string& path) {
  Close();
  const std::string file = path.empty() ? path : paths::Absolute(path);
  if (!OpenableFile(file)) return false;
  open_ = true;
  // Kept absolute: the current directory moves to the project directory below, and a
  // relative name would then point somewhere else.
  projectFile_ = file;
  ComputeProjectDirectory();
  members_.InitRoot(projectFile_);
  members_.ExpandRoot();
  profile_.WriteString("Project", "Last", projectFile_);

  ProjectFileMembers stored = ReadProjectMembers(projectFile_);
  members_.BeginBatch();
  for (const std::string& file : stored.files) AddFile(paths::FromStored(file), false);
  members_.EndBatch();
  if (!stored.mainFile.empty()) SetMainFile(paths::FromStored(stored.mainFile));
  SetProjectDirectory();
  return true;
}

void Project::Close() {
  if (open_) {
    profile_.WriteString("Project", "Last", projectFile_);
    members_.ClearTree();
  }
  open_ = false;
}

bool Project::Create() {
  FileDialogOptions options;
  options.title = "Create new Steamcove Project";
  options.defaultExt = "jap";
  options.filter = kProjectFilter;
  options.overwritePrompt = true;
  std::optional<std::string> chosen = host_.SaveFileDialog(options);
  if (!chosen || chosen->empty()) return false;
  IniFile file(*chosen);
  if (!file.WriteString("Base", "Name", "Test")) {
    host_.Message("The project file " + *chosen + " could not be written.");
    return false;
  }
  if (recent_) recent_->Add(*chosen);
  Open(*chosen);
  return true;
}

void Project::AddFile(const std::string& path, bool rewrite) {
  if (!RequireOpen()) return;
  std::string stored = path;
  MakeRelative(stored);
  if (members_.Contains(stored))
    host_.Beep(BeepKind::Default);
  else
    members_.InsertFile(stored, KindOfStoredPath(stored));
  if (rewrite) SaveProjectFile();
}

void Project::SetMainFile(const std::string& path) {
  if (!RequireOpen()) return;
  std::string stored = path;
  if (stored.size() > 1) MakeRelative(stored);
  members_.ResetKinds();
  members_.MarkMain(stored);
  SaveProjectFile();
}

void Project::RemoveFile(const std::string& path) {
  if (!RequireOpen()) return;
  std::string stored = path;
  if (stored.size() > 1) MakeRelative(stored);
  members_.Delete(stored);
  SaveProjectFile();
}

void Project::InsertFileCommand() {
  FileDialogOptions options;
  options.title = "Select file to add to the project";
  options.defaultExt = "java";
  options.filter = kInsertFilter;
  options.overwritePrompt = true;
  std::optional<std::string> chosen = host_.OpenFileDialog(options);
  if (chosen && !chosen->empty()) AddFile(*chosen, true);
}

std::vector<std::string> Project::StoredPaths() const {
  std::vector<std::string> out;
  out.reserve(members_.Size());
  for (const Member& m : members_.Members()) out.push_back(m.stored);
  return out;
}

std::vector<std::string> Project::HtmlUrls() const {
  std::vector<std::string> out;
  for (const Member& m : members_.Members()) {
    const std::string& s = m.stored;
    if (s.find(".htm") == std::string::npos && s.find(".HTM") == std::string::npos) continue;
    if (s.find(':') != std::string::npos)
      out.push_back("file:///" + s);  // a drive-letter path from another system
    else
      out.push_back("file://" + ResolveMember(s));
  }
  return out;
}

std::string Project::ResolveMember(const std::string& stored) const {
  if (paths::IsAbsolute(stored) || projectDirectory_.empty()) return stored;
  std::string rel = stored.rfind("./", 0) == 0 ? stored.substr(2) : stored;
  return paths::Join(projectDirectory_, rel);
}

std::string Project::MainFileForRun() const {
  if (!open_) return {};
  return paths::FromStored(IniFile(projectFile_).GetString("Project", "Mainfile", ""));
}

CompilerDirectories Project::LoadCompilerDirectories() const {
  CompilerDirectories dirs;
  if (!open_) return dirs;
  IniFile file(projectFile_);
  dirs.useClassPath = file.GetString("Project", "UseClassPath", "N") == "Y";
  dirs.classPath = file.GetString("Project", "ClassPath", "");
  dirs.useDirectory = file.GetString("Project", "UseDirectory", "N") == "Y";
  dirs.directory = file.GetString("Project", "Directory", "");
  return dirs;
}

bool Project::SaveCompilerDirectories(const CompilerDirectories& dirs) {
  if (!open_) return false;
  IniFile file(projectFile_);
  bool ok = file.WriteYesNo("Project", "UseClassPath", dirs.useClassPath) &&
            file.WriteString("Project", "ClassPath", dirs.classPath) &&
            file.WriteYesNo("Project", "UseDirectory", dirs.useDirectory) &&
            file.WriteString("Project", "Directory", dirs.directory);
  if (!ok) ReportWriteFailure();
  return ok;
}

CompilerOverrides Project::CompilerOverridesFor(const std::string& filePath) const {
  CompilerOverrides overrides;
  if (!open_ || !members_.Contains(StoredForm(filePath))) return overrides;
  CompilerDirectories dirs = LoadCompilerDirectories();
  if (dirs.useClassPath) overrides.classPath = dirs.classPath;
  if (dirs.useDirectory) overrides.directory = dirs.directory;
  return overrides;
}

}  // namespace tamso
