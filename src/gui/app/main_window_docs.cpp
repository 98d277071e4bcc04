// The document side of the main window: new, open, save, save as, close.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/disk_watcher.h"
#include "app/doc_templates.h"
#include "app/document_files.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "app/source_document.h"
#include "app/t2_app.h"
#include "platform/paths.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

ChildFrame* MainWindow::ActiveChild() const {
  QMdiSubWindow* w = mdi_ ? mdi_->currentSubWindow() : nullptr;
  return w ? qobject_cast<ChildFrame*>(w->widget()) : nullptr;
}

std::vector<SourceDocument*> MainWindow::Documents() const {
  std::vector<SourceDocument*> v;
  for (const auto& d : documents_) v.push_back(d.get());
  return v;
}

void MainWindow::FileNew() {
  size_t chosen = 0;
  if (DocumentTemplates().size() > 1) {
    NewDocumentDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen() < 0) return;
    chosen = static_cast<size_t>(dialog.Chosen());
  }
  NewDocument(chosen);
}

ChildFrame* MainWindow::NewDocument(size_t templateIndex) {
  documents_.push_back(std::make_unique<SourceDocument>(templateIndex, this));
  SourceDocument* doc = documents_.back().get();
  doc->SetTitle(DocumentTemplates()[templateIndex].Field(DocField::DocName) +
                std::to_string(++untitledCount_[templateIndex]));
  ChildFrame* child = CreateChild(doc);
  if (!child) return nullptr;
  startup::MarkOnce("editor window created");
  child->Pane()->SetModified(false);
  child->SubWindow()->show();
  child->setFocus();
  UpdateTitles();
  return child;
}

void MainWindow::FileOpen() {
  FileDialogOptions options;
  options.filter = OpenFileFilter();
  if (auto path = host_.OpenFileDialog(options); path && !path->empty()) OpenDocumentFile(*path);
}

ChildFrame* MainWindow::OpenDocumentFile(const std::string& path) {
  if (path.empty()) return nullptr;
  // A file that is open already is activated, not opened twice.
  std::string canonical = paths::Canonical(path);
  for (SourceDocument* doc : Documents()) {
    if (doc->PathName().empty() || doc->Views().empty()) continue;
    if (paths::Canonical(doc->PathName()) == canonical) {
      ChildFrame* view = doc->Views().front();
      mdi_->setActiveSubWindow(view->SubWindow());
      return view;
    }
  }
  std::string absolute = paths::Absolute(path);
  if (paths::IsDirectory(absolute)) {
    host_.Message("Cannot open " + absolute + ": it is a directory.");
    return nullptr;
  }
  if (!PrepareDocumentOpen(host_, absolute)) return nullptr;

  size_t templateIndex = MatchTemplate(absolute);
  documents_.push_back(std::make_unique<SourceDocument>(templateIndex, this));
  SourceDocument* doc = documents_.back().get();
  doc->SetPathName(absolute);
  doc->SetTitle(paths::FileName(absolute));
  ChildFrame* child = CreateChild(doc);
  if (!child) return nullptr;
  std::string error;
  bool loaded;
  {
    ScopedWaitCursor wait(host_);
    loaded = child->Pane()->LoadFromFile(absolute, &error);
  }
  if (!loaded) {
    DestroyNewChild(child);
    host_.Message("Cannot open " + absolute + (error.empty() ? "." : ":\n" + error));
    return nullptr;
  }
  child->Pane()->SetModified(false);
  child->Pane()->SetDiagnostics(diagnostics_.MarksOf(absolute));
  child->SubWindow()->show();
  child->setFocus();
  startup::MarkOnce("editor window shown");
  app_.RecentFiles().Add(absolute);
  UpdateTitles();
  if (disk_) disk_->Sync();
  if (recovery_) recovery_->Sync();
  startup::MarkOnce("recent list, titles, disk watcher and recovery told");
  return child;
}

