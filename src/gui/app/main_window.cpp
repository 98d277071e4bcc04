#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>

#include "app/accelerators.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/disk_watcher.h"
#include "app/doc_templates.h"
#include "app/document_area_accessible.h"
#include "app/icons.h"
#include "app/lock_keys.h"
#include "app/recovery_keeper.h"
#include "app/source_document.h"
#include "app/start_banner.h"
#include "app/t2_app.h"
#include "app/window_look.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

namespace {

// Main toolbar, in order; 0 is a separator, kFindCombo the find box.
constexpr int kMainToolBar[] = {cmd::kProjectTree,
                                0,
                                cmd::kFileNew,
                                cmd::kFileOpen,
                                cmd::kFileSave,
                                0,
                                cmd::kEditCut,
                                cmd::kEditCopy,
                                cmd::kEditPaste,
                                cmd::kFindCombo,
                                cmd::kFindComboText,
                                0,
                                cmd::kFindInFiles,
                                0,
                                cmd::kMatchBracket,
                                cmd::kInsertSkeleton,
                                0,
                                cmd::kCompile,
                                cmd::kStopBuilding,
                                0,
                                cmd::kRefreshClassTree,
                                0,
                                cmd::kRunJava,
                                0,
                                cmd::kJavaDebugger,
                                cmd::kLaunchBrowser,
                                cmd::kAppletViewer};

constexpr int kFirstWindowListId = 65280;  // the Window menu's list of open windows
constexpr int kIdleUpdateMs = 250;
constexpr const char* kLockTexts[] = {"CAP", "NUM", "SCRL"};
constexpr const char* kLockNames[] = {"Caps Lock", "Num Lock", "Scroll Lock"};

}  // namespace

MainWindow::MainWindow(IniFile& profile, QtHost& host, CT2App& app, EditorPaneFactory paneFactory)
    : profile_(profile),
      host_(host),
      app_(app),
      paneFactory_(std::move(paneFactory)),
      frame_(profile, host, *this),
      router_([this] {
        ChildFrame* child = ActiveChild();
        return CommandRouter::Chain{child ? child->ViewTarget() : nullptr,
                                    child ? child->Doc() : nullptr,
                                    child ? child->FrameTarget() : nullptr,
                                    &frame_,
                                    &windowCommands_,
                                    &app_};
      }),
      untitledCount_(DocumentTemplates().size(), 0) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowTitle(QStringLiteral("Ferrowind Tamso"));
  setWindowIcon(ApplicationIcon());
  for (int id : {cmd::kMenuMain, cmd::kMenuJava, cmd::kMenuHtml}) menus_[id] = MenuBarById(id);
}

MainWindow::~MainWindow() {
  closing_ = true;
  // The windows go before the documents they point to.
  for (QMdiSubWindow* w : mdi_ ? mdi_->subWindowList() : QList<QMdiSubWindow*>()) delete w;
  documents_.clear();
}

