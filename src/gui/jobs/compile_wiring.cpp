#include "jobs/compile_wiring.h"

#include <QDockWidget>
#include <memory>
#include <string>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/view_commands.h"
#include "jobs/compile.h"
#include "jobs/diagnostics.h"
#include "jobs/output_bar.h"
#include "jobs/project_build.h"
#include "java/source_roots.h"
#include "platform/qt_host.h"
#include "project/project.h"

namespace tamso::gui {

namespace {

// The application's build slot as the compile sees it: when the worker marks the
// application idle at the end of its run (a stopped compile never does), the
// output is read for diagnostics.
class CompileSlot : public IBuildSlot {
 public:
  explicit CompileSlot(ShellApplication& shell) : shell_(shell) {}

  void Compiling(const std::string& file) {
    files_.assign(1, file);
    baseDir_ = CompileDirectory(file);
  }
  // A project build: every source loses its old marks; relative names in the output
  // are the project folder's.
  void Compiling(std::vector<std::string> files, std::string baseDir) {
    files_ = std::move(files);
    baseDir_ = std::move(baseDir);
  }

  bool IsIdle() const override { return shell_.App().IsIdle(); }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override {
    const bool ended = !job;
    shell_.App().SetBuildThread(std::move(job));
    if (ended && !files_.empty()) MarkDiagnostics();
  }

 private:
  void MarkDiagnostics() {
    const std::vector<std::string> files = std::exchange(files_, {});
    MainWindow* window = shell_.Window();
    if (!window) return;
    auto* bar = dynamic_cast<OutputBar*>(&window->OutputWindow());
    if (!bar) return;
    const OutputText& text = bar->Text();
    const auto found = ParseDiagnostics(
        text.LineCount(), [&text](size_t i) { return text.LineSlice(i, 0, 64 * 1024); }, baseDir_);
    window->ApplyCompileDiagnostics(files, found);
  }

  ShellApplication& shell_;
  std::vector<std::string> files_;  // the files of the running compile
  std::string baseDir_;
};

// What a compile or a build runs with: its output shows the output window.
CompileContext ContextFor(QtHost& host, IniFile& profile, CompileSlot& slot,
                          ShellApplication& shell, Project* project) {
  return CompileContext{host,
                        profile,
                        slot,
                        MainUiThread(),
                        [&shell] {
                          if (shell.Window() && shell.Window()->OutputDock())
                            shell.Window()->OutputDock()->show();
                        },
                        project};
}

}  // namespace

void InstallCompileCommand(QtHost& host, IniFile& profile, ShellApplication& shell,
                           Project* project) {
  auto slot = std::make_shared<CompileSlot>(shell);
  SetViewCommand(cmd::kCompile, [&host, &profile, &shell, project, slot](ChildFrame& view) {
    CompileContext context = ContextFor(host, profile, *slot, shell, project);
    if (CompileDocument(*view.Document(), context)) slot->Compiling(view.Document()->PathName());
  });
}

void InstallBuildCommands(QtHost& host, IniFile& profile, ShellApplication& shell,
                          Project& project) {
  auto slot = std::make_shared<CompileSlot>(shell);
  auto run = [&host, &profile, &shell, &project, slot](bool rebuild) {
    CompileContext context = ContextFor(host, profile, *slot, shell, &project);
    if (BuildProject(context, rebuild))
      slot->Compiling(ProjectJavaSources(project), project.ProjectDirectory());
  };
  shell.App().SetCommandHandler(cmd::kBuildProject, [run] { run(false); });
  shell.App().SetCommandHandler(cmd::kRebuildProject, [run] { run(true); });
}

}  // namespace tamso::gui
