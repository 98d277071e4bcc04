#include "jobs/test_wiring.h"

#include <QDockWidget>
#include <memory>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/view_commands.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "jobs/output_bar.h"
#include "jobs/run_tests.h"
#include "platform/qt_host.h"
#include "project/project.h"

namespace tamso::gui {

namespace {

struct TestWiring {
  QtHost& host;
  IniFile& profile;
  ShellApplication& shell;
  Project& project;
  bool wholeClass = false;  // the next run ignores the caret

  TestRunContext Context() {
    MainWindow* window = shell.Window();
    TestRunContext c{host, profile, shell.App(), MainUiThread(), &project};
    c.showOutput = [window] {
      if (window && window->OutputDock()) window->OutputDock()->show();
    };
    c.reenter = [this](std::function<void(TestRunContext&)> later) {
      TestRunContext again = Context();
      later(again);
    };
    c.markFailures = [this](const std::vector<std::string>& files,
                            const std::vector<CompileDiagnostic>& found) {
      if (MainWindow* w = shell.Window()) w->ApplyCompileDiagnostics(files, found);
    };
    return c;
  }

  void Run(ChildFrame* view, bool whole) {
    TestRequest request;
    request.wholeProject = whole;
    if (view) {
      request.document = view->Document();
      if (EditorPane* pane = view->Pane()) {
        request.text = pane->TextForSave();
        if (auto* source = dynamic_cast<SourceEditorPane*>(pane); source && !wholeClass)
          request.caretLine = source->Editor()->Store().Caret().line;
      }
    }
    wholeClass = false;
    TestRunContext context = Context();
    RunTestsCommand(request, context);
  }
};

TestWiring* wiring = nullptr;

}  // namespace

void InstallTestCommands(QtHost& host, IniFile& profile, ShellApplication& shell,
                         Project& project) {
  delete wiring;
  wiring = new TestWiring{host, profile, shell, project};
  SetViewCommand(cmd::kRunTests, [](ChildFrame& view) { wiring->Run(&view, false); });
  shell.App().SetCommandHandler(cmd::kRunAllTests, [] { wiring->Run(nullptr, true); });
}

void RunTestsOfFile(const std::string& path) {
  if (!wiring || !wiring->host.OpenDocument(path)) return;
  MainWindow* window = wiring->shell.Window();
  if (!window) return;
  wiring->wholeClass = true;
  window->Router().Execute(cmd::kRunTests);
  wiring->wholeClass = false;
}

}  // namespace tamso::gui
