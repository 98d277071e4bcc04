#pragma once
// The one project of the application: its project file, its members (shown by the
// project tree bar) and the project commands.
//
// While a project is open the process's current directory is the project's directory,
// so relative stored paths ("./Name.java") resolve against it.

#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/ini_file.h"
#include "project/member_list.h"

namespace tamso {

// The recent project list as the project needs it; the application owns it.
class IRecentProjectList {
 public:
  virtual ~IRecentProjectList() = default;
  // Puts path at the head of the list.
  virtual void Add(const std::string& path) = 0;
};

// The per-project compiler directories, kept in the project file.
struct CompilerDirectories {
  bool useClassPath = false;
  std::string classPath;
  bool useDirectory = false;
  std::string directory;
  // The project's JDK folder; "" follows the settings ("JDK" in the project file).
  std::string jdk;
  bool operator==(const CompilerDirectories&) const = default;
};

// What replaces the global -classpath and -d parts of a javac command line; an empty
// optional leaves the global part as it is.
struct CompilerOverrides {
  std::optional<std::string> classPath;
  std::optional<std::string> directory;
  // The JDK whose javac compiles; "" keeps the "javac" setting's program.
  std::string jdkHome;
};

// Where a project's classes go when no output directory is set, in its folder.
inline constexpr const char* kDefaultOutputDirectory = "out/classes";

// The file dialogs' filter for project files.
inline constexpr const char* kProjectFilter = "Project Files (*.jap)|*.jap|All Files (*)|*";

class Project {
 public:
  Project(IHost& host, IniFile& profile);
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  void SetRecentList(IRecentProjectList* list) { recent_ = list; }
  MemberList& Members() { return members_; }
  const MemberList& Members() const { return members_; }
  IHost& Host() { return host_; }

  // Asks for a file name, then creates (or reuses) that project file and opens it.
  // True when a project was opened.
  bool Create();
  // Closes any open project and opens this file; a file that does not exist or is not a
  // project file gives an empty project named after it. Always true.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return open_; }

  void AddFile(const std::string& path, bool rewrite);
  void SetMainFile(const std::string& path);
  void RemoveFile(const std::string& path);

  // path becomes its stored form: "./" + its path below the project directory when it
  // lies in or below it (the directory's text compared byte for byte), else unchanged.
  void MakeRelative(std::string& path);
  // Recomputes the project directory and makes it the current directory.
  void SetProjectDirectory();

  const std::string& ProjectFile() const { return projectFile_; }
  const std::string& ProjectDirectory() const { return projectDirectory_; }

  // The tree's "Insert files into project...": a file dialog, then AddFile.
  void InsertFileCommand();

  // Adds every Java, HTML and Perl file below folder that is not a member yet (hidden
  // folders and the output folders left out, at most kFolderScanLimit files, the user
  // told when there were more) and writes the project file once. The number added.
  std::size_t AddFolder(const std::string& folder);
  // "Add Folder to Project...": a folder dialog starting in the project's folder, then
  // AddFolder.
  void AddFolderCommand();
  // Makes a project of a folder: <folder>/<folder name>.jap (an existing one is kept),
  // opened, with every file AddFolder finds and, when the project has no main file yet
  // and exactly one of the Java files declares a main method, that file as main.
  // False (the user told why) when it could not be made.
  bool OpenFolderAsProject(const std::string& folder);
  // "Open Folder as Project...": a folder dialog, then OpenFolderAsProject.
  bool OpenFolderCommand();

  // Every member's stored path, in member order.
  std::vector<std::string> StoredPaths() const;
  // "file://" URLs of the members whose stored path contains ".htm" or ".HTM".
  std::vector<std::string> HtmlUrls() const;
  // The project file's "Mainfile" value: what a run starts, even after that member was
  // removed. "" with no open project or no value.
  std::string MainFileForRun() const;
  // A stored path as a path that opens regardless of the current directory.
  std::string ResolveMember(const std::string& stored) const;

  // Every member as a full path, in member order.
  std::vector<std::string> MemberPaths() const;
  // True when the full path is a member or lies below the project's folder.
  bool Encloses(const std::string& path) const;
  // The folder the project's classes go to, absolute: the project's own output
  // directory when its box is on, else the global one when "UseDirectory" is exactly
  // "Y", else kDefaultOutputDirectory; a relative one lies in the project's folder and a
  // blank one counts as none. "" with no open project.
  std::string OutputDirectory() const;

  CompilerDirectories LoadCompilerDirectories() const;
  // False (after telling the user) when the project file could not be written.
  bool SaveCompilerDirectories(const CompilerDirectories& dirs);
  // The overrides for compiling filePath: set only when the file is a member of the
  // open project and the project's check box for that part is on.
  CompilerOverrides CompilerOverridesFor(const std::string& filePath) const;

 private:
  std::string StoredForm(const std::string& path) const;
  void ComputeProjectDirectory();
  bool SaveProjectFile();
  void ReportWriteFailure();
  bool RequireOpen();
  // False (the user told why) when file exists but cannot be read as a project.
  bool OpenableFile(const std::string& file);

  IHost& host_;
  IniFile& profile_;
  IRecentProjectList* recent_ = nullptr;
  MemberList members_;
  bool open_ = false;
  std::string projectFile_;
  std::string projectDirectory_;
};

}  // namespace tamso
