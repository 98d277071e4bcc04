#include "jobs/project_build.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "java/jdk_choice.h"
#include "java/source_roots.h"
#include "jobs/build_tool.h"
#include "jobs/process_runner.h"
#include "jobs/run_tests.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

namespace fs = std::filesystem;

// a is b or lies above it (both absolute and normal).
bool Holds(const std::string& a, const std::string& b) {
  if (a == b || a == "/") return true;
  return b.size() > a.size() && b.compare(0, a.size(), a) == 0 && b[a.size()] == '/';
}

// Resolved as far as the path exists, so a link cannot hide what a folder is.
std::string Resolved(const std::string& path) {
  return paths::Canonical(paths::Absolute(path));
}

bool ModifiedAt(const std::string& path, timespec& at) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  at = st.st_mtim;
  return true;
}

bool Older(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The end of a build that never reached the compiler, as the compile worker ends.
void EndWithout(WorkerContext& c, const std::string& why) {
  c.output.AppendOutput(why, true);
  c.slot.SetBuildThread(nullptr);
  c.output.AppendOutput("", false);
  c.output.AppendOutput(kSeparator, true);
  c.output.AppendOutput(kDoneLine, true);
  c.host.ShowStatus("Build failed: " + why);
  c.host.Beep(BeepKind::Default);
}

// The output window's first lines for a build: the heading and, when the build
// follows a question, what led to it.
void StartOutput(IOutput& out, const std::string& note) {
  out.SetOutput(kCompileHeading);
  if (!note.empty()) out.AppendOutput(note, true);
}

// Build and Rebuild by the project's own build tool, in the project's folder.
std::shared_ptr<IBuildJob> BuildWithTool(CompileContext& context, const Project& project,
                                         const BuildToolChoice& tool, bool rebuild) {
  IHost& host = context.host;
  ScopedWaitCursor wait(host);
  if (context.showOutput) context.showOutput();
  const std::string& projectDir = project.ProjectDirectory();
  CompileJob job{ToolCommandLine(tool.args), projectDir, tool.args};
  job.showVerdict = true;
  IOutput& out = host.Output();
  StartOutput(out, {});
  out.SetReferenceDirectory(projectDir);
  out.AppendOutput((rebuild ? "Rebuilding entire project via " : "Building project via ") +
                       BuildToolName(tool) + "...",
                   true);
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(job.commandLine, true);
  out.AppendOutput("", true);
  auto running = StartBuildThread(std::move(job), host, out, context.slot, context.ui);
  context.slot.SetBuildThread(running);
  return running;
}

}  // namespace

std::string ToolCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& a : args) {
    if (!line.empty()) line += ' ';
    line += QuoteArgument(a);
  }
  return line;
}

std::string OutputDirectoryProblem(const std::string& directory) {
  if (::access(directory.c_str(), W_OK | X_OK) == 0) return {};
  return "The output directory " + directory + " cannot be written to:\n" + std::strerror(errno) +
         ".";
}

std::string JavacArgumentFileText(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& f : files) {
    text += '"';
    for (char ch : f) {
      if (ch == '\\' || ch == '"') text += '\\';
      text += ch;
    }
    text += "\"\n";
  }
  return text;
}

bool ClassesUpToDate(const std::vector<std::string>& sources,
                     const std::vector<std::string>& packages, const std::string& outDir) {
  if (sources.empty()) return false;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const std::string& source = sources[i];
    if (paths::FileName(source) == "package-info.java") continue;
    std::string folder = outDir;
    std::string pkg = i < packages.size() ? packages[i] : std::string();
    for (char& ch : pkg)
      if (ch == '.') ch = '/';
    if (!pkg.empty()) folder = paths::Join(folder, pkg);
    const std::string cls = paths::Join(folder, paths::BaseName(source) + ".class");
    timespec sourceTime{}, classTime{};
    if (!ModifiedAt(source, sourceTime) || !ModifiedAt(cls, classTime)) return false;
    if (Older(classTime, sourceTime)) return false;
  }
  return true;
}

