#pragma once
// Joins the application object to its windows: start-up creates the main window,
// shows it and opens the documents named on the command line.

#include <QObject>
#include <functional>
#include <memory>

#include "app/editor_factory.h"
#include "app/t2_app.h"
#include "platform/qt_host.h"

namespace tamso::gui {

class MainWindow;
class SingleInstance;

// The program's names as the desktop sees them: "Tamso", with no display name, so
// that window titles are exactly what the windows set (a display name would be
// appended to every title).
void SetApplicationNames();

class ShellApplication : public QObject, public IAppWindows {
  Q_OBJECT
 public:
  // instance may be null (tests): no hand-over from later starts.
  ShellApplication(IniFile& profile, QtHost& host, IProjectModel& project,
                   EditorPaneFactory paneFactory, SingleInstance* instance);
  ~ShellApplication() override;

  // Start-up; false ends the program. A project file among the files opens as the
  // project once the window is up; the other names are made absolute first.
  bool Start(const AppCommandLine& commandLine);
  // What ending the program writes back.
  void Finish();

  CT2App& App() { return app_; }
  MainWindow* Window() const { return window_.get(); }

  // IAppWindows
  bool CreateMainFrame(bool mayShowBanner) override;
  void RegisterShellOpen() override;
  void ShowMainFrameMaximized() override;
  void OfferTips() override;
  void OpenDocuments(const std::vector<std::string>& paths) override;

  // What offering the start-up tips runs; nothing is offered without one.
  void SetTipsOffer(std::function<void()> offer) { offerTips_ = std::move(offer); }

 private:
  IniFile& profile_;
  QtHost& host_;
  EditorPaneFactory paneFactory_;
  SingleInstance* instance_;
  IProjectModel& project_;
  CT2App app_;
  std::unique_ptr<MainWindow> window_;
  std::function<void()> offerTips_;
};

}  // namespace tamso::gui
