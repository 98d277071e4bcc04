#include "project/project.h"

#include <cerrno>

#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/folder_scan.h"
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
  if (DirectoryPart(path, true) == projectDir) return "./" + paths::FileName(path);
  // Below the project folder: relative, so the folder can be moved or cloned. The
  // prefix is compared byte for byte, as the folder itself is.
  if (projectDir.size() > 1 && path.size() > projectDir.size() + 1 &&
      path.compare(0, projectDir.size(), projectDir) == 0 && path[projectDir.size()] == '/') {
    std::string rest = path.substr(projectDir.size() + 1);
    // Only a plain path below the folder: "a/../../x" lies elsewhere.
    bool plain = true;
    std::size_t start = 0;
    while (plain && start <= rest.size()) {
      std::size_t end = rest.find('/', start);
      if (end == std::string::npos) end = rest.size();
      std::string_view part(rest.data() + start, end - start);
      plain = !part.empty() && part != "." && part != "..";
      start = end + 1;
    }
    if (plain) return "./" + rest;
  }
  return path;
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
  if (open_) options.initialDir = projectDirectory_;
  std::optional<std::string> chosen = host_.OpenFileDialog(options);
  if (chosen && !chosen->empty()) AddFile(*chosen, true);
}

std::size_t Project::AddFolder(const std::string& folder) {
  if (!RequireOpen()) return 0;
  const std::string root = paths::Absolute(folder);
  // A large tree takes a while: the count shows it moving and Cancel ends it.
  std::unique_ptr<IProgress> progress = host_.BeginProgress("Looking for files in " + root);
  FolderScan scan =
      ScanProjectFolder(root, {OutputDirectory()}, kFolderScanLimit,
                        [&progress](std::size_t files, std::size_t folders) {
                          return !progress || progress->Update(ScanCountText(files, folders));
                        });
  progress.reset();
  if (!scan.error.empty()) {
    host_.Message(scan.error);
    return 0;
  }
  if (scan.cancelled) {
    host_.ShowStatus("Add Folder cancelled: no file was added");
    return 0;
  }
  std::size_t added = 0;
  members_.BeginBatch();
  for (const std::string& file : scan.files) {
    std::string stored = file;
    MakeRelative(stored);
    // Files already in the project are passed over quietly: one beep each would be noise.
    if (members_.Contains(stored)) continue;
    members_.InsertFile(stored, KindOfStoredPath(stored));
    ++added;
  }
  members_.EndBatch();
  if (added > 0) SaveProjectFile();
  if (scan.truncated)
    host_.Message("Only the first " + std::to_string(scan.files.size()) + " files below " + root +
                  " were looked at: the folder holds more.");
  host_.ShowStatus(std::to_string(added) + (added == 1 ? " file" : " files") +
                   " added to the project");
  return added;
}

void Project::AddFolderCommand() {
  if (!RequireOpen()) return;
  FileDialogOptions options;
  options.title = "Select a folder to add to the project";
  options.initialDir = projectDirectory_;
  std::optional<std::string> chosen = host_.FolderDialog(options);
  if (chosen && !chosen->empty()) AddFolder(*chosen);
}

bool Project::OpenFolderAsProject(const std::string& folder) {
  const std::string root = paths::Absolute(folder);
  if (!paths::IsDirectory(root)) {
    host_.Message(root + " is not a folder.");
    return false;
  }
  if (root == "/") {
    host_.Message("The root of the file system cannot be a project folder.");
    return false;
  }
  const std::string file = paths::Join(root, paths::FileName(root) + ".jap");
  if (!paths::Exists(file) && !IniFile(file).WriteString("Base", "Name", "Test")) {
    host_.Message("The project file " + file + " could not be written.");
    return false;
  }
  if (!Open(file)) return false;
  if (recent_) recent_->Add(file);
  AddFolder(root);
  if (members_.MainIndex() != MemberList::npos) return true;
  std::string main;
  int mains = 0;
  for (const std::string& path : MemberPaths()) {
    if (paths::Extension(path) != ".java") continue;
    std::string text;
    if (!ReadFileHead(path, 1 << 20, text) || !DeclaresMainMethod(text)) continue;
    main = path;
    if (++mains > 1) break;
  }
  if (mains == 1) SetMainFile(main);
  return true;
}

bool Project::OpenFolderCommand() {
  FileDialogOptions options;
  options.title = "Select the folder to open as a project";
  if (open_) options.initialDir = projectDirectory_;
  std::optional<std::string> chosen = host_.FolderDialog(options);
  if (!chosen || chosen->empty()) return false;
  return OpenFolderAsProject(*chosen);
}

std::vector<std::string> Project::MemberPaths() const {
  std::vector<std::string> out;
  out.reserve(members_.Size());
  for (const Member& m : members_.Members()) out.push_back(ResolveMember(m.stored));
  return out;
}

bool Project::Encloses(const std::string& path) const {
  if (!open_ || path.empty()) return false;
  if (StoredForm(path).rfind("./", 0) == 0) return true;
  return members_.Contains(StoredForm(path));
}

std::string Project::OutputDirectory() const {
  if (!open_ || projectDirectory_.empty()) return {};
  auto blank = [](const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; };
  CompilerDirectories own = LoadCompilerDirectories();
  std::string dir;
  if (own.useDirectory && !blank(own.directory))
    dir = own.directory;
  else if (profile_.GetString("Compiler", "UseDirectory", "N") == "Y")
    dir = profile_.GetString("Compiler", "Directory", "");
  if (blank(dir)) dir = kDefaultOutputDirectory;
  return paths::Absolute(paths::Join(projectDirectory_, dir));
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
  dirs.jdk = file.GetString("Project", "JDK", "");
  return dirs;
}

bool Project::SaveCompilerDirectories(const CompilerDirectories& dirs) {
  if (!open_) return false;
  IniFile file(projectFile_);
  bool ok = file.WriteYesNo("Project", "UseClassPath", dirs.useClassPath) &&
            file.WriteString("Project", "ClassPath", dirs.classPath) &&
            file.WriteYesNo("Project", "UseDirectory", dirs.useDirectory) &&
            file.WriteString("Project", "Directory", dirs.directory);
  // A project that follows the settings' JDK is written as before, without the key.
  if (ok)
    ok = dirs.jdk.empty() ? file.RemoveKey("Project", "JDK")
                          : file.WriteString("Project", "JDK", dirs.jdk);
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
