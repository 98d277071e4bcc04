#pragma once
// Command, control and resource identifiers. Framework commands are 57600 and up,
// the system's own commands 32768 and up.

namespace tamso::cmd {

// Framework commands.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMruFirst = 57616;  // recent-file list, 16 ids
inline constexpr int kFileMruLast = 57631;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditFind = 57636;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditRepeat = 57640;  // Find Next
inline constexpr int kEditReplace = 57641;
inline constexpr int kEditSelectAll = 57642;
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTile = 57651;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;
inline constexpr int kContextHelp = 57860;  // Alt+Enter, no handler
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kRecentProjectFirst = 61446;  // recent project list, 10 ids
inline constexpr int kRecentProjectLast = 61455;

// The system's own commands.
inline constexpr int kWhatsCool = 119;
inline constexpr int kEscape = 32768;
inline constexpr int kEditorFont = 32772;
inline constexpr int kAppletViewer = 32774;
inline constexpr int kLaunchBrowser = 32775;
inline constexpr int kCompile = 32776;
inline constexpr int kSettings = 32777;
inline constexpr int kRunJava = 32812;
inline constexpr int kJavaDebugger = 32814;
inline constexpr int kInsertSkeleton = 32816;
inline constexpr int kProjectTree = 32818;
inline constexpr int kOutputBar = 32819;
inline constexpr int kRefreshClassTree = 32820;
// Moving through the places the output names, and to a line.
inline constexpr int kNextError = 32940;
inline constexpr int kPreviousError = 32941;
inline constexpr int kGoToLine = 32942;
// Documents as tabs (on) or as floating windows (off).
inline constexpr int kWindowTabbed = 32943;
inline constexpr int kPreviousSourceWindow = 32826;
inline constexpr int kCreateProject = 32827;
inline constexpr int kOpenProject = 32828;
// Makes a project of a folder and its files.
inline constexpr int kOpenFolderAsProject = 32962;
// Run Tests (the active test class or method) and Run All Tests (the project's).
inline constexpr int kRunTests = 32963;
inline constexpr int kRunAllTests = 32964;
inline constexpr int kBuildProject = 32832;
inline constexpr int kRebuildProject = 32833;
inline constexpr int kCloseProject = 32834;
inline constexpr int kFindInFiles = 32838;
inline constexpr int kProjectSettings = 32840;
inline constexpr int kStopBuilding = 32848;
inline constexpr int kMatchBracket = 32850;
inline constexpr int kCustomizeTools = 32853;
inline constexpr int kFindComboText = 32866;
inline constexpr int kFindCombo = 32879;  // the find box in the main toolbar
inline constexpr int kEscape2 = 32883;
inline constexpr int kOpenDesignWindow = 32884;
inline constexpr int kPageSetup = 32895;
inline constexpr int kClassWizard = 32896;
inline constexpr int kChildButton1 = 32905;
inline constexpr int kChildButton2 = 32906;
inline constexpr int kChildInfoBox = 32908;
inline constexpr int kJavaHelp = 32909;
inline constexpr int kLineNumbers = 32910;
inline constexpr int kFontBigger = 32911;
inline constexpr int kFontSmaller = 32912;
inline constexpr int kJavaLanguageSpec = 32917;
inline constexpr int kJavaManPages = 32918;
inline constexpr int kJavaTips = 32919;
inline constexpr int kUsingJavaHelp = 32920;
inline constexpr int kJavaApi = 32921;
inline constexpr int kJavaSearch = 32922;
inline constexpr int kJavaClassHierarchy = 32923;

// User tools 0..9; the ids are not consecutive.
inline constexpr int kToolIds[10] = {32864, 32854, 32855, 32856, 32857,
                                     32858, 32859, 32860, 32862, 32863};

// Controls and bars.
inline constexpr int kMainToolbar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kInfoEdit = 1067;  // read-only box in the child toolbar

// Menu bars.
inline constexpr int kMenuMain = 128;
inline constexpr int kMenuJava = 129;
inline constexpr int kMenuHtml = 130;

// Update hint sent to the source views after the editor settings change.
inline constexpr int kHintReloadSettings = 78;

// The tool index of a tool command id, or -1.
constexpr int ToolIndex(int id) {
  for (int i = 0; i < 10; ++i)
    if (kToolIds[i] == id) return i;
  return -1;
}

}  // namespace tamso::cmd