bool MainWindow::Create(bool mayShowBanner) {
  InstallDocumentAreaAccessibleFactory();
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("59648"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::OnSubWindowActivated);
  tabbed_ = ReadTabbedWindows(profile_);
  ApplyWindowMode();

  // The frame's window commands. Arranging windows leaves the tabs for floating
  // windows; "Tabbed Windows" goes back.
  windowCommands_.On(cmd::kWindowCascade, [this](int) {
    SetTabbedWindows(false);
    mdi_->cascadeSubWindows();
  });
  windowCommands_.On(cmd::kWindowTile, [this](int) {
    SetTabbedWindows(false);
    mdi_->tileSubWindows();
  });
  windowCommands_.On(
      cmd::kWindowTabbed, [this](int) { SetTabbedWindows(!tabbed_); },
      [this](int) {
        return CommandState{true, tabbed_};
      });
  windowCommands_.On(cmd::kWindowArrange, [this](int) {
    SetTabbedWindows(false);
    // Minimised windows are lined up along the bottom of the area.
    int x = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
      if (!w->isMinimized()) continue;
      w->move(x, mdi_->viewport()->height() - w->height());
      x += w->width();
    }
  });
  // F4 and Shift+F4 go through the places of the last compile's (or tool's) output.
  for (int id : {cmd::kNextError, cmd::kPreviousError}) {
    windowCommands_.On(id, [this](int which) {
      if (outputDock_) outputDock_->show();
      OutputWindow().GoToReference(which == cmd::kNextError);
    });
  }
  // "New Window" has no handler: a second window of a document cannot show and edit
  // the same text, so it stays disabled rather than risk losing edits.

  disk_ = new DiskWatcher(*this, host_);
  startup::Mark("main window: document area");

  CreateMainToolBar();
  if (!toolBar_) return false;
  startup::Mark("main window: toolbar and its icons");

  output_ = CreateOutputBar(this);
  tree_ = CreateProjectTreeBar(this);
  if (!output_.widget || !output_.output || !tree_.widget) return false;
  outputDock_ = new QDockWidget(this);
  outputDock_->setObjectName(QString::number(cmd::kOutputBar));
  outputDock_->setWidget(output_.widget);
  outputDock_->setWindowTitle(QStringLiteral("Output"));  // no title bar: for screen readers
  outputDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  outputDock_->setTitleBarWidget(new QWidget(outputDock_));
  outputDock_->setAllowedAreas(Qt::BottomDockWidgetArea);
  treeDock_ = new QDockWidget(this);
  treeDock_->setObjectName(QString::number(cmd::kProjectTree));
  treeDock_->setWidget(tree_.widget);
  treeDock_->setWindowTitle(QStringLiteral("Project"));
  treeDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  treeDock_->setTitleBarWidget(new QWidget(treeDock_));
  treeDock_->setAllowedAreas(Qt::LeftDockWidgetArea);
  // The output bar spans the whole width below the tree.
  setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
  addDockWidget(Qt::BottomDockWidgetArea, outputDock_);
  addDockWidget(Qt::LeftDockWidgetArea, treeDock_);
  resizeDocks({outputDock_}, {200}, Qt::Vertical);  // a compile error and its context fit
  resizeDocks({treeDock_}, {180}, Qt::Horizontal);
  startup::Mark("main window: output and project bars");

  frame_.SetHtmlPage("?");
  CreateStatusBar();
  frame_.RestoreBars();
  CreateAccelerators();
  startup::Mark("main window: status bar and accelerators");
  SetMenuBarId(cmd::kMenuMain);
  startup::Mark("main window: menus");

  connect(&idleTimer_, &QTimer::timeout, this, &MainWindow::UpdateCommandStates);
  idleTimer_.start(kIdleUpdateMs);
  UpdateCommandStates();

  StartBanner::SetMayShow(mayShowBanner);
  StartBanner::Show(this);
  startup::Mark("main window built");
  return true;
}

void MainWindow::SetTabbedWindows(bool tabbed) {
  if (tabbed == tabbed_) return;
  tabbed_ = tabbed;
  WriteTabbedWindows(profile_, tabbed);
  ApplyWindowMode();
}

void MainWindow::ApplyWindowMode() {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  if (tabbed_) {
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setDocumentMode(true);
    mdi_->setTabsClosable(true);
    mdi_->setTabsMovable(true);
    if (auto* bar = mdi_->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly)) {
      bar->setObjectName(QStringLiteral("documentTabs"));
      bar->setAccessibleName(QStringLiteral("Documents"));
      bar->setExpanding(false);
      // A tab never shrinks below its text (a long title is shortened to begin with):
      // tabs that do not fit scroll with the bar's arrows.
      bar->setElideMode(Qt::ElideNone);
      bar->setUsesScrollButtons(true);
    }
  } else {
    mdi_->setViewMode(QMdiArea::SubWindowView);
    // Out of the tabs every window is a normal one again.
    for (QMdiSubWindow* w : mdi_->subWindowList())
      if (w->isMaximized()) w->showNormal();
  }
  if (active) mdi_->setActiveSubWindow(active);
  RefreshTabTexts();
}

