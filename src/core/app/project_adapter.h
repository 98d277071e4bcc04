#pragma once
// Joins the project object and the application's recent project list to the
// interfaces each expects of the other.

#include "app/project_model.h"
#include "app/recent_list.h"
#include "project/project.h"

namespace tamso {

class ProjectAdapter : public IProjectModel {
 public:
  explicit ProjectAdapter(Project& project) : project_(project) {}
  bool Create() override { return project_.Create(); }
  bool Open(const std::string& path) override {
    project_.Open(path);
    return project_.IsOpen();
  }
  void Close() override { project_.Close(); }
  bool IsOpen() const override { return project_.IsOpen(); }
  std::string File() const override {
    return project_.IsOpen() ? project_.ProjectFile() : std::string();
  }

 private:
  Project& project_;
};

// The project sees the application's list through this; null list: nothing is kept.
class RecentProjectsAdapter : public IRecentProjectList {
 public:
  explicit RecentProjectsAdapter(RecentList* list) : list_(list) {}
  void SetList(RecentList* list) { list_ = list; }
  void Add(const std::string& path) override {
    if (list_) list_->Add(path);
  }

 private:
  RecentList* list_;
};

}  // namespace tamso
