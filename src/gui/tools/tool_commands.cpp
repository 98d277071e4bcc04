#include "tools/tool_commands.h"

#include <QDockWidget>
#include <cstdlib>
#include <filesystem>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/source_document.h"
#include "jobs/output_bar.h"
#include "editor/editor_pane.h"
#include "platform/paths.h"
#include "project/project.h"
#include "tools/tools_dialogs.h"

namespace tamso::gui {

ToolCommands::ToolCommands(MainWindow& window, QtHost& host, IniFile& profile, IBuildSlot& slot,
                           const Project* project)
    : window_(window),
      host_(host),
      profile_(profile),
      project_(project),
      context_{host, profile, slot, MainUiThread(), *this} {
  // A tool that is not redirected runs in a terminal that stays to show how it ended.
  context_.inTerminal = true;
  if (const char* t = std::getenv("TERMINAL")) context_.terminal = t;
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) context_.holdProgram = self.string();
  CMainFrame& frame = window_.Frame();
  frame.On(cmd::kCustomizeTools, [this](int) { CustomizeTools(); });
  frame.On(cmd::kFindInFiles, [this](int) { FindInFiles(); });
  for (int i = 0; i < 10; ++i)
    frame.On(cmd::kToolIds[i], [this](int id) { RunToolSlot(cmd::ToolIndex(id)); });
}

ToolCommands::~ToolCommands() {
  CMainFrame& frame = window_.Frame();
  frame.Remove(cmd::kCustomizeTools);
  frame.Remove(cmd::kFindInFiles);
  for (int id : cmd::kToolIds) frame.Remove(id);
}

bool ToolCommands::PromptTool(ToolPrompt& prompt) {
  ToolPromptDialog dialog(prompt, &window_);
  if (dialog.exec() != QDialog::Accepted) return false;
  prompt = dialog.Values();
  return true;
}

IDocument* ToolCommands::FindOpenDocument(const std::string& path) {
  const std::string canonical = paths::Canonical(path);
  for (SourceDocument* doc : window_.Documents())
    if (!doc->PathName().empty() && paths::Canonical(doc->PathName()) == canonical) return doc;
  return nullptr;
}

bool ToolCommands::ReloadDocument(IDocument& document, std::string* error) {
  for (SourceDocument* doc : window_.Documents()) {
    if (doc != &document) continue;
    EditorPane* pane = doc->FirstPane();
    // As for a change on disk: one undo step, the caret's line and the scroll kept.
    if (!pane || !pane->ReloadFromFile(doc->PathName(), error)) return false;
    pane->SetModified(false);
    window_.UpdateTitles();
    return true;
  }
  return false;
}

void ToolCommands::ShowOutput() {
  if (window_.OutputDock()) window_.OutputDock()->show();
}

void ToolCommands::CustomizeTools() {
  ToolsDialog dialog(profile_, host_, &window_);
  dialog.exec();
}

void ToolCommands::FindInFiles() {
  std::string projectDir;
  if (project_ && project_->IsOpen()) projectDir = project_->ProjectDirectory();
  const char* home = std::getenv("HOME");
  ShowOutput();
  FindInFilesDialog dialog(host_, profile_, context_.slot, context_.ui,
                           DefaultSearchDirectory(projectDir, home ? home : ""), &window_);
  dialog.exec();
}

void ToolCommands::RunToolSlot(int slot) {
  RunTool(slot, context_);
}

std::unique_ptr<ToolCommands> InstallToolCommands(ShellApplication& shell, QtHost& host,
                                                  IniFile& profile, const Project& project) {
  if (!shell.Window()) return nullptr;
  return std::make_unique<ToolCommands>(*shell.Window(), host, profile, shell.App(), &project);
}

}  // namespace tamso::gui
