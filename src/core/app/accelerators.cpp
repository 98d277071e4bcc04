#include "app/accelerators.h"

#include "app/command_ids.h"

namespace tamso {

const std::vector<Accelerator>& AcceleratorTable() {
  static const std::vector<Accelerator> table = {
      {"Ctrl+A", cmd::kEditSelectAll},
      {"Ctrl+C", cmd::kEditCopy},
      {"Ctrl+Ins", cmd::kEditCopy},
      {"Ctrl+F", cmd::kEditFind},
      {"Ctrl+H", cmd::kEditReplace},
      {"Ctrl+N", cmd::kFileNew},
      {"Ctrl+O", cmd::kFileOpen},
      {"Ctrl+P", cmd::kFilePrint},
      {"Ctrl+S", cmd::kFileSave},
      {"Ctrl+V", cmd::kEditPaste},
      {"Shift+Ins", cmd::kEditPaste},
      {"Ctrl+X", cmd::kEditCut},
      {"Shift+Del", cmd::kEditCut},
      {"Ctrl+Z", cmd::kEditUndo},
      {"Alt+Backspace", cmd::kEditUndo},
      {"Ctrl+Y", cmd::kEditRedo},
      {"Ctrl+Shift+Z", cmd::kEditRedo},
      // The keys the Edit and View menus show beside their commands.
      {"Ctrl+M", cmd::kMatchBracket},
      {"Ctrl+PgUp", cmd::kFontSmaller},
      {"Ctrl+PgDown", cmd::kFontBigger},
      {"Ctrl+W", cmd::kClassWizard},
      {"F1", cmd::kJavaSearch},
      {"F3", cmd::kEditRepeat},
      {"F4", cmd::kNextError},
      {"Shift+F4", cmd::kPreviousError},
      {"Ctrl+G", cmd::kGoToLine},
      {"F6", cmd::kNextPane},
      {"Shift+F6", cmd::kPrevPane},
      {"Alt+Return", cmd::kContextHelp},
      {"Esc", cmd::kEscape},
      {"Esc", cmd::kEscape2},
  };
  return table;
}

int AcceleratorCommand(const std::string& keys) {
  for (const auto& a : AcceleratorTable())
    if (a.keys == keys) return a.id;
  return 0;
}

}  // namespace tamso
