#include "jobs/compile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "java/jdk_choice.h"
#include "java/source_roots.h"
#include "jobs/process_runner.h"
#include "jobs/run_java.h"
#include "jobs/run_tests.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr const char* kSection = "Compiler";

bool ExactlyYes(const IniFile& profile, std::string_view key) {
  return profile.GetString(kSection, key, "N") == "Y";
}

bool NotNo(const IniFile& profile, std::string_view key) {
  return profile.GetString(kSection, key, "N") != "N";
}

}  // namespace

std::string QuoteSourcePath(std::string_view path) {
  return QuoteArgument(path, true);
}

std::vector<std::string> BuildJavacArguments(const IniFile& profile, std::string_view sourcePath,
                                             const CompilerOverrides& overrides,
                                             const std::vector<std::string>& sourceRoots) {
  std::vector<std::string> args = JavacProgram(profile, overrides.jdkHome);
  // Directory and class path are one argument each, whatever they hold; an empty one
  // is left out (else the next argument would be taken as its value).
  auto valued = [&](const char* option, const std::optional<std::string>& project,
                    const char* useKey, const char* key) {
    std::string value;
    if (project)
      value = *project;
    else if (ExactlyYes(profile, useKey))
      value = profile.GetString(kSection, key, "");
    else
      return;
    if (value.find_first_not_of(" \t") == std::string::npos) return;
    args.emplace_back(option);
    args.push_back(std::move(value));
  };
  valued("-d", overrides.directory, "UseDirectory", "Directory");
  valued("-classpath", overrides.classPath, "UseClassPath", "ClassPath");
  if (!sourceRoots.empty()) {
    args.emplace_back("-sourcepath");
    args.push_back(JoinSearchPath(sourceRoots));
  }
  static const std::pair<const char*, const char*> options[] = {
      {"Verbose", "-verbose"}, {"Debug", "-debug"},
      {"Depend", "-depend"},   {"DisableWarnings", "-nowarn"},
      {"GenerateDebug", "-g"}, {"NoWrite", "-nowrite"},
      {"Optimize", "-O"},
  };
  for (const auto& [key, option] : options)
    if (NotNo(profile, key)) args.emplace_back(option);
  for (std::string& option : JavacReleaseAndExtraOptions(profile))
    args.push_back(std::move(option));
  args.emplace_back(sourcePath);
  return args;
}

std::string ShownCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    // The source file (last) is always shown in quotes, the rest only where needed.
    line += QuoteArgument(args[i], i + 1 == args.size() && i > 0);
  }
  return line;
}

std::string BuildJavacCommandLine(const IniFile& profile, std::string_view sourcePath,
                                  const CompilerOverrides& overrides) {
  return ShownCommandLine(BuildJavacArguments(profile, sourcePath, overrides));
}

bool MakeOutputDirectory(const std::string& directory, IHost& host) {
  std::error_code ec;
  if (std::filesystem::is_directory(directory, ec)) return true;
  std::filesystem::create_directories(directory, ec);
  if (!ec && std::filesystem::is_directory(directory, ec)) return true;
  host.Message("The output directory " + directory + " cannot be created:\n" +
               (ec ? ec.message() : std::string("a file of that name is in the way")) + ".");
  return false;
}

bool CompilerJdk(const IniFile& profile, const Project* project, IHost& host, std::string* home) {
  const JdkInUse jdk = ChosenJdk(profile, project);
  if (!jdk.error.empty()) {
    host.Message(jdk.error + "\nChoose another JDK in " +
                 (jdk.fromProject ? "the project's settings." : "Settings (Compiler)."));
    return false;
  }
  *home = jdk.home;
  return true;
}

void AppendJdkLine(IOutput& out, const std::vector<std::string>& args) {
  const char* path = std::getenv("PATH");
  if (args.empty()) return;
  const std::string line = JdkHeadingLine(args.front(), path ? path : "");
  if (!line.empty()) out.AppendOutput(line, true);
}

std::string CompileDirectory(std::string_view sourcePath) {
  const size_t slash = sourcePath.find_last_of('/');
  if (slash == std::string_view::npos) return std::string(sourcePath);
  if (slash == 0) return "/";
  return std::string(sourcePath.substr(0, slash));
}

