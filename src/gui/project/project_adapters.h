#pragma once
// Joining the project to the application object and the main window.

#include <functional>

#include "app/project_model.h"
#include "project/project.h"

namespace tamso {
class RecentList;
}

namespace tamso::gui {

// The project as the application's project commands see it, and the application's
// recent project list as the project's Create sees it.
class ProjectModelAdapter : public IProjectModel, public IRecentProjectList {
 public:
  explicit ProjectModelAdapter(Project& project);
  ~ProjectModelAdapter() override;
  // Where the recent project list is (it exists only once start-up has made it).
  void SetRecentList(std::function<RecentList*()> list) { recent_ = std::move(list); }

  bool Create() override { return project_.Create(); }
  bool Open(const std::string& path) override { return project_.Open(path); }
  void Close() override { project_.Close(); }
  bool IsOpen() const override { return project_.IsOpen(); }
  void Add(const std::string& path) override;

 private:
  Project& project_;
  std::function<RecentList*()> recent_;
};

// Makes the main window's project bar a project tree bar of this project.
void InstallProjectTreeBar(Project& project);

}  // namespace tamso::gui
