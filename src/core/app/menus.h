#pragma once
// The menu bars as data: the gui builds its menus from these and the run-time
// menu rebuild edits them.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct MenuItem {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  std::string text;  // "Text\tShortcut"; the shortcut part is display only
  int id = 0;
  std::vector<MenuItem> items;  // for a popup

  static MenuItem Command(std::string text, int id) {
    return {Kind::Command, std::move(text), id, {}};
  }
  static MenuItem Separator() { return {Kind::Separator, {}, 0, {}}; }
  static MenuItem Popup(std::string text, std::vector<MenuItem> items) {
    return {Kind::Popup, std::move(text), 0, std::move(items)};
  }
  bool operator==(const MenuItem&) const = default;
};

struct MenuBar {
  int resourceId = 0;
  std::vector<MenuItem> popups;

  // The last top-level item whose text equals text, or null.
  MenuItem* FindPopup(std::string_view text);
  const MenuItem* FindPopup(std::string_view text) const;
};

// Menu bar 128 (no document window active, and Perl windows), 129 (Java), 130 (HTML).
MenuBar MainMenuBar();
MenuBar JavaMenuBar();
MenuBar HtmlMenuBar();
// The menu bar of a resource id (128, 129 or 130); any other id gives 128.
MenuBar MenuBarById(int resourceId);

// The item text before its tab (the part shown as the label).
std::string_view MenuLabel(std::string_view text);
// The shortcut text after the tab, or "".
std::string_view MenuShortcutText(std::string_view text);

}  // namespace tamso
