#pragma once
// The main frame's own behaviour, apart from its widgets: the line-numbers flag,
// the HTML page text, the frame-level commands and the menu rebuild that runs each
// time the user enters the menu bar.

#include <string>

#include "app/command_router.h"
#include "app/menus.h"

namespace tamso {

class IHost;
class IniFile;

// What the frame's commands need of the window.
class IFrameWindow {
 public:
  virtual ~IFrameWindow() = default;
  // Bars by id: 59392 toolbar, 59393 status bar, 32818 project tree, 32819 output.
  virtual bool IsBarVisible(int barId) const = 0;
  virtual void ShowBar(int barId, bool show) = 0;
  // Activates the child window next in Z order (the one active before).
  virtual void ActivateNextChild() = 0;
  // Empties the project tree (the main window is closing for good).
  virtual void ClearProjectTree() = 0;
  // Closes the main window as the close box does (save prompts included, then the
  // project tree is emptied); a cancelled prompt leaves everything as it was.
  virtual void CloseMainWindow() = 0;
};

class CMainFrame : public CommandMap {
 public:
  CMainFrame(IniFile& profile, IHost& host, IFrameWindow& window);

  bool LineNumbers() const { return lineNumbers_ != 0; }

  // Forms "file:///" + path with every backslash made a forward slash.
  void SetHtmlPage(const std::string& path);
  const std::string& HtmlPage() const { return htmlPage_; }

  // Shows or hides each bar as the user last left it ([Bars] in the profile); a bar the
  // user never toggled keeps its first-start state. Once the bars exist.
  void RestoreBars();

  // Rebuilds the Help and Tools menus of the bar about to open; true when it changed.
  bool OnInitMenu(MenuBar& bar);

 private:
  IniFile& profile_;
  IHost& host_;
  IFrameWindow& window_;
  int lineNumbers_ = 1;
  std::string htmlPage_;
};

}  // namespace tamso
