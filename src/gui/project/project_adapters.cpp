#include "project/project_adapters.h"

#include "app/bars.h"
#include "project/project_tree_bar.h"

namespace tamso::gui {

void InstallProjectTreeBar(Project& project) {
  SetProjectTreeFactory([&project](QWidget* parent) {
    auto* bar = new ProjectTreeBar(project, parent);
    return ProjectTreeParts{bar, [bar] { bar->ClearTree(); }};
  });
}

}  // namespace tamso::gui
