#include "app/shell_application.h"

#include <QApplication>
#include <QScreen>

#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "platform/single_instance.h"

namespace tamso::gui {

ShellApplication::ShellApplication(IniFile& profile, QtHost& host, IProjectModel& project,
                                   EditorPaneFactory paneFactory, SingleInstance* instance)
    : profile_(profile),
      host_(host),
      paneFactory_(std::move(paneFactory)),
      instance_(instance),
      project_(project),
      app_(profile, host, project) {}

ShellApplication::~ShellApplication() {
  host_.SetSite(nullptr);
  host_.SetParentWindow(nullptr);
}

bool ShellApplication::Start(const AppCommandLine& commandLine) {
  // A project file named on the command line opens as the project, not as a page.
  AppCommandLine line = commandLine;
  const std::string projectFile = TakeProjectFile(line.files);
  if (!app_.InitInstance(line, *this)) return false;
  if (!projectFile.empty() && !app_.Embedded()) {
    if (project_.Open(projectFile) && app_.RecentProjects())
      app_.RecentProjects()->Add(projectFile);
  }
  return true;
}

void SetApplicationNames() {
  QApplication::setApplicationName(QStringLiteral("Tamso"));
  QGuiApplication::setDesktopFileName(QStringLiteral("tamso"));
}

void ShellApplication::Finish() {
  app_.ExitInstance();
}

bool ShellApplication::CreateMainFrame(bool mayShowBanner) {
  window_ = std::make_unique<MainWindow>(profile_, host_, app_, paneFactory_);
  if (!window_->Create(mayShowBanner)) {
    window_.reset();
    return false;
  }
  host_.SetParentWindow(window_.get());
  host_.SetSite(window_.get());
  host_.SetApplicationTitle(QStringLiteral("Tamso"));
  MainWindow* w = window_.get();
  app_.SetCommandHandler(cmd::kFileNew, [w] { w->FileNew(); });
  app_.SetCommandHandler(cmd::kFileOpen, [w] { w->FileOpen(); });
  app_.SetCommandHandler(cmd::kAppAbout, [w] {
    AboutDialog dialog(w);
    dialog.exec();
  });
  return true;
}

void ShellApplication::RegisterShellOpen() {
  if (!instance_) return;
  instance_->Listen();
  connect(instance_, &SingleInstance::filesReceived, window_.get(), &MainWindow::OpenFiles);
}

void ShellApplication::ShowMainFrameMaximized() {
  // Without a window manager nobody maximises the window: give it the screen first.
  if (QScreen* screen = window_->screen()) window_->setGeometry(screen->availableGeometry());
  window_->showMaximized();
}

void ShellApplication::OfferTips() {
  if (offerTips_) offerTips_();
}

void ShellApplication::OpenDocuments(const std::vector<std::string>& paths) {
  for (const auto& p : paths) window_->OpenDocumentFile(p);
}

}  // namespace tamso::gui
