#pragma once
// The accelerator table: the only key bindings of the menus and toolbars. The
// shortcut texts in the menus are display only; these are what the keys do.

#include <string>
#include <vector>

namespace tamso {

struct Accelerator {
  // Portable key text: modifiers "Ctrl+", "Shift+", "Alt+" then a key name
  // ("A", "F3", "Ins", "Del", "Backspace", "Return", "Esc").
  std::string keys;
  int id;
};

const std::vector<Accelerator>& AcceleratorTable();
// The command bound to the key text, or 0.
int AcceleratorCommand(const std::string& keys);

}  // namespace tamso