std::shared_ptr<IBuildJob> CompileDocument(IDocument& document, CompileContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kBusyMessage);
    return nullptr;
  }
  document.Save();
  const std::string path = document.PathName();
  // A new document whose save was cancelled has no file to compile.
  if (path.empty()) return nullptr;

  ScopedWaitCursor wait(host);
  if (context.showOutput) context.showOutput();

  CompilerOverrides overrides;
  if (context.project) overrides = context.project->CompilerOverridesFor(path);
  if (!CompilerJdk(context.profile, context.project, host, &overrides.jdkHome)) return nullptr;
  // The classes a file uses compile with it, found below its source root and, inside
  // a project, below the project's roots.
  std::vector<std::string> roots = SourcePathFor(path, context.project);
  const bool inProject = context.project && context.project->Encloses(path);
  if (inProject) {
    // Into the folder Build project fills and Run Java puts on the class path.
    overrides.directory = context.project->OutputDirectory();
    if (!MakeOutputDirectory(*overrides.directory, host)) return nullptr;
  } else if (context.project && context.project->IsOpen()) {
    // While a project is open a relative output directory is its folder's, where
    // Run Java looks for the classes, not one beside each source.
    std::optional<std::string> dir = overrides.directory;
    if (!dir && ExactlyYes(context.profile, "UseDirectory"))
      dir = context.profile.GetString(kSection, "Directory", "");
    if (dir) overrides.directory = ResolveOutputDirectory(*dir, context.project, path);
  }
  const std::string directory = CompileDirectory(path);
  // A file of no package outside a project finds its neighbours without one: the
  // compiler searches its working directory, which is that root. A class path of the
  // user's own would hide it.
  const bool classPath = overrides.classPath || ExactlyYes(context.profile, "UseClassPath");
  if (!inProject && !classPath && roots.size() == 1 && roots.front() == directory) roots.clear();
  // A test that imports JUnit compiles against the launcher, which holds its API.
  if (FileImportsJUnit(path)) {
    if (const std::string jar = TestLauncherJar(context.profile); paths::Exists(jar)) {
      const std::string given =
          overrides.classPath.value_or(ExactlyYes(context.profile, "UseClassPath")
                                           ? context.profile.GetString(kSection, "ClassPath", "")
                                           : std::string());
      std::string plain = ".";
      if (const std::optional<std::string>& out = overrides.directory; out && !out->empty())
        plain = *out + ":.";
      else if (!overrides.directory && ExactlyYes(context.profile, "UseDirectory"))
        plain = context.profile.GetString(kSection, "Directory", "") + ":.";
      overrides.classPath = WithTestLauncher(given, plain, jar);
    }
  }
  std::vector<std::string> args = BuildJavacArguments(context.profile, path, overrides, roots);
  CompileJob job{ShownCommandLine(args), directory, std::move(args)};
  job.showVerdict = true;
  job.afterSuccess = context.afterSuccess;
  IOutput& out = host.Output();
  out.SetOutput(kCompileHeading);
  out.SetReferenceDirectory(job.directory);
  out.AppendOutput(kCompilingLine, true);
  out.AppendOutput(kSeparator, true);
  // "Compiling via javac..." is said once, above the command line.
  out.AppendOutput(job.commandLine, true);
  AppendJdkLine(out, job.args);
  out.AppendOutput("", true);

  auto running = StartBuildThread(std::move(job), host, out, context.slot, context.ui);
  context.slot.SetBuildThread(running);
  return running;
}

std::shared_ptr<IBuildJob> CompileActiveFile(CompileContext& context) {
  IDocument* document = context.host.ActiveDocument();
  if (!document) {
    context.host.Beep(BeepKind::Default);
    return nullptr;
  }
  return CompileDocument(*document, context);
}

void StopBuilding(IBuildSlot& slot, const std::shared_ptr<IBuildJob>& job, IHost& host) {
  if (job) {
    job->Cancel();
    IOutput& out = host.Output();
    out.AppendOutput("", false);
    out.AppendOutput("Terminated at user request.", true);
    host.Beep(BeepKind::Exclamation);
  }
  slot.SetBuildThread(nullptr);
}

}  // namespace tamso