void MainWindow::RefreshTabTexts() {
  auto* bar = mdi_->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
  if (!tabbed_ || !bar) return;
  // The area keeps its windows in the tabs' order.
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  for (int i = 0; i < bar->count() && i < windows.size(); ++i) {
    const QString title = windows[i]->windowTitle();
    const QString shown = QString::fromStdString(TabTitle(title.toStdString()));
    if (bar->tabText(i) != shown) bar->setTabText(i, shown);
    const QString tip = shown == title ? QString() : title;
    if (bar->tabToolTip(i) != tip) bar->setTabToolTip(i, tip);
  }
}

void MainWindow::CreateMainToolBar() {
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName(QString::number(cmd::kMainToolbar));
  // The style's toolbar size (22 or 24 px, scaled on a high-density screen).
  toolBar_->setMovable(true);
  toolBar_->setFloatable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : kMainToolBar) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else if (id == cmd::kFindCombo) {
      findCombo_ = new QComboBox(toolBar_);
      findCombo_->setObjectName(QString::number(cmd::kFindCombo));
      findCombo_->setAccessibleName(QStringLiteral("Find"));
      findCombo_->setEditable(true);
      findCombo_->lineEdit()->setAccessibleName(QStringLiteral("Text to find"));
      // The list is kept by the find history's rule, not by the box; what is typed is
      // never completed from it (the drop-down still offers the list).
      findCombo_->setInsertPolicy(QComboBox::NoInsert);
      findCombo_->setCompleter(nullptr);
      findCombo_->setFixedWidth(150);
      findCombo_->setMaxVisibleItems(10);
      // Enter in the box searches for its text.
      connect(findCombo_->lineEdit(), &QLineEdit::returnPressed, this,
              [this] { router_.Execute(cmd::kFindComboText); });
      // The find button and F3 follow the box's text at once.
      connect(findCombo_, &QComboBox::editTextChanged, this, &MainWindow::UpdateCommandStates);
      toolBar_->addWidget(findCombo_);
    } else {
      QAction* a = toolBar_->addAction(CommandIcon(id), QString());
      a->setObjectName(QString::number(id));
      a->setData(id);
      ApplyCommandTexts(a, id);
      connect(a, &QAction::triggered, this, [this, id] { router_.Execute(id); });
      toolBarActions_.push_back(a);
    }
  }
  NameToolBarExtension(toolBar_);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MainWindow::CreateAccelerators() {
  std::vector<std::string> bound;
  for (const Accelerator& acc : AcceleratorTable()) {
    // The first binding of a key wins.
    if (std::find(bound.begin(), bound.end(), acc.keys) != bound.end()) continue;
    bound.push_back(acc.keys);
    auto* a = new QAction(this);
    a->setObjectName(QStringLiteral("accel:") + Q(acc.keys));
    a->setData(acc.id);
    a->setShortcut(QKeySequence(Q(acc.keys)));
    a->setShortcutContext(Qt::WindowShortcut);
    int id = acc.id;
    connect(a, &QAction::triggered, this, [this, id] { router_.Execute(id); });
    addAction(a);
    accelerators_.push_back(a);
  }
  // Ctrl+Tab and Ctrl+Shift+Tab go through the document windows in their order (the
  // tabs' order when they are tabs), the same in both modes.
  for (bool forward : {true, false}) {
    auto* a = new QAction(this);
    a->setObjectName(forward ? QStringLiteral("nextDocument") : QStringLiteral("previousDocument"));
    a->setShortcut(forward ? QKeySequence(Qt::CTRL | Qt::Key_Tab)
                           : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, forward] {
      if (forward)
        mdi_->activateNextSubWindow();
      else
        mdi_->activatePreviousSubWindow();
    });
    addAction(a);
  }
}

void MainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QString::number(cmd::kStatusBar));
  // The message pane is a normal widget: a menu or toolbar prompt covers it while it
  // shows and the editor's text comes back when the prompt goes.
  messagePane_ = new QLabel(bar);
  messagePane_->setObjectName(QStringLiteral("message"));
  messagePane_->setTextInteractionFlags(Qt::NoTextInteraction);
  bar->addWidget(messagePane_, 1);
  for (int i = 0; i < 3; ++i) {
    lockLabels_[i] = new QLabel(bar);
    lockLabels_[i]->setObjectName(QString::fromLatin1(kLockTexts[i]));
    lockLabels_[i]->setAccessibleName(QString::fromLatin1(kLockNames[i]));
    lockLabels_[i]->setFrameShape(QFrame::Panel);
    lockLabels_[i]->setFrameShadow(QFrame::Sunken);
    lockLabels_[i]->setMinimumWidth(lockLabels_[i]->fontMetrics().horizontalAdvance("SCRL") + 8);
    lockLabels_[i]->setAlignment(Qt::AlignCenter);
    bar->addPermanentWidget(lockLabels_[i]);
  }
  bar->hide();  // "&Status Bar" shows it
  qApp->installEventFilter(this);
  UpdateLockIndicators();
}

void MainWindow::FollowEditorStatus(ChildFrame* child) {
  disconnect(statusConnection_);
  statusConnection_ = {};
  if (!messagePane_) return;
  if (!child) {
    messagePane_->clear();
    return;
  }
  messagePane_->setText(child->Pane()->StatusText());
  statusConnection_ =
      connect(child->Pane(), &EditorPane::statusTextChanged, messagePane_, &QLabel::setText);
}

void MainWindow::UpdateLockIndicators() {
  if (!statusBar()->isVisible()) return;
  auto states = ReadLockStates();
  if (!states) return;  // not readable here: the panes stay blank
  const bool on[] = {states->caps, states->num, states->scroll};
  for (int i = 0; i < 3; ++i) {
    lockLabels_[i]->setText(on[i] ? QString::fromLatin1(kLockTexts[i]) : QString());
    // A blank pane says nothing to a screen reader: its name tells the state.
    lockLabels_[i]->setAccessibleName(QString::fromLatin1(kLockNames[i]) +
                                      (on[i] ? QStringLiteral(" on") : QStringLiteral(" off")));
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
      UpdateLockIndicators();
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Menus -------------------------------------------------------------------

void MainWindow::SetMenuBarId(int id) {
  if (id == currentMenu_) return;
  currentMenu_ = id;
  RebuildMenuBar();
}

void MainWindow::RebuildMenuBar() {
  menuBar()->clear();
  topMenus_.clear();
  const MenuBar& model = menus_[currentMenu_];
  for (size_t i = 0; i < model.popups.size(); ++i) AddTopMenu(i);
}

QMenu* MainWindow::AddTopMenu(size_t index) {
  const MenuItem& popup = menus_[currentMenu_].popups[index];
  QMenu* menu = menuBar()->addMenu(Q(popup.text));
  menu->setObjectName(Q(std::string(MenuLabel(popup.text))));
  menu->setProperty("popupIndex", static_cast<int>(index));
  // A closed menu leaves no prompt behind.
  connect(menu, &QMenu::aboutToHide, this, [this] { statusBar()->clearMessage(); });
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    EnterMenuBar();
    size_t i = static_cast<size_t>(menu->property("popupIndex").toInt());
    const MenuBar& model = menus_[currentMenu_];
    if (i < model.popups.size()) FillMenu(menu, model.popups[i]);
    UpdateMenuStates(menu);
  });
  FillMenu(menu, popup);
  topMenus_.push_back(menu);
  return menu;
}

