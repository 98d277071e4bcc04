#include "app/command_texts.h"

#include "app/command_ids.h"

namespace tamso {

namespace {

struct Entry {
  int id;
  std::string_view text;
};

// The system's own command strings.
constexpr Entry kOwnTexts[] = {
    {cmd::kAppletViewer, "Run AppletViewer\nRun AppletViewer"},
    {cmd::kLaunchBrowser, "Launch Web Browser\nLaunch Web Browser"},
    {cmd::kCompile, "Compile via Javac\nCompile Java to a .class file"},
    {cmd::kSettings, "Modify Editor, Compiler and Browser settings\nSettings"},
    {cmd::kRunJava, "Run the Java interpreter\nRun Java interpreter"},
    {cmd::kRunTests,
     "Run the JUnit tests of the active class, or the test method the caret is in\nRun Tests"},
    {cmd::kRunAllTests, "Run every JUnit test class of the project\nRun All Tests"},
    {cmd::kJavaDebugger, "Java Debugger\nJava Debugger"},
    {cmd::kInsertSkeleton, "Insert skeleton code\nCode Snippets"},
    {cmd::kProjectTree, "Show or hide the class tree\nToggle Class Tree visiblily"},
    {cmd::kOutputBar, "Show or hide the output bar\nToggle OutputBar"},
    {cmd::kNextError, "Show the next place the output names\nNext Error"},
    {cmd::kPreviousError, "Show the previous place the output names\nPrevious Error"},
    {cmd::kGoToLine, "Move the caret to a line\nGo to Line"},
    {cmd::kRefreshClassTree, "Refresh Browser\nRefresh class tree for the active source "},
    // A backslash where a line feed would be: the whole text is the prompt.
    {cmd::kPreviousSourceWindow, "Go to previous source window\\Previous source"},
    {cmd::kCreateProject, "Create new project\nCreate new project"},
    {cmd::kOpenProject, "Open existing project\nOpen existing project"},
    {cmd::kOpenFolderAsProject, "Make a project of a folder and its files\nOpen Folder as Project"},
    {cmd::kBuildProject, "Build project\nBuild project"},
    {cmd::kRebuildProject, "Rebuild all\nRebuild all"},
    {cmd::kFindInFiles, "Find in Files\nFind in Files"},
    {cmd::kStopBuilding, "Stop current build thread\nStop any backgroup compile threads"},
    {cmd::kMatchBracket,
     "Find matching bracket or Parenthesis\nFind matching bracket or Parenthesis"},
    {cmd::kClassWizard, "Class Wizard\nClass Wizard"},
    {cmd::kFontBigger, "Make Font Bigger\nMake Font Bigger"},
    {cmd::kFontSmaller, "Make font smaller\nMake Font Smaller"},
    {cmd::kWhatsCool, "Displays What's Cool"},
};

// The framework's standard prompts.
constexpr Entry kFrameworkTexts[] = {
    {cmd::kFileNew, "Create a new document\nNew"},
    {cmd::kFileOpen, "Open an existing document\nOpen"},
    {cmd::kFileClose, "Close the active document\nClose"},
    {cmd::kFileSave, "Save the active document\nSave"},
    {cmd::kFileSaveAs, "Save the active document with a new name\nSave As"},
    {cmd::kFilePrintSetup, "Change the printer and printing options\nPrint Setup"},
    {cmd::kFilePrint, "Print the active document\nPrint"},
    {cmd::kFilePrintPreview, "Display full pages\nPrint Preview"},
    {cmd::kEditCopy, "Copy the selection and put it on the Clipboard\nCopy"},
    {cmd::kEditCut, "Cut the selection and put it on the Clipboard\nCut"},
    {cmd::kEditFind, "Find the specified text\nFind"},
    {cmd::kEditPaste, "Insert Clipboard contents\nPaste"},
    {cmd::kEditRepeat, "Repeat the last search\nFind Next"},
    {cmd::kEditReplace, "Replace specific text with different text\nReplace"},
    {cmd::kEditSelectAll, "Select the entire document\nSelect All"},
    {cmd::kEditUndo, "Undo the last action\nUndo"},
    {cmd::kEditRedo, "Redo the previously undone action\nRedo"},
    {cmd::kWindowNew, "Open another window for the active document\nNew Window"},
    {cmd::kWindowArrange, "Arrange icons at the bottom of the window\nArrange Icons"},
    {cmd::kWindowCascade, "Arrange windows so they overlap\nCascade Windows"},
    {cmd::kWindowTile, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {cmd::kWindowTabbed, "Show the documents as tabs\nTabbed Windows"},
    {cmd::kAppAbout, "Display program information, version number and copyright\nAbout"},
    {cmd::kAppExit, "Quit the application; prompts to save documents\nExit"},
    {cmd::kNextPane, "Switch to the next window pane\nNext Pane"},
    {cmd::kPrevPane, "Switch back to the previous window pane\nPrevious Pane"},
    {cmd::kViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
    {cmd::kViewStatusBar, "Show or hide the status bar\nToggle StatusBar"},
};

}  // namespace

std::string_view CommandString(int id) {
  for (const auto& e : kOwnTexts)
    if (e.id == id) return e.text;
  for (const auto& e : kFrameworkTexts)
    if (e.id == id) return e.text;
  if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast) return "Open this document";
  if (id >= cmd::kRecentProjectFirst && id <= cmd::kRecentProjectLast) return "Open this project";
  return {};
}

CommandText SplitCommandString(std::string_view text) {
  CommandText t;
  auto nl = text.find('\n');
  if (nl == std::string_view::npos) {
    t.prompt = std::string(text);
  } else {
    t.prompt = std::string(text.substr(0, nl));
    t.toolTip = std::string(text.substr(nl + 1));
  }
  return t;
}

CommandText CommandTextOf(int id) {
  return SplitCommandString(CommandString(id));
}

std::string CommandName(int id) {
  CommandText t = CommandTextOf(id);
  if (!t.toolTip.empty()) return t.toolTip;
  switch (id) {
    case cmd::kFindComboText:
      return "Find the text of the find box";
    case cmd::kChildButton1:
    case cmd::kChildButton2:
      // Buttons with no command behind them: shown, always disabled.
      return "Unassigned";
    default:
      return t.prompt;
  }
}

}  // namespace tamso