ChildFrame* MainWindow::CreateChild(SourceDocument* doc) {
  EditorPane* pane = paneFactory_ ? paneFactory_(doc->Kind(), profile_, host_, nullptr) : nullptr;
  if (!pane) {
    documents_.pop_back();
    host_.Message("The editor for this document could not be created.");
    return nullptr;
  }
  // Followed from the start, a loaded text's journal shares its bytes (no copy).
  if (recovery_) recovery_->Watch(doc, pane);
  auto* child = new ChildFrame(doc, pane, app_.BrowserPaneWidth(), this);
  doc->AddView(child);
  QMdiSubWindow* sub = mdi_->addSubWindow(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(DocumentIcon(doc->Kind()));
  // The window menu's Close also claims Ctrl+W, which is the Class Wizard's key;
  // Ctrl+F4 still closes the window.
  if (QMenu* menu = sub->systemMenu()) {
    for (QAction* a : menu->actions()) {
      QList<QKeySequence> keys = a->shortcuts();
      if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W))) a->setShortcuts(keys);
    }
  }
  QSize area = mdi_->viewport()->size();
  sub->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
  // Each new window steps down and right from the one before it, as cascading does,
  // starting over at the top left when the step would leave the area.
  const int windows = int(mdi_->subWindowList().size()) - 1;
  const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
  int offset = windows * step;
  if (offset + sub->width() > area.width() || offset + sub->height() > area.height()) offset = 0;
  sub->move(offset, offset);
  child->UpdateTitle();
  return child;
}

void MainWindow::DestroyNewChild(ChildFrame* child) {
  child->SetClosingWithoutPrompt();
  QMdiSubWindow* sub = child->SubWindow();
  delete sub;  // also the child, which leaves its document
}

bool MainWindow::SaveDocument(SourceDocument* doc) {
  if (doc->PathName().empty()) return SaveDocumentAs(doc);
  EditorPane* pane = doc->FirstPane();
  if (!pane) return false;
  if (disk_ && !disk_->ConfirmSave(doc)) return false;
  if (!ConfirmSaveOver(host_, doc->PathName())) return false;
  std::string error;
  bool saved;
  {
    ScopedWaitCursor wait(host_);
    saved = pane->SaveToFile(doc->PathName(), &error);
  }
  if (!saved) {
    // The text stays modified; the file on disk is as it was.
    pane->SetModified(true);
    host_.Message("Cannot save " + doc->PathName() + (error.empty() ? "." : ":\n" + error));
    UpdateTitles();
    return false;
  }
  pane->SetModified(false);
  diagnostics_.Keep(doc->PathName(), {});
  app_.RecentFiles().Add(doc->PathName());
  UpdateTitles();
  if (disk_) disk_->Sync();
  if (recovery_) recovery_->Sync();
  return true;
}

void MainWindow::ApplyCompileDiagnostics(const std::string& compiledFile,
                                         const std::vector<CompileDiagnostic>& found) {
  ApplyCompileDiagnostics(std::vector<std::string>{compiledFile}, found);
}

void MainWindow::ApplyCompileDiagnostics(const std::vector<std::string>& compiledFiles,
                                         const std::vector<CompileDiagnostic>& found) {
  const std::vector<std::string> changed = diagnostics_.ApplyCompile(compiledFiles, found);
  for (SourceDocument* doc : Documents()) {
    if (doc->PathName().empty()) continue;
    const std::string canonical = paths::Canonical(doc->PathName());
    if (std::find(changed.begin(), changed.end(), canonical) == changed.end()) continue;
    for (ChildFrame* view : doc->Views())
      view->Pane()->SetDiagnostics(diagnostics_.MarksOf(canonical));
  }
}