void MainWindow::EnterMenuBar() {
  MenuBar& model = menus_[currentMenu_];
  size_t before = model.popups.size();
  frame_.OnInitMenu(model);
  for (size_t i = before; i < model.popups.size(); ++i) AddTopMenu(i);
  for (size_t i = 0; i < topMenus_.size() && i < model.popups.size(); ++i) {
    if (!topMenus_[i]->isVisible()) FillMenu(topMenus_[i], model.popups[i]);
  }
}

QAction* MainWindow::MakeCommandAction(const std::string& text, int id, QObject* parent) {
  auto* a = new QAction(Q(text), parent);
  a->setObjectName(QString::number(id));
  a->setIcon(CommandIcon(id));
  a->setData(id);
  ApplyCommandTexts(a, id);
  if (id == 0) {
    a->setEnabled(false);
  } else {
    connect(a, &QAction::triggered, this, [this, id] { router_.Execute(id); });
  }
  return a;
}

void MainWindow::FillMenu(QMenu* menu, const MenuItem& popup) {
  menu->clear();
  for (const MenuItem& item : popup.items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuItem::Kind::Popup: {
        QMenu* sub = menu->addMenu(Q(item.text));
        FillMenu(sub, item);
        break;
      }
      case MenuItem::Kind::Command: {
        RecentList* list = item.id == cmd::kFileMruFirst         ? &app_.RecentFiles()
                           : item.id == cmd::kRecentProjectFirst ? app_.RecentProjects()
                                                                 : nullptr;
        bool isListSlot = item.id == cmd::kFileMruFirst || item.id == cmd::kRecentProjectFirst;
        if (isListSlot && list && list->Count() > 0) {
          for (const auto& e : list->MenuEntries())
            menu->addAction(MakeCommandAction(e.text, e.id, menu));
        } else {
          // An empty list shows its slot's text, disabled.
          menu->addAction(MakeCommandAction(item.text, item.id, menu));
        }
        break;
      }
    }
  }
  if (popup.text == "&Window") {
    auto windows = mdi_->subWindowList();
    if (!windows.isEmpty()) menu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
      QString label =
          (i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1)) +
          windows[i]->windowTitle();
      QAction* a = menu->addAction(label);
      a->setObjectName(QString::number(kFirstWindowListId + i));
      a->setCheckable(true);
      a->setChecked(windows[i] == mdi_->currentSubWindow());
      QMdiSubWindow* w = windows[i];
      connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    }
  }
}

void MainWindow::UpdateMenuStates(QMenu* menu) {
  for (QAction* a : menu->actions()) {
    if (a->menu()) {
      UpdateMenuStates(a->menu());
      continue;
    }
    if (a->isSeparator() || !a->data().isValid()) continue;
    int id = a->data().toInt();
    if (id <= 0) continue;
    CommandState st = router_.Update(id);
    a->setEnabled(st.enabled);
    a->setCheckable(st.checked);
    a->setChecked(st.checked);
  }
}

void MainWindow::UpdateCommandStates() {
  for (QAction* a : toolBarActions_) {
    CommandState st = router_.Update(a->data().toInt());
    a->setEnabled(st.enabled);
    a->setCheckable(st.checked || a->isCheckable());
    a->setChecked(st.checked);
  }
  // A key is bound while some target has its command; whether the command may run
  // is decided when the key is pressed (a state read here would be up to one idle
  // tick old: Ctrl+M right after moving onto a bracket would fall through).
  for (QAction* a : accelerators_) a->setEnabled(router_.TargetOf(a->data().toInt()) != nullptr);
  for (SourceDocument* doc : Documents())
    for (ChildFrame* v : doc->Views()) v->UpdateToolBar();
  UpdateLockIndicators();
}

CommandState MainWindow::UpdateFor(ChildFrame* child, int id) {
  if (!child || child == ActiveChild()) return router_.Update(id);
  CommandRouter router([this, child] {
    return CommandRouter::Chain{child->ViewTarget(), child->Doc(), child->FrameTarget(), &frame_,
                                &windowCommands_,    &app_};
  });
  return router.Update(id);
}

// ---- Bars and windows --------------------------------------------------------

