#include "app/child_frame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/command_ids.h"
#include "app/doc_templates.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/source_document.h"
#include "app/t2_app.h"
#include "app/view_commands.h"
#include "browser/browser_view.h"

namespace tamso::gui {

namespace {
constexpr int kChildToolBar[] = {
    cmd::kRefreshClassTree, cmd::kClassWizard, cmd::kChildButton1, cmd::kChildButton2, 0,
    cmd::kFontBigger,       cmd::kFontSmaller, cmd::kChildInfoBox};
}

ChildFrame::ChildFrame(SourceDocument* document, EditorPane* pane, int browserWidth,
                       MainWindow* main)
    : document_(document), pane_(pane), main_(main), kind_(document->Kind()) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateToolBar();
  layout->addWidget(toolBar_);

  if (kind_ == ViewKind::Java || kind_ == ViewKind::Perl) {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("59648"));  // the first-pane id
    // The pane shows the text's outline: built now (a new document has one too) and
    // again after each load and "Refresh Class Tree".
    auto* browser = CBrowserView::ForFrame(pane_, main_, splitter_);
    browser_ = browser;
    pane_->SetOutlineSink(browser);
    pane_->setParent(splitter_);
    splitter_->addWidget(browser_);
    splitter_->addWidget(pane_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({browserWidth, 3000});
    connect(splitter_, &QSplitter::splitterMoved, this,
            [this] { main_->App().SetBrowserPaneWidth(browser_->width()); });
    layout->addWidget(splitter_, 1);
    frameCommands_.On(cmd::kNextPane, [this](int) { SwitchPane(); });
    frameCommands_.On(cmd::kPrevPane, [this](int) { SwitchPane(); });
    pane_->SetDocumentTitle(document_->Title());
    pane_->BuildOutline();
    // A large file shows its text first; its outline follows from a worker.
    pane_->SetLargeOutlineBuilder([browser] { browser->StartRebuild(); });
  } else {
    pane_->setParent(this);
    layout->addWidget(pane_, 1);
  }
  setFocusProxy(pane_);
  connect(pane_, &EditorPane::modifiedChanged, this, [this] { main_->UpdateTitles(); });
  connect(pane_, &EditorPane::findTextUsed, main_, [this](const QString& text) {
    main_->FindCombo()->setEditText(text);
    main_->TakeFindText();
  });
  pane_->SetCommandCheck([this](int id) { return main_->Router().Update(id).enabled; });
  connect(pane_, &EditorPane::commandRequested, main_,
          [this](int id) { main_->Router().Execute(id); });
}

ChildFrame::~ChildFrame() {
  pane_->SetOutlineSink(nullptr);
  main_->OnChildDestroyed(this);
}

IDocument* ChildFrame::Document() {
  return document_;
}

void ChildFrame::GoToLine(int line) {
  pane_->GoToLine(line);
}
void ChildFrame::GoToLineCharacter(int line, int character) {
  pane_->GoToLineCharacter(line, character);
}

QMdiSubWindow* ChildFrame::SubWindow() const {
  return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void ChildFrame::CreateToolBar() {
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName(QStringLiteral("59392"));
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setMovable(false);
  for (int id : kChildToolBar) {
    if (id == 0) {
      toolBar_->addSeparator();
    } else if (id == cmd::kChildInfoBox) {
      // A read-only box that stays empty.
      infoBox_ = new QLineEdit(toolBar_);
      infoBox_->setObjectName(QString::number(cmd::kInfoEdit));
      infoBox_->setReadOnly(true);
      infoBox_->setFixedWidth(151);
      infoBox_->setAccessibleName(QStringLiteral("Information"));
      toolBar_->addWidget(infoBox_);
    } else {
      QAction* a = toolBar_->addAction(CommandIcon(id), QString());
      a->setObjectName(QString::number(id));
      a->setData(id);
      ApplyCommandTexts(a, id);
      connect(a, &QAction::triggered, this, [this, id] {
        if (SubWindow()) main_->MdiArea()->setActiveSubWindow(SubWindow());
        main_->Router().Execute(id);
      });
    }
  }
  NameToolBarExtension(toolBar_);
}

void ChildFrame::UpdateToolBar() {
  for (QAction* a : toolBar_->actions()) {
    int id = a->data().toInt();
    if (id <= 0) continue;
    // The buttons act on this window, so they are judged as if it were active.
    a->setEnabled(main_->UpdateFor(this, id).enabled);
  }
}

void ChildFrame::UpdateTitle() {
  pane_->SetDocumentTitle(document_->Title());
  std::string title = WindowTitle(document_->Title(), document_->IsModified());
  if (document_->Views().size() > 1) {
    auto it = std::find(document_->Views().begin(), document_->Views().end(), this);
    title =
        WindowTitle(document_->Title() + ":" + std::to_string(it - document_->Views().begin() + 1),
                    document_->IsModified());
  }
  setWindowTitle(Q(title));
  if (SubWindow()) SubWindow()->setWindowTitle(Q(title));
}

ICommandTarget* ChildFrame::ViewTarget() {
  // The editor stays the active view while the browser pane has the focus.
  return &paneTarget_;
}

void ChildFrame::SwitchPane() {
  if (!browser_) return;
  if (pane_->hasFocus() || pane_->isAncestorOf(focusWidget()))
    browser_->setFocus();
  else
    pane_->setFocus();
}

void ChildFrame::closeEvent(QCloseEvent* event) {
  if (main_->OnChildClosing(this, !noPrompt_))
    event->accept();
  else
    event->ignore();
}

bool ChildFrame::PaneTarget::HandlesCommand(int id) const {
  return frame_.pane_->HandlesCommand(id) || FindViewCommand(id);
}

CommandState ChildFrame::PaneTarget::OnUpdateCommand(int id) {
  // The toolbar find and Find Next search for the find box's text: nothing to do
  // while it is empty.
  if ((id == cmd::kFindComboText || id == cmd::kEditRepeat) && !frame_.main_->HasFindText())
    return {false, false};
  if (!frame_.pane_->HandlesCommand(id) && FindViewCommand(id)) return {true, false};
  return {frame_.pane_->IsCommandEnabled(id), false};
}

void ChildFrame::PaneTarget::OnCommand(int id) {
  // The toolbar find and Find Next search for the find box's text.
  if (id == cmd::kFindComboText || id == cmd::kEditRepeat) {
    std::string text = frame_.main_->TakeFindText();
    if (!text.empty()) frame_.pane_->QuickFind(text);
    return;
  }
  if (!frame_.pane_->HandlesCommand(id)) {
    if (const ViewCommandHandler* handler = FindViewCommand(id)) {
      (*handler)(frame_);
      return;
    }
  }
  frame_.pane_->ExecuteCommand(id);
}

}  // namespace tamso::gui
