#pragma once
// The class browser's pictures, one per node image: 0 the file (root), then by node
// kind 1 import, 2 class, 3 extends, 4 method, 5 package part, 6 group folder,
// 7 implements, 8 package, 9 field, 10 subroutine folder. Drawn at 16 x 16 and at
// twice that for high-density screens.

#include <QIcon>

namespace tamso::gui {

inline constexpr int kBrowserImageCount = 11;

// The picture for an image index; a null icon outside 0..10.
QIcon BrowserIcon(int image);

}  // namespace tamso::gui
