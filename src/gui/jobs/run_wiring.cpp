#include "jobs/run_wiring.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QPointer>
#include <cstdlib>
#include <filesystem>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/view_commands.h"
#include "jobs/java_console.h"
#include "jobs/output_bar.h"
#include "jobs/run_commands.h"
#include "jobs/run_dialogs.h"
#include "platform/qt_host.h"
#include "project/project.h"

namespace tamso::gui {

namespace {

constexpr const char* kCloseWithProgramQuestion =
    "A program is still running in the Java Console.\n\nEnd it and close Tamso?";

// Asks before the main window closes while the console's program runs, and ends the
// program when the answer is yes (one question, not a second one from the console).
class CloseGuard : public QObject {
 public:
  CloseGuard(QtHost& host, JavaConsole* console, QObject* parent)
      : QObject(parent), host_(host), console_(console) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close && console_ && console_->ProgramRunning()) {
      if (host_.MessageBox(kCloseWithProgramQuestion, std::string(), MsgIcon::Question,
                           MsgButtons::YesNo) != Answer::Yes) {
        event->ignore();
        return true;
      }
      // The answer was to end it: the console closing with the window must not ask
      // the same question again.
      console_->EndProgram();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QtHost& host_;
  QPointer<JavaConsole> console_;
};

struct RunWiring {
  QtHost& host;
  IniFile& profile;
  ShellApplication& shell;
  Project& project;
  QPointer<JavaConsole> console;
  std::string holdProgram;
  std::vector<std::string> roots = {};  // the last run's source roots

  JavaConsole* Console() {
    MainWindow* window = shell.Window();
    if (!console && window) {
      // Docked beside the output window: it shares the main window's bottom and never
      // grows past the screen; both stay in view.
      auto* dock = new QDockWidget(QStringLiteral("Java Console"), window);
      dock->setObjectName(QStringLiteral("JavaConsoleDock"));
      dock->setAccessibleName(QStringLiteral("Java Console"));
      dock->setFeatures(QDockWidget::DockWidgetClosable);
      dock->setAllowedAreas(Qt::BottomDockWidgetArea);
      console = new JavaConsole(host, dock);
      dock->setWidget(console);
      window->addDockWidget(Qt::BottomDockWidgetArea, dock);
      if (QDockWidget* output = window->OutputDock()) {
        output->show();
        window->splitDockWidget(output, dock, Qt::Horizontal);
      }
      console->SetSourceRoots(roots);
      console->SetReveal([dock] {
        dock->show();
        dock->raise();
      });
      window->installEventFilter(new CloseGuard(host, console, window));
      QObject::connect(qApp, &QCoreApplication::aboutToQuit, console, [c = console] {
        if (c) c->EndProgram();
      });
    }
    return console;
  }

  template <class F>
  void WithContext(F f) {
    MainWindow* window = shell.Window();
    QtRunDialogs dialogs(host, window);
    JavaConsoleAdapter adapter{this};
    RunContext context{host, profile, shell.App(), MainUiThread(), dialogs, &adapter, &project};
    if (window) context.htmlPage = window->Frame().HtmlPage();
    context.browserPath = shell.App().GetBrowserPath();
    context.holdProgram = holdProgram;
    if (const char* t = std::getenv("TERMINAL")) context.terminal = t;
    context.showOutput = [window] {
      if (window && window->OutputDock()) window->OutputDock()->show();
    };
    context.reenter = [this](std::function<void(RunContext&)> later) { WithContext(later); };
    f(context);
  }

  // Creates the console only when a run asks for it.
  struct JavaConsoleAdapter : IJavaConsole {
    RunWiring* wiring;
    explicit JavaConsoleAdapter(RunWiring* w) : wiring(w) {}
    int Run(const std::vector<std::string>& args, const std::string& line,
            const std::string& directory) override {
      JavaConsole* c = wiring->Console();
      return c ? c->Run(args, line, directory) : ENOENT;
    }
    void SetSourceRoots(const std::vector<std::string>& roots) override {
      wiring->roots = roots;
      if (wiring->console) wiring->console->SetSourceRoots(roots);
    }
  };
};

std::string SelfExecutable() {
  std::error_code ec;
  const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace

void InstallRunCommands(QtHost& host, IniFile& profile, ShellApplication& shell, Project& project) {
  static RunWiring* wiring = nullptr;
  delete wiring;
  wiring = new RunWiring{host, profile, shell, project, nullptr, SelfExecutable()};
  SetViewCommand(cmd::kRunJava, [](ChildFrame& view) {
    wiring->WithContext([&](RunContext& c) { RunJavaCommand(view.Document(), c); });
  });
  SetViewCommand(cmd::kAppletViewer, [](ChildFrame& view) {
    wiring->WithContext([&](RunContext& c) { AppletViewerCommand(*view.Document(), c); });
  });
  SetViewCommand(cmd::kLaunchBrowser, [](ChildFrame& view) {
    wiring->WithContext([&](RunContext& c) { LaunchBrowserCommand(*view.Document(), c); });
  });
}

}  // namespace tamso::gui
