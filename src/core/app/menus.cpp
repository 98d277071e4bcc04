#include "app/menus.h"

#include "app/command_ids.h"

namespace tamso {

namespace {

using K = MenuItem;

std::vector<MenuItem> RecentAndExit() {
  return {K::Command("Recent File", cmd::kFileMruFirst), K::Separator(),
          K::Command("Recent Project", cmd::kRecentProjectFirst), K::Separator(),
          K::Command("E&xit", cmd::kAppExit)};
}

std::vector<MenuItem> ProjectItems() {
  return {K::Command("Create new Project...", cmd::kCreateProject),
          K::Command("Open a project...", cmd::kOpenProject),
          K::Command("Open Folder as Project...", cmd::kOpenFolderAsProject),
          K::Command("Close current project", cmd::kCloseProject), K::Separator()};
}

MenuItem DocumentFileMenu() {
  auto items = ProjectItems();
  for (auto i :
       {K::Command("&New File\tCtrl+N", cmd::kFileNew),
        K::Command("&Open File...\tCtrl+O", cmd::kFileOpen), K::Command("&Close", cmd::kFileClose),
        K::Command("&Save\tCtrl+S", cmd::kFileSave), K::Command("Save &As...", cmd::kFileSaveAs),
        K::Separator(), K::Command("Page Setup...", cmd::kPageSetup),
        K::Command("&Print...\tCtrl+P", cmd::kFilePrint),
        K::Command("Print Pre&view", cmd::kFilePrintPreview),
        K::Command("P&rint Setup...", cmd::kFilePrintSetup), K::Separator()})
    items.push_back(i);
  for (auto& i : RecentAndExit()) items.push_back(i);
  return K::Popup("&File", items);
}

std::vector<MenuItem> BarToggles() {
  return {K::Command("&Toolbar", cmd::kViewToolbar), K::Command("&Status Bar", cmd::kViewStatusBar),
          K::Command("Project Tree", cmd::kProjectTree),
          K::Command("Compiler Output Window", cmd::kOutputBar)};
}

MenuItem ToolsMenu() {
  return K::Popup("Tools", {K::Command("Find in Files...", cmd::kFindInFiles), K::Separator(),
                            K::Command("Customize...", cmd::kCustomizeTools), K::Separator()});
}

MenuItem WindowMenu() {
  return K::Popup(
      "&Window",
      {K::Command("&New Window", cmd::kWindowNew), K::Command("&Cascade", cmd::kWindowCascade),
       K::Command("&Tile", cmd::kWindowTile), K::Command("&Arrange Icons", cmd::kWindowArrange),
       K::Separator(), K::Command("Ta&bbed Windows", cmd::kWindowTabbed)});
}

std::vector<MenuItem> EditItemsToSkeleton() {
  return {K::Command("&Undo\tCtrl+Z", cmd::kEditUndo),
          K::Command("&Redo\tCtrl+Y", cmd::kEditRedo),
          K::Separator(),
          K::Command("Cu&t\tCtrl+X", cmd::kEditCut),
          K::Command("&Copy\tCtrl+C", cmd::kEditCopy),
          K::Command("&Paste\tCtrl+V", cmd::kEditPaste),
          K::Command("Select A&ll\tCtrl+A", cmd::kEditSelectAll),
          K::Separator(),
          K::Command("&Find...\tCtrl+F", cmd::kEditFind),
          K::Command("F&ind Next\tF3", cmd::kEditRepeat),
          K::Command("R&eplace\tCtrl+H", cmd::kEditReplace),
          K::Separator(),
          K::Command("Insert Skeleton Code", cmd::kInsertSkeleton)};
}

}  // namespace

MenuItem* MenuBar::FindPopup(std::string_view text) {
  MenuItem* found = nullptr;
  for (auto& p : popups)
    if (p.text == text) found = &p;
  return found;
}

const MenuItem* MenuBar::FindPopup(std::string_view text) const {
  return const_cast<MenuBar*>(this)->FindPopup(text);
}

MenuBar MainMenuBar() {
  auto file = ProjectItems();
  for (auto i : {K::Command("&New File\tCtrl+N", cmd::kFileNew),
                 K::Command("&Open...\tCtrl+O", cmd::kFileOpen), K::Separator(),
                 K::Command("P&rint Setup...", cmd::kFilePrintSetup), K::Separator()})
    file.push_back(i);
  for (auto& i : RecentAndExit()) file.push_back(i);
  return {cmd::kMenuMain,
          {K::Popup("&File", file), K::Popup("&View", BarToggles()),
           K::Popup("Options", {K::Command("Settings...", cmd::kSettings),
                                K::Command("Project Settings...", cmd::kProjectSettings),
                                K::Separator(), K::Command("Editor Font...", cmd::kEditorFont)}),
           ToolsMenu(), K::Popup("&Help", {K::Command("&About Tamso...", cmd::kAppAbout)})}};
}

MenuBar JavaMenuBar() {
  auto edit = EditItemsToSkeleton();
  edit.push_back(K::Separator());
  edit.push_back(K::Command("Find matching bracket or Parenthesis\tCtrl+M", cmd::kMatchBracket));
  edit.push_back(K::Command("&Go to Line...\tCtrl+G", cmd::kGoToLine));
  auto view = BarToggles();
  for (auto i : {K::Separator(), K::Command("Line numbers", cmd::kLineNumbers), K::Separator(),
                 K::Command("Make Font Smaller\tCNTL+PageUp", cmd::kFontSmaller),
                 K::Command("Make Font Bigger\tCNTL+PageDown", cmd::kFontBigger), K::Separator(),
                 K::Command("Previous Source Window", cmd::kPreviousSourceWindow)})
    view.push_back(i);
  return {
      cmd::kMenuJava,
      {DocumentFileMenu(), K::Popup("&Edit", edit), K::Popup("&View", view),
       K::Popup("Options", {K::Command("Settings...", cmd::kSettings),
                            K::Command("Project Settings...", cmd::kProjectSettings),
                            K::Separator(), K::Command("Editor Font...", cmd::kEditorFont)}),
       K::Popup("Build",
                {K::Command("Compile active .java file", cmd::kCompile), K::Separator(),
                 K::Command("Open Design Window", cmd::kOpenDesignWindow), K::Separator(),
                 K::Command("Build project", cmd::kBuildProject),
                 K::Command("Rebuild entire project", cmd::kRebuildProject),
                 K::Command("Stop Building", cmd::kStopBuilding), K::Separator(),
                 K::Command("Run Java", cmd::kRunJava), K::Command("Run Tests", cmd::kRunTests),
                 K::Command("Run All Tests", cmd::kRunAllTests),
                 K::Command("Run AppletViewer ...", cmd::kAppletViewer),
                 K::Command("Launch Web browser...", cmd::kLaunchBrowser), K::Separator(),
                 K::Command("Refresh Class Tree for the active source ", cmd::kRefreshClassTree),
                 K::Separator(), K::Command("Next Error\tF4", cmd::kNextError),
                 K::Command("Previous Error\tShift+F4", cmd::kPreviousError)}),
       ToolsMenu(), WindowMenu(),
       K::Popup("&Help",
                {K::Command("&About Tamso...", cmd::kAppAbout), K::Separator(),
                 K::Command("Using (Wrenfold) Java Help...", cmd::kUsingJavaHelp),
                 K::Command("Java...", cmd::kJavaHelp), K::Command("Java  API...", cmd::kJavaApi),
                 K::Command("Java Class Heirarchy...", cmd::kJavaClassHierarchy),
                 K::Command("Java Language Spec...", cmd::kJavaLanguageSpec),
                 K::Command("Java Man Pages...", cmd::kJavaManPages),
                 K::Command("Java Tips and Tricks...", cmd::kJavaTips),
                 K::Command("Java Search...", cmd::kJavaSearch)})}};
}

MenuBar HtmlMenuBar() {
  auto edit = EditItemsToSkeleton();
  edit.push_back(K::Separator());
  edit.push_back(K::Command("&Go to Line...\tCtrl+G", cmd::kGoToLine));
  return {cmd::kMenuHtml,
          {DocumentFileMenu(), K::Popup("&Edit", edit), K::Popup("&View", BarToggles()),
           K::Popup("Options", {K::Command("Settings...", cmd::kSettings),
                                K::Command("Project  Settings...", cmd::kProjectSettings),
                                K::Separator(), K::Command("Editor Font...", cmd::kEditorFont)}),
           K::Popup("Build", {K::Command("Build project", cmd::kBuildProject),
                              K::Command("Rebuild entire project", cmd::kRebuildProject),
                              K::Separator(), K::Command("AppletViewer...", cmd::kAppletViewer),
                              K::Command("Launch Web Browser...", cmd::kLaunchBrowser),
                              K::Separator(), K::Command("Next Error\tF4", cmd::kNextError),
                              K::Command("Previous Error\tShift+F4", cmd::kPreviousError)}),
           ToolsMenu(), WindowMenu(),
           K::Popup("&Help", {K::Command("&About Tamso..", cmd::kAppAbout)})}};
}

MenuBar MenuBarById(int resourceId) {
  switch (resourceId) {
    case cmd::kMenuJava:
      return JavaMenuBar();
    case cmd::kMenuHtml:
      return HtmlMenuBar();
    default:
      return MainMenuBar();
  }
}

std::string_view MenuLabel(std::string_view text) {
  return text.substr(0, text.find('\t'));
}

std::string_view MenuShortcutText(std::string_view text) {
  auto tab = text.find('\t');
  return tab == std::string_view::npos ? std::string_view() : text.substr(tab + 1);
}

}  // namespace tamso
