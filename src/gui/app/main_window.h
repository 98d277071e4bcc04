#pragma once
// The main window: menus, toolbar with the find box, the docked output and project
// tree bars, the status bar and the document windows.

#include <QByteArrayList>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "app/bars.h"
#include "app/command_router.h"
#include "app/document_tabs.h"
#include "app/editor_factory.h"
#include "app/main_frame.h"
#include "app/menus.h"
#include "jobs/diagnostics.h"
#include "editor/find_text.h"
#include "platform/qt_host.h"

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace tamso {
class CT2App;
class RecoveryStore;
}  // namespace tamso

namespace tamso::gui {

class ChildFrame;
class DiskWatcher;
class RecoveryKeeper;
class SourceDocument;

class MainWindow : public QMainWindow, public IFrameWindow, public HostSite {
  Q_OBJECT
 public:
  MainWindow(IniFile& profile, QtHost& host, CT2App& app, EditorPaneFactory paneFactory);
  ~MainWindow() override;

  // Creates the bars; false when one could not be made.
  bool Create(bool mayShowBanner);

  CMainFrame& Frame() { return frame_; }
  const CommandRouter& Router() const { return router_; }
  CT2App& App() { return app_; }
  IniFile& Profile() { return profile_; }
  QtHost& Host() { return host_; }

  QMdiArea* MdiArea() const { return mdi_; }
  QToolBar* MainToolBar() const { return toolBar_; }
  QComboBox* FindCombo() const { return findCombo_; }
  QDockWidget* OutputDock() const { return outputDock_; }
  QDockWidget* ProjectTreeDock() const { return treeDock_; }
  IOutput& OutputWindow() { return *output_.output; }
  // The status bar's message pane: the active editor's caret text.
  QLabel* MessagePane() const { return messagePane_; }
  int CurrentMenuId() const { return currentMenu_; }
  // The menu model shown now (as the last rebuild left it).
  const MenuBar& CurrentMenuModel() { return menus_[currentMenu_]; }
  ChildFrame* ActiveChild() const;
  std::vector<SourceDocument*> Documents() const;

  // Runs the menu rebuild as entering the menu bar does and refreshes every state.
  void EnterMenuBar();
  // Enabling and check marks of the toolbars and key bindings.
  void UpdateCommandStates();
  // The state a command would have with child active (its own toolbar's buttons).
  CommandState UpdateFor(ChildFrame* child, int id);
  // Tells every source window to re-read its settings (update hint 78).
  void RefreshSourceViews();
  // The find box's text, put at the top of its list unless an entry already begins
  // with it (letter case ignored).
  std::string TakeFindText();
  bool HasFindText() const;

  // Documents.
  void FileNew();
  void FileOpen();
  ChildFrame* NewDocument(size_t templateIndex);
  ChildFrame* OpenDocumentFile(const std::string& path);
  bool SaveDocument(SourceDocument* doc);
  // A compile of compiledFile ended with these diagnostics: the open editors of the
  // files concerned show them in the gutter, and windows opened later on those files
  // get them too (until the file is saved, which moves its lines).
  void ApplyCompileDiagnostics(const std::string& compiledFile,
                               const std::vector<CompileDiagnostic>& found);
  // The same for a run that compiled several files (a project build).
  void ApplyCompileDiagnostics(const std::vector<std::string>& compiledFiles,
                               const std::vector<CompileDiagnostic>& found);
  bool SaveDocumentAs(SourceDocument* doc);
  void CloseDocument(SourceDocument* doc);
  // Asks to save a modified document; false when the user cancelled or saving failed.
  bool SaveModified(SourceDocument* doc);
  // The child is closing: true to let it close.
  bool OnChildClosing(ChildFrame* child, bool prompt);
  void OnChildDestroyed(ChildFrame* child);
  void UpdateTitles();
  // The watch on the open documents' files.
  DiskWatcher* Disk() const { return disk_; }
  // Starts keeping recovery journals in the store (which outlives the window).
  void StartRecovery(RecoveryStore& store);
  RecoveryKeeper* Recovery() const { return recovery_; }

  // IFrameWindow
  bool IsBarVisible(int barId) const override;
  void ShowBar(int barId, bool show) override;
  void ActivateNextChild() override;
  void ClearProjectTree() override;
  void CloseMainWindow() override;

  // HostSite
  IView* OpenDocument(const std::string& path) override;
  IView* ActiveView() override;
  IDocument* ActiveDocument() override;
  IOutput& Output() override { return OutputWindow(); }
  std::string ProjectFile() override;

 public slots:
  // Documents as tabs (true) or as floating windows; kept in the profile.
  void SetTabbedWindows(bool tabbed);
  bool TabbedWindows() const { return tabbed_; }

  // Files handed over by a later start of the program.
  // Paths as the bytes the system gave.
  void OpenFiles(const QByteArrayList& files);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMainToolBar();
  void ApplyWindowMode();
  // Each tab shows its window's title, a long one shortened (the whole title is its
  // tooltip).
  void RefreshTabTexts();
  void CreateAccelerators();
  void CreateStatusBar();
  void UpdateLockIndicators();
  // Follows the active editor's status text in the message pane.
  void FollowEditorStatus(ChildFrame* child);
  void SetMenuBarId(int id);
  void RebuildMenuBar();
  QMenu* AddTopMenu(size_t index);
  void FillMenu(QMenu* menu, const MenuItem& popup);
  QAction* MakeCommandAction(const std::string& text, int id, QObject* parent);
  void UpdateMenuStates(QMenu* menu);
  void OnSubWindowActivated(QMdiSubWindow* window);
  ChildFrame* CreateChild(SourceDocument* doc);
  void DestroyNewChild(ChildFrame* child);
  bool eventFilter(QObject* watched, QEvent* event) override;

  IniFile& profile_;
  QtHost& host_;
  CT2App& app_;
  EditorPaneFactory paneFactory_;
  CMainFrame frame_;
  CommandMap windowCommands_;
  CommandRouter router_;
  std::map<int, MenuBar> menus_;
  int currentMenu_ = 0;
  std::vector<QMenu*> topMenus_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QComboBox* findCombo_ = nullptr;
  QDockWidget* outputDock_ = nullptr;
  QDockWidget* treeDock_ = nullptr;
  OutputBarParts output_;
  ProjectTreeParts tree_;
  QLabel* lockLabels_[3] = {};
  QLabel* messagePane_ = nullptr;
  QMetaObject::Connection statusConnection_;
  std::vector<QAction*> toolBarActions_;
  std::vector<QAction*> accelerators_;
  QTimer idleTimer_;
  std::vector<std::unique_ptr<SourceDocument>> documents_;
  std::vector<int> untitledCount_;
  QPointer<ChildFrame> lastActive_;
  UseOrder<ChildFrame*> used_;  // the document windows, last used first
  FindHistory findHistory_;
  bool closing_ = false;
  bool tabbed_ = true;
  DiskWatcher* disk_ = nullptr;
  DiagnosticStore diagnostics_;
  RecoveryKeeper* recovery_ = nullptr;
};

}  // namespace tamso::gui
