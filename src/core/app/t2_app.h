#pragma once
// The application object: start-up in its fixed order, the values shared at run
// time (browser path, class-browser pane width), the build slot with its idle flag,
// the recent lists and the application-level commands (last in the routing chain).

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_command_line.h"
#include "app/command_router.h"
#include "app/project_model.h"
#include "app/recent_list.h"
#include "jobs/build_job.h"

namespace tamso {

class IHost;
class IniFile;

// The window side that start-up drives.
class IAppWindows {
 public:
  virtual ~IAppWindows() = default;
  // Creates the main window with its bars (hidden), and the start banner when allowed.
  // False: start-up ends.
  virtual bool CreateMainFrame(bool mayShowBanner) = 0;
  // Makes this instance the one that later starts hand their files to.
  virtual void RegisterShellOpen() = 0;
  virtual void ShowMainFrameMaximized() = 0;
  // The start-up tips (offered only on an interactive start).
  virtual void OfferTips() = 0;
  // Opens documents named on the command line.
  virtual void OpenDocuments(const std::vector<std::string>& paths) = 0;
};

// The class browser's width on a first start, in pixels.
inline constexpr int kDefaultBrowserPaneWidth = 200;

class CT2App : public CommandMap, public IBuildSlot {
 public:
  CT2App(IniFile& profile, IHost& host, IProjectModel& project);

  // Start-up; false ends the program.
  bool InitInstance(const AppCommandLine& commandLine, IAppWindows& windows);
  // Writes the values kept for the next start.
  void ExitInstance();

  bool MayShowBanner() const { return mayShowBanner_; }
  bool Embedded() const { return embedded_; }

  // The running build: a job marks a build as running; null marks the end of a build
  // (idle again, default beep). Call on the user-interface thread.
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override;
  bool IsIdle() const override { return idle_.load() != 0; }
  void StopBuilding();
  // Ending the program: a build still running is ended quietly and its worker waited
  // for, so it never reaches for windows that are gone.
  void EndRunningBuild();
  // Written by the compile command before its worker starts, read by the worker.
  std::string buildCommandLine;
  std::string buildDirectory;

  void SetBrowserPath(const std::string& path);
  std::string GetBrowserPath() const { return browserPath_; }
  int BrowserPaneWidth() const { return browserPaneWidth_; }
  void SetBrowserPaneWidth(int width) { browserPaneWidth_ = width; }

  IProjectModel& Project() { return project_; }
  RecentList& RecentFiles() { return recentFiles_; }
  RecentList* RecentProjects() { return recentProjects_.get(); }

  // Installs the handler of an application command that another part provides
  // (tips 119, About 57664, Settings 32777, Project Settings 32840, File New/Open).
  // Until one is installed the command has no handler and shows disabled.
  void SetCommandHandler(int id, std::function<void()> handler);

 private:
  void OnOpenProject();
  void OnCloseProject();
  void OnRecentProject(int id);
  void OnRecentFile(int id);

  IniFile& profile_;
  IHost& host_;
  IProjectModel& project_;
  RecentList recentFiles_;
  std::unique_ptr<RecentList> recentProjects_;
  std::mutex buildMutex_;
  std::shared_ptr<IBuildJob> buildJob_;
  std::atomic<int> idle_{1};
  std::string browserPath_;
  int browserPaneWidth_ = 0;
  bool mayShowBanner_ = false;
  bool embedded_ = false;
};

}  // namespace tamso