std::string RebuildRefusal(const std::string& directory, const Project& project,
                           const JavaLayout& layout, const std::string& home) {
  const std::string dir = Resolved(directory);
  auto refuse = [&](const std::string& what) {
    return "The output directory " + dir + " is not emptied: it " + what + ".";
  };
  if (dir == "/") return refuse("is the root of the file system");
  if (!home.empty() && Holds(dir, Resolved(home))) return refuse("holds the home folder");
  if (Holds(dir, Resolved(project.ProjectDirectory()))) return refuse("holds the project's folder");
  for (const auto* list : {&layout.sourceRoots, &layout.resourceRoots})
    for (const std::string& root : *list)
      if (Holds(dir, Resolved(root))) return refuse("holds the source folder " + root);
  for (const std::string& member : project.MemberPaths())
    if (Holds(dir, Resolved(member))) return refuse("holds the project's file " + member);
  return {};
}

bool EmptyDirectory(const std::string& directory, std::string* error,
                    const std::function<bool()>& cancelled) {
  std::error_code ec;
  fs::directory_iterator it(directory, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (cancelled && cancelled()) return true;
    // remove_all takes a link away without following it.
    fs::remove_all(it->path(), ec);
    if (ec) {
      if (error) *error = "Cannot remove " + it->path().string() + ": " + ec.message() + ".";
      return false;
    }
  }
  if (ec) {
    if (error) *error = "Cannot empty " + directory + ": " + ec.message() + ".";
    return false;
  }
  return true;
}

std::vector<std::string> BuildProjectArguments(const IniFile& profile, const Project& project,
                                               const std::string& outDir,
                                               const std::vector<std::string>& roots,
                                               const std::string& argFile) {
  CompilerOverrides overrides;
  const CompilerDirectories own = project.LoadCompilerDirectories();
  if (own.useClassPath) overrides.classPath = own.classPath;
  overrides.directory = outDir;
  // Tests that import JUnit compile against the launcher, which holds its API.
  if (const std::string jar = TestLauncherJar(profile); paths::Exists(jar)) {
    for (const std::string& source : ProjectJavaSources(project)) {
      if (!FileImportsJUnit(source)) continue;
      std::string classPath =
          overrides.classPath.value_or(profile.GetString("Compiler", "UseClassPath", "N") == "Y"
                                           ? profile.GetString("Compiler", "ClassPath", "")
                                           : std::string());
      overrides.classPath = WithTestLauncher(classPath, outDir, jar);
      break;
    }
  }
  overrides.jdkHome = ChosenJdk(profile, &project).home;
  return BuildJavacArguments(profile, "@" + argFile, overrides, roots);
}

