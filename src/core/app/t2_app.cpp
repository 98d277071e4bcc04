#include "app/t2_app.h"

#include <exception>
#include <utility>

#include "app/command_ids.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "project/project.h"

namespace tamso {

CT2App::CT2App(IniFile& profile, IHost& host, IProjectModel& project)
    : profile_(profile),
      host_(host),
      project_(project),
      recentFiles_(cmd::kFileMruFirst, "Recent File List", "File%d", 4, 30) {
  On(cmd::kCreateProject, [this](int) { project_.Create(); });
  On(cmd::kOpenProject, [this](int) { OnOpenProject(); });
  On(cmd::kCloseProject, [this](int) { OnCloseProject(); });
  On(
      cmd::kStopBuilding, [this](int) { StopBuilding(); },
      [this](int) {
        return CommandState{!IsIdle(), false};
      });
  OnRange(
      cmd::kRecentProjectFirst, cmd::kRecentProjectLast, [this](int id) { OnRecentProject(id); },
      [this](int id) {
        bool present = recentProjects_ && id - cmd::kRecentProjectFirst < recentProjects_->Count();
        return CommandState{present, false};
      });
  OnRange(
      cmd::kFileMruFirst, cmd::kFileMruLast, [this](int id) { OnRecentFile(id); },
      [this](int id) {
        return CommandState{id - cmd::kFileMruFirst < recentFiles_.Count(), false};
      });
}

void CT2App::SetCommandHandler(int id, std::function<void()> handler) {
  if (!handler) {
    Remove(id);
    return;
  }
  // The project's own commands are there only while a project is open.
  if (id == cmd::kProjectSettings || id == cmd::kBuildProject || id == cmd::kRebuildProject) {
    On(
        id, [h = std::move(handler)](int) { h(); },
        [this](int) {
          return CommandState{project_.IsOpen(), false};
        });
  } else {
    On(id, [h = std::move(handler)](int) { h(); });
  }
}

bool CT2App::InitInstance(const AppCommandLine& commandLine, IAppWindows& windows) {
  // 1. The command line decides whether the banner may show.
  mayShowBanner_ = commandLine.ShowSplash();
  // 2, 3. Component initialisation and the 3-D look need nothing on this platform.
  // 4, 5. The recent lists.
  recentFiles_.ReadList(profile_);
  recentProjects_ = std::make_unique<RecentList>(cmd::kRecentProjectFirst, "Recent Project List",
                                                 "File%d", 4, 30);
  recentProjects_->ReadList(profile_);
  // Written as they change too: a crash must not lose them.
  recentFiles_.WriteThrough(&profile_);
  recentProjects_->WriteThrough(&profile_);
  // 6. The document templates are fixed tables (DocumentTemplates()).
  // 7. The main window with its bars.
  if (!windows.CreateMainFrame(mayShowBanner_)) return false;
  // 8. Later starts hand their files to this instance.
  windows.RegisterShellOpen();
  // 9. Started for embedding or automation: the window stays hidden, nothing is loaded.
  if (commandLine.embedding || commandLine.automation) {
    embedded_ = true;
    return true;
  }
  // 10.
  windows.ShowMainFrameMaximized();
  // 11.
  browserPath_ = profile_.GetString("Browser", "Path", "");
  // Wide enough for a class and its members' names on a first start; a width the
  // user dragged is kept in the profile.
  browserPaneWidth_ = profile_.GetInt("Editor", "BrowserSize", kDefaultBrowserPaneWidth);
  // 12.
  if (commandLine.ShowSplash()) windows.OfferTips();
  // 13.
  std::string last = profile_.GetString("Project", "Last", "");
  if (!last.empty()) {
    // Whatever the stored project is, the program starts; one that fails is reported
    // once and forgotten, so the next start does not fail the same way.
    try {
      project_.Open(last);
    } catch (const std::exception& e) {
      profile_.RemoveKey("Project", "Last");
      host_.Message("The project " + last + " cannot be opened: " + e.what());
    }
  }
  // Files named on the command line open once the window is up.
  if (!commandLine.files.empty()) windows.OpenDocuments(commandLine.files);
  return true;
}

void CT2App::ExitInstance() {
  // After an embedded start the width was never read: writing it would lose the saved one.
  if (!embedded_) profile_.WriteInt("Editor", "BrowserSize", browserPaneWidth_);
  if (recentProjects_) {
    recentProjects_->WriteList(profile_);
    recentProjects_.reset();
  }
  recentFiles_.WriteList(profile_);
}

void CT2App::SetBuildThread(std::shared_ptr<IBuildJob> job) {
  if (job) {
    std::shared_ptr<IBuildJob> previous;
    {
      std::lock_guard lock(buildMutex_);
      previous = std::exchange(buildJob_, std::move(job));
      idle_.store(0);
    }
    // A build that went idle but has not yet written its closing lines: they would land
    // in the new build's output.
    if (previous && !previous->Finished()) previous->Supersede();
    return;
  }
  idle_.store(1);
  host_.Beep(BeepKind::Default);
}

void CT2App::StopBuilding() {
  std::shared_ptr<IBuildJob> job;
  {
    std::lock_guard lock(buildMutex_);
    job = buildJob_;
  }
  // The slot keeps the last job after it ended; a finished one is not stopped again.
  if (job && !job->Finished()) {
    job->Cancel();
    host_.Output().AppendOutput("", false);
    host_.Output().AppendOutput("Terminated at user request.", true);
    host_.Beep(BeepKind::Exclamation);
  }
  SetBuildThread(nullptr);
}

void CT2App::EndRunningBuild() {
  std::shared_ptr<IBuildJob> job;
  {
    std::lock_guard lock(buildMutex_);
    job = buildJob_;
  }
  if (!job || job->Finished()) return;
  job->Cancel();
  job->WaitFinished(5000);
  idle_.store(1);
}

void CT2App::SetBrowserPath(const std::string& path) {
  browserPath_ = path;
  profile_.WriteString("Browser", "Path", path);
}

void CT2App::OnOpenProject() {
  FileDialogOptions options;
  options.defaultExt = "jap";
  options.filter = kProjectFilter;
  options.overwritePrompt = true;
  auto path = host_.OpenFileDialog(options);
  if (!path || path->empty()) return;
  // Only a project that did open goes into the recent list.
  if (project_.Open(*path) && recentProjects_) recentProjects_->Add(*path);
}

void CT2App::OnCloseProject() {
  if (project_.IsOpen())
    project_.Close();
  else
    host_.Message("No Project is open");
}

void CT2App::OnRecentProject(int id) {
  if (!recentProjects_) return;
  std::string path = recentProjects_->At(id - cmd::kRecentProjectFirst);
  if (!path.empty()) project_.Open(path);
}

void CT2App::OnRecentFile(int id) {
  int index = id - cmd::kFileMruFirst;
  std::string path = recentFiles_.At(index);
  if (path.empty()) return;
  // An entry that no longer opens leaves the list.
  if (!host_.OpenDocument(path)) recentFiles_.Remove(index);
}

}  // namespace tamso
