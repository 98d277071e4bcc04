#include "build/compile.h"

#include "build/process_runner.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"

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

std::string BuildJavacCommandLine(const IniFile& profile, std::string_view sourcePath,
                                  const CompilerOverrides& overrides) {
  std::string line = profile.GetString(kSection, "javac", "javac") + " ";
  if (overrides.directory)
    line += "-d " + *overrides.directory + " ";
  else if (ExactlyYes(profile, "UseDirectory"))
    line += "-d " + profile.GetString(kSection, "Directory", "") + " ";
  if (overrides.classPath)
    line += "-classpath " + *overrides.classPath + " ";
  else if (ExactlyYes(profile, "UseClassPath"))
    line += "-classpath " + profile.GetString(kSection, "ClassPath", "") + " ";
  static const std::pair<const char*, const char*> options[] = {
      {"Verbose", " -verbose "}, {"Debug", "-debug "},
      {"Depend", " -depend "},   {"DisableWarnings", "-nowarn "},
      {"GenerateDebug", " -g "}, {"NoWrite", " -nowrite "},
      {"Optimize", " -O "},
  };
  for (const auto& [key, text] : options)
    if (NotNo(profile, key)) line += text;
  line += QuoteSourcePath(sourcePath);
  return line;
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
  CompileJob job{BuildJavacCommandLine(context.profile, path, overrides), CompileDirectory(path)};
  IOutput& out = host.Output();
  out.SetOutput(kCompileHeading);
  out.AppendOutput(kCompilingLine, true);
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(job.commandLine, true);
  out.AppendOutput(kCompilingLine, true);
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