std::shared_ptr<IBuildJob> BuildProject(CompileContext& context, bool rebuild) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kBusyMessage);
    return nullptr;
  }
  const Project* project = context.project;
  if (!project || !project->IsOpen()) {
    host.Message("There is no open project");
    return nullptr;
  }
  const BuildToolChoice tool = ChooseBuildTool(project->ProjectDirectory(), rebuild, FindProgram);
  std::string note;  // why javac builds a project that names another tool
  if (tool.kind != BuildToolKind::Javac || !tool.missing.empty()) {
    // The file being edited is built as the user sees it.
    if (IDocument* doc = host.ActiveDocument();
        doc && doc->IsModified() && project->Encloses(doc->PathName()))
      doc->Save();
    if (tool.kind != BuildToolKind::Javac) return BuildWithTool(context, *project, tool, rebuild);
    note = MissingToolNote(tool);
    if (context.showOutput) context.showOutput();
    StartOutput(host.Output(), note);
    if (host.MessageBox(MissingToolQuestion(tool), std::string(), MsgIcon::Question,
                        MsgButtons::YesNo) != Answer::Yes) {
      host.Output().AppendOutput("Nothing was built.", true);
      return nullptr;
    }
    note += " Building with javac instead.";
  }
  const std::vector<std::string> sources = ProjectJavaSources(*project);
  if (sources.empty()) {
    host.Message(kNoJavaMembers);
    return nullptr;
  }
  // The file being edited is built as the user sees it, as a compile would.
  if (IDocument* doc = host.ActiveDocument();
      doc && doc->IsModified() && project->Encloses(doc->PathName()))
    doc->Save();
  std::string jdkHome;
  if (!CompilerJdk(context.profile, project, host, &jdkHome)) return nullptr;
  ScopedWaitCursor wait(host);
  const std::string outDir = project->OutputDirectory();
  const JavaLayout layout = ProjectJavaLayout(*project);
  if (rebuild) {
    const char* home = std::getenv("HOME");
    const std::string refusal = RebuildRefusal(outDir, *project, layout, home ? home : "");
    if (!refusal.empty()) {
      host.Message(refusal);
      return nullptr;
    }
  }
  if (!MakeOutputDirectory(outDir, host)) return nullptr;

  if (context.showOutput) context.showOutput();
  IOutput& out = host.Output();
  const std::string& projectDir = project->ProjectDirectory();
  if (!rebuild) {
    std::vector<std::string> packages;
    packages.reserve(sources.size());
    for (const std::string& s : sources) {
      std::string pkg;
      SourceRootOfFile(s, &pkg);
      packages.push_back(pkg);
    }
    if (ClassesUpToDate(sources, packages, outDir)) {
      StartOutput(out, note);
      out.AppendOutput(kBuildingLine, true);
      out.AppendOutput(kSeparator, true);
      out.AppendOutput(kUpToDateLine, true);
      out.AppendOutput(kSeparator, true);
      out.AppendOutput(kDoneLine, true);
      host.ShowStatus("Build: up to date");
      return nullptr;
    }
  }

  // A folder that exists but takes no files (a read-only medium, a folder of someone
  // else's) would only fail inside the compiler, file by file.
  if (const std::string problem = OutputDirectoryProblem(outDir); !problem.empty()) {
    host.Message(problem);
    return nullptr;
  }

  // The list goes into an argument file: thousands of paths would pass the limit of
  // a command line. It lives in the temporary folder and goes when the run ends.
  const char* tmp = std::getenv("TMPDIR");
  std::string argFile = std::string(tmp && *tmp ? tmp : "/tmp") + "/tamso-sources-XXXXXX";
  const int fd = ::mkstemp(argFile.data());
  if (fd < 0) {
    host.Message("The list of sources cannot be written to " + argFile + ":\n" +
                 std::strerror(errno) + ".");
    return nullptr;
  }
  const std::string text = JavacArgumentFileText(sources);
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool closed = ::close(fd) == 0;
  if (written < text.size() || !closed) {
    ::unlink(argFile.c_str());
    host.Message("The list of sources cannot be written to " + argFile + ".");
    return nullptr;
  }

  std::vector<std::string> args =
      BuildProjectArguments(context.profile, *project, outDir, layout.sourceRoots, argFile);
  CompileJob job{ShownCommandLine(args), projectDir, std::move(args)};
  job.showVerdict = true;
  StartOutput(out, note);
  out.SetReferenceDirectory(projectDir);
  out.AppendOutput(rebuild ? kRebuildingLine : kBuildingLine, true);
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(job.commandLine, true);
  AppendJdkLine(out, job.args);
  out.AppendOutput(std::to_string(sources.size()) +
                       (sources.size() == 1 ? " source file into " : " source files into ") +
                       outDir,
                   true);
  out.AppendOutput("", true);

  auto body = [job = std::move(job), rebuild, outDir, argFile,
               after = context.afterSuccess](WorkerContext& c) {
    std::string error;
    if (rebuild && !EmptyDirectory(outDir, &error, [&c] { return c.control.Cancelled(); })) {
      EndWithout(c, error);
    } else if (!c.control.Cancelled()) {
      const int code = BuildThreadProc(job, c.host, c.output, c.slot, &c.control);
      if (after && code == 0 && !c.control.Cancelled()) c.onUi(after);
    }
    ::unlink(argFile.c_str());
  };
  auto running = StartWorkerJob(std::move(body), host, out, context.slot, context.ui);
  context.slot.SetBuildThread(running);
  return running;
}

}  // namespace tamso
