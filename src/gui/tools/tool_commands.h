#pragma once
// The Tools menu's commands on the main frame: "Find in Files...", "Customize..."
// and the ten user tools. main.cpp keeps the returned object for the program's life:
//   auto toolCommands = InstallToolCommands(shell, host, profile, project);

#include <memory>

#include "tools/tool_run.h"

namespace tamso {
class IniFile;
class Project;
}  // namespace tamso

namespace tamso::gui {

class ShellApplication;
class QtHost;
class MainWindow;

class ToolCommands : public IToolSite {
 public:
  ToolCommands(MainWindow& window, QtHost& host, IniFile& profile, IBuildSlot& slot,
               const Project* project);
  ~ToolCommands() override;

  // IToolSite
  bool PromptTool(ToolPrompt& prompt) override;
  IDocument* FindOpenDocument(const std::string& path) override;
  bool ReloadDocument(IDocument& document, std::string* error) override;
  void ShowOutput() override;

  void CustomizeTools();
  void FindInFiles();
  void RunToolSlot(int slot);

 private:
  MainWindow& window_;
  QtHost& host_;
  IniFile& profile_;
  const Project* project_;
  ToolRunContext context_;
};

std::unique_ptr<ToolCommands> InstallToolCommands(ShellApplication& shell, QtHost& host,
                                                  IniFile& profile, const Project& project);

}  // namespace tamso::gui
