#include "app/menus.h"

#include <gtest/gtest.h>

#include "app/accelerators.h"
#include "app/command_ids.h"
#include "app/command_texts.h"

namespace tamso {
namespace {

// One line per item: "text|id", "-" for a separator; popups by their text.
std::string Dump(const MenuItem& popup) {
  std::string out;
  for (const auto& i : popup.items) {
    if (i.kind == MenuItem::Kind::Separator)
      out += "-\n";
    else
      out += i.text + "|" + std::to_string(i.id) + "\n";
  }
  return out;
}

std::vector<std::string> Titles(const MenuBar& bar) {
  std::vector<std::string> v;
  for (const auto& p : bar.popups) v.push_back(p.text);
  return v;
}

const std::string kMainFile =
    "Create new Project...|32827\nOpen a project...|32828\nOpen Folder as Project...|32962\n"
    "Close current project|32834\n-\n"
    "&New File\tCtrl+N|57600\n&Open...\tCtrl+O|57601\n-\nP&rint Setup...|57606\n-\n"
    "Recent File|57616\n-\nRecent Project|61446\n-\nE&xit|57665\n";
const std::string kDocFile =
    "Create new Project...|32827\nOpen a project...|32828\nOpen Folder as Project...|32962\n"
    "Close current project|32834\n-\n"
    "&New File\tCtrl+N|57600\n&Open File...\tCtrl+O|57601\n&Close|57602\n&Save\tCtrl+S|57603\n"
    "Save &As...|57604\n-\nPage Setup...|32895\n&Print...\tCtrl+P|57607\nPrint Pre&view|57609\n"
    "P&rint Setup...|57606\n-\nRecent File|57616\n-\nRecent Project|61446\n-\nE&xit|57665\n";
const std::string kEditToSkeleton =
    "&Undo\tCtrl+Z|57643\n&Redo\tCtrl+Y|57644\n-\nCu&t\tCtrl+X|57635\n&Copy\tCtrl+C|57634\n&"
    "Paste\tCtrl+V|57637\n"
    "Select A&ll\tCtrl+A|57642\n-\n&Find...\tCtrl+F|57636\nF&ind Next\tF3|57640\n"
    "R&eplace\tCtrl+H|57641\n-\nInsert Skeleton Code|32816\n";
const std::string kToggles =
    "&Toolbar|59392\n&Status Bar|59393\nProject Tree|32818\nCompiler Output Window|32819\n";
const std::string kTools = "Find in Files...|32838\n-\nCustomize...|32853\n-\n";
const std::string kWindow =
    "&New Window|57648\n&Cascade|57650\n&Tile|57651\n&Arrange Icons|57649\n-\n"
    "Ta&bbed Windows|32943\n";

TEST(MenuBars, MainBarHasNoEditBuildOrWindowMenu) {
  MenuBar bar = MainMenuBar();
  EXPECT_EQ(bar.resourceId, 128);
  EXPECT_EQ(Titles(bar), (std::vector<std::string>{"&File", "&View", "Options", "Tools", "&Help"}));
  EXPECT_EQ(Dump(bar.popups[0]), kMainFile);
  EXPECT_EQ(Dump(bar.popups[1]), kToggles);
  EXPECT_EQ(Dump(bar.popups[2]),
            "Settings...|32777\nProject Settings...|32840\n-\nEditor Font...|32772\n");
  EXPECT_EQ(Dump(bar.popups[3]), kTools);
  EXPECT_EQ(Dump(bar.popups[4]), "&About Tamso...|57664\n");
}

TEST(MenuBars, JavaBarAsWritten) {
  MenuBar bar = JavaMenuBar();
  EXPECT_EQ(bar.resourceId, 129);
  EXPECT_EQ(Titles(bar), (std::vector<std::string>{"&File", "&Edit", "&View", "Options", "Build",
                                                   "Tools", "&Window", "&Help"}));
  EXPECT_EQ(Dump(bar.popups[0]), kDocFile);
  EXPECT_EQ(Dump(bar.popups[1]), kEditToSkeleton +
                                     "-\nFind matching bracket or Parenthesis\tCtrl+M|32850\n"
                                     "&Go to Line...\tCtrl+G|32942\n");
  EXPECT_EQ(Dump(bar.popups[2]),
            kToggles +
                "-\nLine numbers|32910\n-\nMake Font Smaller\tCNTL+PageUp|32912\n"
                "Make Font Bigger\tCNTL+PageDown|32911\n-\n"
                "Previous Source Window|32826\n");
  // "Editor Font..." where the other bars have it (a Perl window keeps the bar it
  // comes to, so it has it too).
  EXPECT_EQ(Dump(bar.popups[3]),
            "Settings...|32777\nProject Settings...|32840\n-\nEditor Font...|32772\n");
  EXPECT_EQ(Dump(bar.popups[4]),
            "Compile active .java file|32776\n-\nOpen Design Window|32884\n-\n"
            "Build project|32832\nRebuild entire project|32833\nStop Building|32848\n-\n"
            "Run Java|32812\nRun Tests|32963\nRun All Tests|32964\n"
            "Run AppletViewer ...|32774\nLaunch Web browser...|32775\n-\n"
            "Refresh Class Tree for the active source |32820\n-\n"
            "Next Error\tF4|32940\nPrevious Error\tShift+F4|32941\n");
  EXPECT_EQ(Dump(bar.popups[5]), kTools);
  EXPECT_EQ(Dump(bar.popups[6]), kWindow);
  EXPECT_EQ(Dump(bar.popups[7]),
            "&About Tamso...|57664\n-\nUsing (Wrenfold) Java Help...|32920\nJava...|32909\n"
            "Java  API...|32921\nJava Class Heirarchy...|32923\nJava Language Spec...|32917\n"
            "Java Man Pages...|32918\nJava Tips and Tricks...|32919\nJava Search...|32922\n");
}

TEST(MenuBars, HtmlBarAsWritten) {
  MenuBar bar = HtmlMenuBar();
  EXPECT_EQ(bar.resourceId, 130);
  EXPECT_EQ(Titles(bar), (std::vector<std::string>{"&File", "&Edit", "&View", "Options", "Build",
                                                   "Tools", "&Window", "&Help"}));
  EXPECT_EQ(Dump(bar.popups[0]), kDocFile);
  EXPECT_EQ(Dump(bar.popups[1]), kEditToSkeleton + "-\n&Go to Line...\tCtrl+G|32942\n");
  EXPECT_EQ(Dump(bar.popups[2]), kToggles);
  EXPECT_EQ(Dump(bar.popups[3]),
            "Settings...|32777\nProject  Settings...|32840\n-\nEditor Font...|32772\n");
  EXPECT_EQ(Dump(bar.popups[4]),
            "Build project|32832\nRebuild entire project|32833\n-\nAppletViewer...|32774\n"
            "Launch Web Browser...|32775\n-\nNext Error\tF4|32940\n"
            "Previous Error\tShift+F4|32941\n");
  EXPECT_EQ(Dump(bar.popups[7]), "&About Tamso..|57664\n");
}

TEST(MenuBars, LabelAndShortcutSplitAtTab) {
  EXPECT_EQ(MenuLabel("&Save\tCtrl+S"), "&Save");
  EXPECT_EQ(MenuShortcutText("&Save\tCtrl+S"), "Ctrl+S");
  EXPECT_EQ(MenuShortcutText("E&xit"), "");
  EXPECT_EQ(MenuBarById(999).resourceId, 128);
}

TEST(Accelerators, TableBindsExactlyTheListedKeys) {
  EXPECT_EQ(AcceleratorCommand("Ctrl+Ins"), cmd::kEditCopy);
  EXPECT_EQ(AcceleratorCommand("Shift+Ins"), cmd::kEditPaste);
  EXPECT_EQ(AcceleratorCommand("Shift+Del"), cmd::kEditCut);
  EXPECT_EQ(AcceleratorCommand("Alt+Backspace"), cmd::kEditUndo);
  EXPECT_EQ(AcceleratorCommand("Ctrl+W"), cmd::kClassWizard);
  EXPECT_EQ(AcceleratorCommand("F1"), cmd::kJavaSearch);
  EXPECT_EQ(AcceleratorCommand("Shift+F6"), cmd::kPrevPane);
  EXPECT_EQ(AcceleratorCommand("Esc"), cmd::kEscape);
  // Every key a menu shows beside its command runs that command.
  EXPECT_EQ(AcceleratorCommand("Ctrl+M"), cmd::kMatchBracket);
  EXPECT_EQ(AcceleratorCommand("Ctrl+PgUp"), cmd::kFontSmaller);
  EXPECT_EQ(AcceleratorCommand("Ctrl+PgDown"), cmd::kFontBigger);
  EXPECT_EQ(AcceleratorCommand("Ctrl+Y"), cmd::kEditRedo);
  EXPECT_EQ(AcceleratorCommand("Ctrl+Shift+Z"), cmd::kEditRedo);
  EXPECT_EQ(AcceleratorCommand("F4"), cmd::kNextError);
  EXPECT_EQ(AcceleratorCommand("Shift+F4"), cmd::kPreviousError);
  EXPECT_EQ(AcceleratorCommand("Ctrl+G"), cmd::kGoToLine);
  EXPECT_EQ(AcceleratorTable().size(), 31u);
}

TEST(CommandTexts, PromptThenToolTip) {
  EXPECT_EQ(CommandTextOf(cmd::kCompile).prompt, "Compile via Javac");
  EXPECT_EQ(CommandTextOf(cmd::kCompile).toolTip, "Compile Java to a .class file");
  EXPECT_EQ(CommandTextOf(cmd::kStopBuilding).toolTip, "Stop any backgroup compile threads");
  // A backslash, not a line feed: the whole text is the prompt.
  EXPECT_EQ(CommandTextOf(cmd::kPreviousSourceWindow).prompt,
            "Go to previous source window\\Previous source");
  EXPECT_EQ(CommandTextOf(cmd::kPreviousSourceWindow).toolTip, "");
  EXPECT_EQ(CommandTextOf(cmd::kWhatsCool).prompt, "Displays What's Cool");
  EXPECT_EQ(CommandTextOf(61450).prompt, "Open this project");
  EXPECT_EQ(CommandTextOf(cmd::kCloseProject).prompt, "");
  EXPECT_EQ(CommandTextOf(cmd::kToolIds[3]).prompt, "");
}

}  // namespace
}  // namespace tamso
