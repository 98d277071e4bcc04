#include "jobs/run_commands.h"

#include <cstring>

#include "java/jdk_choice.h"
#include "jobs/process_runner.h"
#include "jobs/run_html.h"
#include "jobs/run_terminal.h"
#include "platform/command_line.h"
#include "platform/file_read.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

void ShowSpawnFailure(IHost& host, const std::string& commandLine) {
  host.MessageBox(VisibleSpawnFailureText(commandLine), kSpawnCaption, MsgIcon::Stop,
                  MsgButtons::Ok);
}

// The class and directory a source gives, written where the dialog reads them.
// Only a source that declares a package changes them when fromPackageOnly. When the
// compiler writes the classes to an output directory (classesElsewhere) they lie in
// the package's folders there, wherever the source is, so the class is always named
// with its package. A stored project path may separate with "\\"; the active file's
// path is this system's, where "\\" is part of a name.
void WriteTargetOf(IniFile& profile, const std::string& stored, const std::string& onDisk,
                   bool fromPackageOnly, bool classesElsewhere, bool backslashSeparates) {
  std::string text;
  std::string package;
  if (ReadFileHead(onDisk, 64 * 1024, text)) package = DeclaredPackage(text);
  if (fromPackageOnly && package.empty()) return;
  RunTarget target = RunTargetFor(stored, package, backslashSeparates);
  if (classesElsewhere && !package.empty() && target.className.rfind(package + ".", 0) != 0)
    target.className = package + "." + target.className;
  profile.WriteString(kRunJavaSection, "Directory", target.directory);
  // A class name with blanks or quotes stays one argument of the line.
  profile.WriteString(kRunJavaSection, "Class", QuoteArgument(target.className));
}

std::string TrimTrailing(std::string s) {
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.pop_back();
  return s;
}

void RunInConsole(RunContext& context, const std::vector<std::string>& args,
                  const std::string& line, const std::string& directory) {
  if (!context.console || context.console->Run(args, line, directory) != 0)
    ShowSpawnFailure(context.host, line);
}

}  // namespace

void RunJavaCommand(IDocument* document, RunContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kRunBusyMessage);
    return;
  }
  std::string classPath;
  std::string source;  // the file whose classes run ("" none)
  const Project* project = nullptr;
  if (context.project && context.project->IsOpen()) {
    project = context.project;
    const std::string main = project->MainFileForRun();
    if (!NamesJavaFile(main)) {
      host.Message(NoJavaMainFileMessage(project->ProjectFile(), main));
      return;
    }
    source = project->ResolveMember(main);
    classPath = RunClassPath(context.profile, project, source);
    // A member below the project's folder ("./src/a/Main.java") runs from a full
    // path, whatever the current directory; one directly in it keeps "." as before.
    const bool nested = main.rfind("./", 0) == 0 && main.find('/', 2) != std::string::npos;
    WriteTargetOf(context.profile, nested ? source : main, source, false, !classPath.empty(),
                  !nested);
  } else {
    const std::string path = document ? document->PathName() : std::string();
    classPath = RunClassPath(context.profile, nullptr, path);
    if (!NamesJavaFile(path)) {
      host.Message(kActiveNotJava);
    } else {
      // A class in a package only runs from its package root under its full name.
      WriteTargetOf(context.profile, path, path, true, !classPath.empty(), false);
      source = path;
    }
  }

  RunJavaValues initial = LoadRunJavaValues(context.profile);
  // The compiler's output directory, when the run starts there, is the same folder
  // that goes on the class path, not one taken from wherever the IDE runs.
  if (context.profile.GetString("Compiler", "UseDirectory", "N") == "Y")
    initial.directory = ResolveOutputDirectory(initial.directory, project, source);
  initial.classPath = classPath;
  std::optional<RunJavaValues> chosen = context.dialogs.RunJava(initial);
  if (!chosen) return;
  RunJavaValues values = *chosen;
  values.classPath = classPath;
  SaveRunJavaValues(context.profile, values);
  // The plain "java" is the chosen JDK's; the setting keeps the plain name.
  values.command = JavaCommandFor(values.command, ChosenJdk(context.profile, context.project).home);

  const std::vector<std::string> args = RunJavaArguments(values);
  const std::string line = ComposeRunJavaLine(values);
  if (values.privateConsole) {
    RunInConsole(context, args, line, values.directory);
    return;
  }
  // The program runs in the directory; the IDE's own current directory (which the
  // open project relies on) stays as it is.
  const std::string directory = TrimTrailing(values.directory);
  if (!ProgramExists(args, directory) || (!directory.empty() && !paths::IsDirectory(directory))) {
    ShowSpawnFailure(host, line);
    return;
  }
  const std::vector<std::string> prefix =
      RunTerminalPrefix(context.terminal.empty() ? nullptr : context.terminal.c_str());
  if (prefix.empty()) {
    if (context.console && host.MessageBox(kNoTerminalMessage, std::string(), MsgIcon::Question,
                                           MsgButtons::YesNo) == Answer::Yes)
      RunInConsole(context, args, line, directory);
    else if (!context.console)
      host.Message(kNoTerminalMessage);
    return;
  }
  if (StartDetached(TerminalRunArguments(prefix, context.holdProgram, args), directory) != 0)
    ShowSpawnFailure(host, line);
}

