// The program: finds the profile, hands files to a running instance or starts the
// application, runs the event loop and writes back what is kept for the next start.

#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/app_command_line.h"
#include "app/bars.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/profile_check.h"
#include "app/project_adapter.h"
#include "app/recovery_journal.h"
#include "app/recovery_keeper.h"
#include "app/shell_application.h"
#include "app/signal_exit.h"
#include "app/start_banner.h"
#include "app/view_commands.h"
#include "browser/browser_view.h"
#include "codegen/codegen_commands.h"
#include "editor/editor_pane.h"
#include "help/help_install.h"
#include "jobs/compile.h"
#include "jobs/compile_wiring.h"
#include "jobs/output_bar.h"
#include "jobs/run_terminal.h"
#include "jobs/run_wiring.h"
#include "jobs/test_wiring.h"
#include "options/options_commands.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/profile_location.h"
#include "platform/qt_host.h"
#include "platform/single_instance.h"
#include "platform/startup_trace.h"
#include "project/project.h"
#include "project/project_adapters.h"
#include "project/project_settings_sheet.h"
#include "tools/tool_commands.h"

using namespace tamso;
using namespace tamso::gui;

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

int Run(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  startup::Mark("main");
  QApplication qapp(argc, argv);
  startup::Mark("Qt application and platform plugin");
  SetApplicationNames();
  UseDesktopIconTheme();
  startup::Mark("icon theme chosen");

  std::vector<std::string> args(argv + 1, argv + argc);
  ProfileLocation location =
      ResolveProfileLocation(args, argv[0], std::getenv("TAMSO_PROFILE"),
                             std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  AppCommandLine commandLine = ParseAppCommandLine(location.remainingArgs);

  SingleInstance instance(QFile::decodeName(location.path.c_str()));
  const bool interactive =
      !commandLine.embedding && !commandLine.automation && !commandLine.quitWhenIdle;
  if (interactive) {
    std::vector<std::string> files;
    for (const auto& f : commandLine.files) files.push_back(paths::Absolute(f));
    if (instance.HandOver(files)) return 0;
  }
  const bool profileWritable = PrepareProfileLocation(location.path);

  IniFile profile(location.path);
  // A profile of an absurd size is not read at all (every setting would go through it):
  // the program runs on defaults, says so once, and never writes over it.
  profile.SetSizeLimit(kLargestProfileBytes);
  const std::string profileTooLarge = ProfileTooLargeMessage(location.path);
  QtHost host;
  host.SetApplicationTitle(QStringLiteral("Tamso"));
  Project project(host, profile);
  ProjectAdapter projectModel(project);
  if (commandLine.quitWhenIdle) StartBanner::SetMayShow(false);

  // The real contents of the two docked bars.
  SetOutputBarFactory([&host](QWidget* parent) {
    OutputBar* bar = CreateOutputBarWidget(host, parent);
    return OutputBarParts{bar, bar};
  });
  InstallProjectTreeBar(project);
  CBrowserView::SetProject(&project);

  // Journals of unsaved text, for a run that ends without a clean exit; when their
  // folder cannot be made they go elsewhere, and the user is told once.
  std::string recoveryWarning;
  RecoveryStore recovery(
      commandLine.quitWhenIdle
          ? std::string()
          : ChooseRecoveryDir(DefaultRecoveryDir(EnvOrEmpty("XDG_STATE_HOME"), EnvOrEmpty("HOME")),
                              RecoveryDirFallbacks(EnvOrEmpty("XDG_RUNTIME_DIR")),
                              &recoveryWarning),
      paths::Canonical(location.path));

  ShellApplication shell(profile, host, projectModel, &CreateEditorPane,
                         commandLine.quitWhenIdle ? nullptr : &instance);

  // Compiling is a command of every editor view; it saves, then runs javac on a
  // worker thread with the output streamed into the output window.
  InstallCompileCommand(host, profile, shell, &project);
  InstallBuildCommands(host, profile, shell, project);
  InstallCodegenCommands(shell, profile, host);
  InstallHelpCommands(profile, host, shell.App(), &project);
  InstallRunCommands(host, profile, shell, project);
  InstallTestCommands(host, profile, shell, project);
  shell.App().SetCommandHandler(cmd::kProjectSettings,
                                [&] { RunProjectSettingsSheet(project, shell.Window()); });
  shell.App().SetCommandHandler(cmd::kOpenFolderAsProject, [&] { project.OpenFolderCommand(); });
  InstallOptionsCommands(shell, profile, host, !commandLine.quitWhenIdle);
  if (commandLine.quitWhenIdle) commandLine.files.clear();
  // SIGTERM, SIGHUP, SIGINT: the build and its children end, the profile is written.
  bool signalled = false;
  SignalExit signalExit([&shell, &signalled](int signal) {
    signalled = true;
    EndOnSignal(shell.App(), signal);
  });
  startup::Mark("profile, host and commands set up");
  if (!shell.Start(commandLine)) return 1;
  startup::Mark("window shown and files opened");
  auto toolCommands = InstallToolCommands(shell, host, profile, project);
  if (MainWindow* w = shell.Window(); w && !recoveryWarning.empty())
    QTimer::singleShot(0, w, [&host, recoveryWarning] { host.Message(recoveryWarning); });
  if (MainWindow* w = shell.Window(); w && recovery.Enabled()) {
    w->StartRecovery(recovery);
    QTimer::singleShot(0, w, [w] {
      w->Recovery()->OfferRecovery();
      startup::Mark("recovery journals looked at");
    });
  }
  RecentProjectsAdapter recentProjects(shell.App().RecentProjects());
  project.SetRecentList(&recentProjects);

  if (!profileTooLarge.empty() && shell.Window() && shell.Window()->isVisible()) {
    QTimer::singleShot(0, shell.Window(), [&] { host.Message(profileTooLarge); });
  } else if (!profileWritable && shell.Window() && shell.Window()->isVisible()) {
    QTimer::singleShot(0, shell.Window(),
                       [&] { host.Message(ProfileNotWritableMessage(location.path)); });
  }
  if (commandLine.quitWhenIdle) {
    QTimer::singleShot(0, &qapp, [&] {
      auto ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
      std::printf("tamso: shown and idle after %.1f ms\n", ms.count());
      std::fflush(stdout);
      QApplication::quit();
    });
  }
  if (startup::Enabled()) QTimer::singleShot(0, &qapp, [] { startup::Mark("event loop running"); });
  int rc = qapp.exec();
  // After a signal the unsaved texts stay in their journals, up to date; a clean
  // exit has dealt with every document and drops them.
  if (signalled && shell.Window() && shell.Window()->Recovery())
    shell.Window()->Recovery()->KeepAllNow();
  shell.App().EndRunningBuild();
  SetViewCommand(cmd::kCompile, {});
  project.SetRecentList(nullptr);
  shell.Finish();
  if (!signalled) recovery.DropAll();
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  // Started inside a terminal to run a program and keep the window open after it.
  if (const int held = RunHoldMode(argc, argv); held >= 0) return held;
  // Nothing read from outside may end the program with an uncaught exception.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tamso: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "tamso: unexpected error\n");
  }
  return 1;
}
