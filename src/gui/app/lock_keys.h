#pragma once
// The caps-lock, num-lock and scroll-lock states, where the window system tells them.

#include <optional>

namespace tamso::gui {

struct LockStates {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// No value when the states cannot be read (no X11 display, as in offscreen tests).
std::optional<LockStates> ReadLockStates();

}  // namespace tamso::gui
