#include "tools/tools_customization.h"

#include <utility>

#include "platform/host.h"
#include "platform/ini_file.h"

namespace tamso {

ToolsCustomization::ToolsCustomization(IniFile& profile, IHost& host)
    : profile_(profile), host_(host), list_(ReadToolList(profile)) {}

void ToolsCustomization::SaveList() {
  WriteToolList(profile_, list_);
}

void ToolsCustomization::SaveShown() {
  // With no tool shown the fields belong to nobody: nothing is written.
  if (current_ < 0) return;
  SaveTool(profile_, fields_.menuText, fields_);
}

void ToolsCustomization::Add(const ToolDefinition& controls) {
  fields_ = controls;
  if (list_.size() >= static_cast<size_t>(kToolSlots)) {
    host_.Message(kNoMoreRoom);
    return;
  }
  list_.emplace_back(kUntitledTool);
  // The new entry is shown at once, so that what is typed next edits it and not the
  // tool that was shown (which is saved first, as any new selection does).
  Select(controls, static_cast<int>(list_.size()) - 1);
}

void ToolsCustomization::Remove(int selected) {
  if (selected >= 0 && static_cast<size_t>(selected) < list_.size())
    list_.erase(list_.begin() + selected);
  SaveList();
  current_ = -1;
  fields_ = ToolDefinition();
}

void ToolsCustomization::Select(const ToolDefinition& controls, int selected) {
  fields_ = controls;
  SaveList();
  SaveShown();
  if (selected < 0 || static_cast<size_t>(selected) >= list_.size()) {
    current_ = -1;
    fields_ = ToolDefinition();
    return;
  }
  current_ = selected;
  fields_ = LoadTool(profile_, list_[static_cast<size_t>(selected)]);
}

void ToolsCustomization::MenuTextChanged(const ToolDefinition& controls) {
  fields_ = controls;
  if (current_ >= 0 && static_cast<size_t>(current_) < list_.size())
    list_[static_cast<size_t>(current_)] = CleanMenuText(fields_.menuText);
}

void ToolsCustomization::Move(const ToolDefinition& controls, int by) {
  fields_ = controls;
  const int to = current_ + by;
  if (current_ < 0 || to < 0 || static_cast<size_t>(to) >= list_.size()) {
    host_.Beep(BeepKind::Default);
    return;
  }
  std::swap(list_[static_cast<size_t>(current_)], list_[static_cast<size_t>(to)]);
  current_ = to;
  SaveList();
  SaveShown();
}

void ToolsCustomization::MoveUp(const ToolDefinition& controls) {
  Move(controls, -1);
}

void ToolsCustomization::MoveDown(const ToolDefinition& controls) {
  Move(controls, 1);
}

void ToolsCustomization::Done(const ToolDefinition& controls) {
  Select(controls, current_);
}

}  // namespace tamso
