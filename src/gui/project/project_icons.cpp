#include "project/project_icons.h"

#include "app/icons.h"

namespace tamso::gui {

const std::vector<QIcon>& ProjectTreeIcons() {
  static const std::vector<QIcon> icons = [] {
    std::vector<QIcon> v;
    for (int kind = 0; kind <= static_cast<int>(MemberKind::DesignFile); ++kind)
      v.push_back(ProjectMemberIcon(static_cast<MemberKind>(kind)));
    return v;
  }();
  return icons;
}

}  // namespace tamso::gui
