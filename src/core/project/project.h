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
  bool operator==(const CompilerDirectories&) const = default;
};

// What replaces the global -classpath and -d parts of a javac command line; an empty
// optional leaves the global part as it is.
struct CompilerOverrides {
  std::optional<std::string> classPath;
  std::optional<std::string> directory;
};

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

  // path becomes its stored form: "./" + file name when the file lies directly in the
  // project directory (byte-equal directory), else unchanged.
  void MakeRelative(std::string& path);
  // Recomputes the project directory and makes it the current directory.
  void SetProjectDirectory();

  const std::string& ProjectFile() const { return projectFile_; }
  const std::string& ProjectDirectory() const { return projectDirectory_; }

  // The tree's "Insert files into project...": a file dialog, then AddFile.
  void InsertFileCommand();

  // Every member's stored path, in member order.
  std::vector<std::string> StoredPaths() const;
  // "file://" URLs of the members whose stored path contains ".htm" or ".HTM".
  std::vector<std::string> HtmlUrls() const;
  // The project file's "Mainfile" value: what a run starts, even after that member was
  // removed. "" with no open project or no value.
  std::string MainFileForRun() const;
  // A stored path as a path that opens regardless of the current directory.
  std::string ResolveMember(const std::string& stored) const;

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
