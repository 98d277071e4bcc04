#pragma once
// The project tree's icons, one per member kind (index = kind).

#include <QIcon>
#include <vector>

namespace tamso::gui {

// Six icons: project, other file, main file, Java, HTML, design document.
const std::vector<QIcon>& ProjectTreeIcons();

}  // namespace tamso::gui