bool MainWindow::SaveDocumentAs(SourceDocument* doc) {
  const DocTemplate& t = DocumentTemplates()[doc->TemplateIndex()];
  FileDialogOptions options;
  std::string ext = t.Field(DocField::FilterExt);
  options.defaultExt = ext.empty() ? "" : ext.substr(1);
  options.filter = t.Field(DocField::FilterName) + "|" + t.FilterPatterns() + "|All Files (*)|*";
  if (doc->PathName().empty()) {
    // A document already named as a file (the code wizard's source file) keeps that
    // name; otherwise (a new document, an archive copy) a Java file must be named
    // after its class.
    EditorPane* pane = doc->FirstPane();
    const std::string& title = doc->Title();
    std::string name = pane ? pane->ProposedName() : std::string();
    if (!ext.empty() && title.size() > ext.size() && title.ends_with(ext) &&
        title.find('/') == std::string::npos)
      options.initialFile = title;
    else
      options.initialFile = (name.empty() ? title : name) + ext;
  } else {
    options.initialFile = doc->PathName();
  }
  options.overwritePrompt = true;
  auto path = host_.SaveFileDialog(options);
  if (!path || path->empty()) return false;
  std::string oldPath = doc->PathName(), oldTitle = doc->Title();
  doc->SetPathName(paths::Absolute(*path));
  doc->SetTitle(paths::FileName(*path));
  if (!SaveDocument(doc)) {
    doc->SetPathName(oldPath);
    doc->SetTitle(oldTitle);
    UpdateTitles();
    return false;
  }
  return true;
}

bool MainWindow::SaveModified(SourceDocument* doc) {
  if (!doc->IsModified()) return true;
  Answer a = host_.MessageBox(SaveChangesPrompt(doc->Title()), std::string(), MsgIcon::Exclamation,
                              MsgButtons::YesNoCancel);
  if (a == Answer::Cancel) return false;
  if (a == Answer::No) return true;
  return SaveDocument(doc);
}

void MainWindow::CloseDocument(SourceDocument* doc) {
  if (!SaveModified(doc)) return;
  auto views = doc->Views();
  for (ChildFrame* v : views) {
    v->SetClosingWithoutPrompt();
    v->SubWindow()->close();
  }
}

bool MainWindow::OnChildClosing(ChildFrame* child, bool prompt) {
  SourceDocument* doc = child->Doc();
  // The last window of a document closes the document.
  if (prompt && doc->Views().size() == 1 && !SaveModified(doc)) return false;
  // The window used before this one takes over, not the first tab: it is made active
  // while this one is still there, so that the area has nothing left to choose.
  if (!closing_ && child == ActiveChild())
    if (ChildFrame* next = used_.NextAfterClosing(child); next && next->SubWindow())
      mdi_->setActiveSubWindow(next->SubWindow());
  return true;
}

void MainWindow::OnChildDestroyed(ChildFrame* child) {
  used_.Removed(child);
  SourceDocument* doc = child->Doc();
  doc->RemoveView(child);
  if (doc->Views().empty()) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&](const auto& d) { return d.get() == doc; });
    if (it != documents_.end()) {
      it->release()->deleteLater();
      documents_.erase(it);
      if (disk_ && !closing_) disk_->Sync();
      if (recovery_ && !closing_) recovery_->Sync();
    }
  }
  if (!closing_)
    QMetaObject::invokeMethod(
        this, [this] { OnSubWindowActivated(nullptr); }, Qt::QueuedConnection);
}

void MainWindow::UpdateTitles() {
  for (SourceDocument* doc : Documents())
    for (ChildFrame* v : doc->Views()) v->UpdateTitle();
  ChildFrame* child = ActiveChild();
  QString title = QStringLiteral("Ferrowind Tamso");
  if (child) title += QStringLiteral(" - ") + child->windowTitle();
  setWindowTitle(title);
  RefreshTabTexts();
}

void MainWindow::OnSubWindowActivated(QMdiSubWindow*) {
  if (closing_) return;
  ChildFrame* child = ActiveChild();
  if (!child && !mdi_->subWindowList().isEmpty()) return;  // the program lost the focus
  if (child) used_.Used(child);
  SetMenuBarId(child ? MenuBarForKind(child->Kind(), currentMenu_) : cmd::kMenuMain);
  FollowEditorStatus(child);
  UpdateTitles();
  UpdateCommandStates();
}

}  // namespace tamso::gui
