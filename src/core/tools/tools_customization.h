#pragma once
// The "Tools customization" dialog's behaviour, apart from its widgets: the list of
// tools (one a slot), the fields of the tool shown, and what Add, Remove, Move up,
// Down, a new selection, an edit of the menu text and Done write to the profile.
//
// Each event takes the fields as the controls hold them now; afterwards the dialog
// shows List(), Selected() and Fields().

#include <string>
#include <vector>

#include "tools/tool_config.h"

namespace tamso {

class IHost;
class IniFile;

inline constexpr const char* kNoMoreRoom =
    "Sorry. No more room left.\nYou must remove before you can add";
inline constexpr const char* kUntitledTool = "Untitled";

class ToolsCustomization {
 public:
  ToolsCustomization(IniFile& profile, IHost& host);

  const std::vector<std::string>& List() const { return list_; }
  // The tool whose fields are shown (-1: none), which is also the selected entry.
  int CurrentSlot() const { return current_; }
  const ToolDefinition& Fields() const { return fields_; }

  // A new entry "Untitled" at the end, selected and shown (the shown tool is saved
  // first), or the no-room message.
  void Add(const ToolDefinition& controls);
  // Deletes the selected entry; nothing is shown afterwards.
  void Remove(int selected);
  // Saves the tool shown, then shows the newly selected one.
  void Select(const ToolDefinition& controls, int selected);
  // The shown tool's list entry follows its menu text at once.
  void MenuTextChanged(const ToolDefinition& controls);
  // Moves the shown tool one slot up or down (its menu command moves with it).
  void MoveUp(const ToolDefinition& controls);
  void MoveDown(const ToolDefinition& controls);
  // Saves the tool shown (the dialog then closes).
  void Done(const ToolDefinition& controls);

 private:
  void SaveList();
  void SaveShown();
  void Move(const ToolDefinition& controls, int by);

  IniFile& profile_;
  IHost& host_;
  std::vector<std::string> list_;
  ToolDefinition fields_;
  int current_ = -1;
};

}  // namespace tamso
