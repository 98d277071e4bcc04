#include "jobs/run_commands.h"

#include <cstring>

#include "java/jdk_choice.h"
#include "java/source_roots.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/run_choice.h"
#include "jobs/run_class_path.h"
#include "jobs/run_html.h"
#include "jobs/run_terminal.h"
#include "platform/command_line.h"
#include "platform/file_on_disk.h"
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

std::string TrimTrailing(std::string s) {
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.pop_back();
  return s;
}

void RunInConsole(RunContext& context, const RunJavaLaunch& launch, const std::string& directory) {
  if (!context.console || context.console->Run(launch.args, launch.heading, directory) != 0)
    ShowSpawnFailure(context.host, launch.line);
}

}  // namespace

void StartRunJavaLaunch(const RunJavaLaunch& launch, RunContext& context) {
  IHost& host = context.host;
  if (launch.privateConsole) {
    RunInConsole(context, launch, launch.directory);
    return;
  }
  // The program runs in the directory; the IDE's own current directory (which the
  // open project relies on) stays as it is.
  const std::string directory = TrimTrailing(launch.directory);
  if (!ProgramExists(launch.args, directory) ||
      (!directory.empty() && !paths::IsDirectory(directory))) {
    ShowSpawnFailure(host, launch.line);
    return;
  }
  const std::vector<std::string> prefix =
      RunTerminalPrefix(context.terminal.empty() ? nullptr : context.terminal.c_str());
  if (prefix.empty()) {
    if (context.console && host.MessageBox(kNoTerminalMessage, std::string(), MsgIcon::Question,
                                           MsgButtons::YesNo) == Answer::Yes)
      RunInConsole(context, launch, directory);
    else if (!context.console)
      host.Message(kNoTerminalMessage);
    return;
  }
  if (StartDetached(TerminalRunArguments(prefix, context.holdProgram, launch.args), directory) != 0)
    ShowSpawnFailure(host, launch.line);
}

void RunJavaCommand(IDocument* document, RunContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kRunBusyMessage);
    return;
  }
  const Project* project = context.project && context.project->IsOpen() ? context.project : nullptr;
  RunOffer offer = MakeRunOffer(context.profile, project, document);
  if (offer.refusal) {
    host.Message(*offer.refusal);
    return;
  }
  const std::string active = document ? document->PathName() : std::string();
  if (!project && !NamesJavaFile(active)) host.Message(kActiveNotJava);
  if (!offer.note.empty()) host.ShowStatus(offer.note);

  std::string classPath;
  if (!offer.source.empty() && !offer.singleFile)
    classPath = JoinSearchPath(RunClassPathEntries(context.profile, project, offer.source,
                                                   offer.sourceRoot, offer.offeredClass));
  else if (offer.source.empty() && !project)
    classPath = RunClassPath(context.profile, nullptr, active);
  else if (offer.source.empty() && project)
    classPath = project->OutputDirectory();
  offer.values.classPath = classPath;

  std::optional<RunJavaValues> chosen = context.dialogs.RunJava(offer.values);
  if (!chosen) return;
  RunJavaValues values = *chosen;
  values.classPath = classPath;
  KeepRunChoice(context.profile, project, offer, values);
  // The plain "java" is the chosen JDK's; the kept choice keeps the plain name.
  values.command = JavaCommandFor(values.command, ChosenJdk(context.profile, context.project).home);

  RunJavaLaunch launch{RunJavaArguments(values), ComposeRunJavaLine(values), RunJavaHeading(values),
                       values.directory, values.privateConsole};
  {
    // Stack-trace lines of the program's own sources lead to them.
    std::vector<std::string> roots;
    if (!offer.sourceRoot.empty()) roots.push_back(offer.sourceRoot);
    if (project)
      for (std::string& r : ProjectJavaLayout(*project).sourceRoots)
        if (r != offer.sourceRoot) roots.push_back(std::move(r));
    if (context.console) context.console->SetSourceRoots(roots);
    host.Output().SetReferenceRoots(roots);
  }

  // A class with no class file, or one older than its source, is compiled first (its
  // document saved as Compile saves it), and runs once the compile succeeds.
  const bool sameClass = !offer.source.empty() && !offer.singleFile &&
                         values.className == QuoteShellWord(NotAnOption(offer.offeredClass));
  if (sameClass && context.reenter) {
    const std::string classes =
        ClassesDirectoryFor(context.profile, project, offer.source, offer.sourceRoot);
    bool current = ClassIsCurrent(ClassFileFor(classes, offer.offeredClass), offer.source);
    // An open document with changes is newer than any class file.
    IDocument* open = document && document->PathName() == offer.source ? document : nullptr;
    if (open && open->IsModified()) current = false;
    if (!current) {
      FileOnDisk onDisk(offer.source);
      CompileContext compile{host,       context.profile,    context.slot,
                             context.ui, context.showOutput, project};
      compile.afterSuccess = [launch, reenter = context.reenter] {
        reenter([&launch](RunContext& c) { StartRunJavaLaunch(launch, c); });
      };
      CompileDocument(open ? *open : static_cast<IDocument&>(onDisk), compile);
      return;
    }
  }
  // The launcher compiles a single file from disk: what the editor holds is saved.
  if (offer.singleFile && document && document->PathName() == offer.source &&
      document->IsModified())
    document->Save();
  StartRunJavaLaunch(launch, context);
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
  std::optional<RunHtmlChoice> choice = context.dialogs.RunHtml(
      AppletViewerCommandFor(ChosenJdk(context.profile, context.project).home), context.htmlPage,
      pages);
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
