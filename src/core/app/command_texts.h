#pragma once
// Status-bar prompts and tool tips of the commands. Each is stored as one string:
// the prompt, then after a line feed the tool tip (either part may be missing).

#include <string>
#include <string_view>

namespace tamso {

struct CommandText {
  std::string prompt;   // shown in the status bar while the item or button is highlighted
  std::string toolTip;  // shown over a toolbar button; empty: none
};

// The stored string of a command id; empty when the command has none.
std::string_view CommandString(int id);
// The stored string split at its first line feed.
CommandText SplitCommandString(std::string_view text);
// Prompt and tool tip of a command id (both empty when it has no string).
CommandText CommandTextOf(int id);
// What a screen reader calls the command's toolbar button: its tool tip, else a short
// name for the few buttons that carry only a picture.
std::string CommandName(int id);

}  // namespace tamso