std::shared_ptr<IBuildJob> AppletViewerCommand(IDocument& document, RunContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kRunBusyMessage);
    return nullptr;
  }
  if (!document.Save()) {
    host.Beep(BeepKind::Default);
    return nullptr;
  }
  ScopedWaitCursor wait(host);
  std::vector<std::string> pages;
  if (context.project && context.project->IsOpen()) pages = ProjectHtmlUrls(*context.project);
  std::optional<RunHtmlChoice> choice =
      context.dialogs.RunHtml(AppletViewerCommandFor(ChosenJdk(context.profile, context.project).home),
                              context.htmlPage, pages);
  if (!choice) return nullptr;
  HtmlRun run = AppletViewerRun(choice->command, choice->html);

  if (context.showOutput) context.showOutput();
  IOutput& out = host.Output();
  out.SetOutput(kAppletHeading);
  out.AppendOutput(kRunningAppletViewer, true);
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(run.commandLine, true);
  out.AppendOutput("", true);
  if (!ProgramExists(run.args, run.directory)) {
    // Current JDKs have no AppletViewer: say so beside the runner's own message.
    host.MessageBox(SpawnFailureText(run.commandLine, run.directory) + "\n\n" + kNoAppletViewerNote,
                    kSpawnCaption, MsgIcon::Stop, MsgButtons::Ok);
    ReportRunnerError(host, "Create process failed");
    out.AppendOutput("", false);
    out.AppendOutput(kSeparator, true);
    out.AppendOutput(kAppletDoneLine, true);
    host.Beep(BeepKind::Default);
    return nullptr;
  }
  CompileJob job{run.commandLine, run.directory, std::move(run.args), kAppletDoneLine};
  auto running = StartBuildThread(std::move(job), host, out, context.slot, context.ui);
  context.slot.SetBuildThread(running);
  return running;
}

void LaunchBrowserCommand(IDocument& document, RunContext& context) {
  IHost& host = context.host;
  document.Save();
  std::string command = context.browserPath;
  if (BrowserCommand(command).empty()) {
    // No browser of the user's own: the desktop's default one opens the page.
    if (FindProgram(kDesktopOpener).empty()) {
      host.MessageBox(kBrowserNotSetUp, kBrowserCaption, MsgIcon::Stop, MsgButtons::Ok);
      return;
    }
    command = kDesktopOpener;
  }
  std::vector<std::string> pages;
  if (context.project && context.project->IsOpen()) pages = ProjectHtmlUrls(*context.project);
  std::optional<RunHtmlChoice> choice = context.dialogs.RunHtml(command, context.htmlPage, pages);
  if (!choice) return;
  // The command as edited is read as the setting is read by the help pages too.
  std::vector<std::string> args = BrowserCommand(choice->command);
  if (args.empty()) args.push_back(kDesktopOpener);
  args.push_back(choice->html);
  if (StartDetached(args, std::string()) != 0)
    ShowSpawnFailure(host, choice->command + " " + choice->html);
}

}  // namespace tamso
