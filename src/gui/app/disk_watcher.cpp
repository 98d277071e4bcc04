#include "app/disk_watcher.h"

#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/document_files.h"
#include "app/main_window.h"
#include "app/recovery_journal.h"
#include "app/source_document.h"
#include "editor/editor_pane.h"
#include "platform/paths.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

constexpr int kSettleMs = 150;

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

DiskWatcher::DiskWatcher(MainWindow& window, QtHost& host)
    : QObject(&window), window_(window), host_(host) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    changed_.insert(QFile::encodeName(path).toStdString());
    settle_.start();
  });
  connect(&settle_, &QTimer::timeout, this, [this] {
    std::set<std::string> changed;
    changed.swap(changed_);
    for (SourceDocument* doc : window_.Documents())
      if (changed.count(doc->PathName())) Check(doc);
    // A file replaced by a rename is a new inode, which the watcher lost: watch it again.
    Sync();
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s == Qt::ApplicationActive) CheckAll();
  });
}

void DiskWatcher::Sync() {
  std::set<QString> wanted;
  for (SourceDocument* doc : window_.Documents())
    if (!doc->PathName().empty() && paths::Exists(doc->PathName()))
      wanted.insert(FromPath(doc->PathName()));
  QStringList drop;
  for (const QString& f : watcher_.files())
    if (!wanted.count(f)) drop << f;
  if (!drop.isEmpty()) watcher_.removePaths(drop);
  const QStringList have = watcher_.files();
  QStringList add;
  for (const QString& f : wanted)
    if (!have.contains(f)) add << f;
  if (!add.isEmpty()) watcher_.addPaths(add);
  // Forget documents that are gone.
  std::set<SourceDocument*> open;
  for (SourceDocument* doc : window_.Documents()) open.insert(doc);
  for (auto it = questions_.begin(); it != questions_.end();)
    it = open.count(it->first) ? std::next(it) : questions_.erase(it);
  for (auto it = toldMissing_.begin(); it != toldMissing_.end();)
    it = open.count(*it) ? std::next(it) : toldMissing_.erase(it);
}

void DiskWatcher::CheckAll() {
  for (SourceDocument* doc : window_.Documents()) Check(doc);
  Sync();
}

QMessageBox* DiskWatcher::Question(SourceDocument* doc) const {
  auto it = questions_.find(doc);
  return it == questions_.end() ? nullptr : it->second.data();
}

void DiskWatcher::Check(SourceDocument* doc) {
  EditorPane* pane = doc->FirstPane();
  const std::string path = doc->PathName();
  if (!pane || path.empty()) return;
  switch (pane->CheckDisk(path)) {
    case DiskState::Same:
      toldMissing_.erase(doc);
      return;
    case DiskState::Missing:
      if (!toldMissing_.insert(doc).second) return;
      pane->SetModified(true);
      window_.UpdateTitles();
      host_.ShowStatus(DeletedOnDiskMessage(path));
      {
        auto* box =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Tamso"),
                            QDisplay(DeletedOnDiskMessage(path)), QMessageBox::Ok, &window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
      }
      return;
    case DiskState::Changed:
      toldMissing_.erase(doc);
      if (pane->IsModified())
        Ask(doc, ChangedOnDiskQuestion(path));
      else
        Reload(doc);
      return;
  }
}

void DiskWatcher::Reload(SourceDocument* doc) {
  EditorPane* pane = doc->FirstPane();
  const std::string path = doc->PathName();
  // The same questions as Open: a huge or binary file is loaded only when wanted. No
  // keeps the text shown, which now differs from the file; that version of the file
  // is not asked about again.
  if (!ConfirmLoad(host_, path)) {
    pane->AcceptUnreadDiskState(path);
    pane->SetModified(true);
    window_.UpdateTitles();
    host_.ShowStatus(NotReloadedStatus(path));
    return;
  }
  std::string error;
  if (!pane->ReloadFromFile(path, &error)) {
    host_.Message("Cannot reload " + path + (error.empty() ? "." : ":\n" + error));
    return;
  }
  pane->SetModified(false);
  window_.UpdateTitles();
  host_.ShowStatus(ReloadedStatus(path));
}

void DiskWatcher::AskAboutRecovered(SourceDocument* doc) {
  Ask(doc, ChangedSinceJournalQuestion(doc->PathName()));
}

void DiskWatcher::Ask(SourceDocument* doc, const std::string& question) {
  if (Question(doc)) return;  // asked once; the open question stands for later changes too
  const std::string path = doc->PathName();
  auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Tamso"), QDisplay(question),
                              QMessageBox::NoButton, &window_);
  box->setObjectName(QStringLiteral("changedOnDisk"));
  QPushButton* reload = box->addButton(QStringLiteral("Reload"), QMessageBox::DestructiveRole);
  QPushButton* keep = box->addButton(QStringLiteral("Keep Mine"), QMessageBox::RejectRole);
  box->setDefaultButton(keep);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  QPointer<SourceDocument> target(doc);
  connect(box, &QMessageBox::buttonClicked, this, [this, target, reload, path](QAbstractButton* b) {
    if (!target) return;
    questions_.erase(target.data());
    EditorPane* pane = target->FirstPane();
    if (!pane || target->PathName() != path) return;
    if (b == reload) {
      Reload(target.data());
    } else {
      // The user's text stays, modified; this version of the file is not asked about again.
      pane->AcceptDiskState(path);
    }
  });
  (void)keep;
  questions_[doc] = box;
  box->show();
}

bool DiskWatcher::ConfirmSave(SourceDocument* doc) {
  EditorPane* pane = doc->FirstPane();
  const std::string path = doc->PathName();
  if (!pane || path.empty()) return true;
  if (pane->CheckDisk(path) != DiskState::Changed) return true;
  if (QMessageBox* box = Question(doc)) box->close();
  questions_.erase(doc);
  if (host_.MessageBox(ChangedBeforeSaveQuestion(path), std::string(), MsgIcon::Exclamation,
                       MsgButtons::YesNo) != Answer::Yes)
    return false;
  pane->AcceptDiskState(path);
  return true;
}

}  // namespace tamso::gui