bool MainWindow::IsBarVisible(int barId) const {
  switch (barId) {
    case cmd::kViewToolbar:
      return toolBar_ && !toolBar_->isHidden();
    case cmd::kViewStatusBar:
      return !statusBar()->isHidden();
    case cmd::kProjectTree:
      return treeDock_ && !treeDock_->isHidden();
    case cmd::kOutputBar:
      return outputDock_ && !outputDock_->isHidden();
    default:
      return false;
  }
}

void MainWindow::ShowBar(int barId, bool show) {
  QWidget* bar = nullptr;
  switch (barId) {
    case cmd::kViewToolbar:
      bar = toolBar_;
      break;
    case cmd::kViewStatusBar:
      bar = statusBar();
      break;
    case cmd::kProjectTree:
      bar = treeDock_;
      break;
    case cmd::kOutputBar:
      bar = outputDock_;
      break;
    default:
      return;
  }
  if (bar) bar->setVisible(show);
  if (barId == cmd::kViewStatusBar) {
    FollowEditorStatus(ActiveChild());
    UpdateLockIndicators();
  }
  UpdateCommandStates();
}

void MainWindow::ActivateNextChild() {
  // The window below the active one in the stacking order is the one active before;
  // the active one goes to the bottom, so repeating the command visits every window.
  auto stack = mdi_->subWindowList(QMdiArea::StackingOrder);
  if (stack.size() < 2) return;
  QMdiSubWindow* current = stack.back();
  mdi_->setActiveSubWindow(stack[stack.size() - 2]);
  current->lower();
}

void MainWindow::ClearProjectTree() {
  if (tree_.clearTree) tree_.clearTree();
}

void MainWindow::CloseMainWindow() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  for (SourceDocument* doc : Documents()) {
    if (!SaveModified(doc)) {
      event->ignore();
      return;
    }
  }
  // Only a close that goes ahead empties the tree.
  ClearProjectTree();
  closing_ = true;
  for (SourceDocument* doc : Documents())
    for (ChildFrame* v : doc->Views()) v->SetClosingWithoutPrompt();
  mdi_->closeAllSubWindows();
  if (StartBanner* banner = StartBanner::Current()) banner->Hide();
  idleTimer_.stop();
  event->accept();
}

void MainWindow::RefreshSourceViews() {
  for (SourceDocument* doc : Documents())
    for (ChildFrame* v : doc->Views()) v->Pane()->ReloadSettings();
}

std::string MainWindow::TakeFindText() {
  const QString text = findCombo_->currentText();
  if (text.isEmpty()) return {};
  const std::string bytes = S(text);
  // The newest text goes on top unless an entry already begins with it.
  const size_t before = findHistory_.Items().size();
  findHistory_.Add(bytes);
  if (findHistory_.Items().size() != before) {
    const QSignalBlocker block(findCombo_);
    findCombo_->insertItem(0, text);
    findCombo_->setEditText(text);  // inserting may change the box's text
  }
  return bytes;
}

bool MainWindow::HasFindText() const {
  return findCombo_ && !findCombo_->currentText().isEmpty();
}

void MainWindow::OpenFiles(const QByteArrayList& files) {
  for (const QByteArray& f : files) OpenDocumentFile(f.toStdString());
  if (isMinimized()) showMaximized();
  raise();
  activateWindow();
}

// ---- Host site ---------------------------------------------------------------

IView* MainWindow::OpenDocument(const std::string& path) {
  return OpenDocumentFile(path);
}
IView* MainWindow::ActiveView() {
  return ActiveChild();
}
IDocument* MainWindow::ActiveDocument() {
  ChildFrame* c = ActiveChild();
  return c ? c->Doc() : nullptr;
}

std::string MainWindow::ProjectFile() {
  return app_.Project().File();
}

void MainWindow::StartRecovery(RecoveryStore& store) {
  if (!recovery_) recovery_ = new RecoveryKeeper(*this, host_, store);
}

}  // namespace tamso::gui
