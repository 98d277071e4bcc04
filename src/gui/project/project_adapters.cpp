#include "project/project_adapters.h"

#include "app/bars.h"
#include "app/recent_list.h"
#include "project/project_tree_bar.h"

namespace tamso::gui {

ProjectModelAdapter::ProjectModelAdapter(Project& project) : project_(project) {
  project_.SetRecentList(this);
}

ProjectModelAdapter::~ProjectModelAdapter() {
  project_.SetRecentList(nullptr);
}

void ProjectModelAdapter::Add(const std::string& path) {
  if (RecentList* list = recent_ ? recent_() : nullptr) list->Add(path);
}

void InstallProjectTreeBar(Project& project) {
  SetProjectTreeFactory([&project](QWidget* parent) {
    auto* bar = new ProjectTreeBar(project, parent);
    return ProjectTreeParts{bar, [bar] { bar->ClearTree(); }};
  });
}

}  // namespace tamso::gui
