#include "app/recovery_keeper.h"

#include <map>
#include <set>
#include <tuple>

#include "app/child_frame.h"
#include "app/disk_watcher.h"
#include "app/doc_templates.h"
#include "app/main_window.h"
#include "app/source_document.h"
#include "editor/editor_pane.h"
#include "platform/paths.h"
#include "platform/qt_host.h"

namespace tamso::gui {

RecoveryKeeper::RecoveryKeeper(MainWindow& window, QtHost& host, RecoveryStore& store)
    : QObject(&window), window_(window), host_(host), store_(store) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::Tick);
  timer_.start();
}

namespace {

bool SameHeader(const JournalHeader& a, const JournalHeader& b) {
  const auto disk = [](const FileIdentity& d) {
    return std::tie(d.known, d.device, d.inode, d.size, d.mtimeNs, d.hash, d.recent);
  };
  return a.path == b.path && a.title == b.title && a.templateIndex == b.templateIndex &&
         disk(a.disk) == disk(b.disk) && a.eol == b.eol && a.finalLineEnd == b.finalLineEnd;
}

}  // namespace

RecoveryKeeper::Kept& RecoveryKeeper::KeptOf(SourceDocument* doc) {
  Kept& k = docs_[doc];
  if (k.id == 0) k.id = nextId_++;
  return k;
}

void RecoveryKeeper::Watch(SourceDocument* doc, EditorPane* pane) {
  Kept& k = KeptOf(doc);
  if (k.pane && k.follower >= 0) k.pane->UnfollowEdits(k.follower);
  k.pane = pane;
  k.follower = pane ? pane->FollowEdits() : -1;
  if (pane)
    connect(pane, &EditorPane::modifiedChanged, this, &RecoveryKeeper::OnModified,
            Qt::UniqueConnection);
}

void RecoveryKeeper::OnModified(bool modified) {
  if (modified) QTimer::singleShot(0, this, &RecoveryKeeper::Tick);
}

void RecoveryKeeper::Follow(SourceDocument* doc, Kept& k) {
  EditorPane* pane = doc->FirstPane();
  if (pane != k.pane.data()) Watch(doc, pane);
  if (!pane || k.follower < 0) return;
  EditLog::Batch changes = pane->TakeEdits(k.follower);
  if (changes.lost) {
    // Edits nobody took for a very long time were dropped: start again from a copy.
    changes = EditLog::Batch{};
    changes.newBase = true;
    changes.base = pane->SnapshotBase();
  }
  JournalHeader h;
  h.path = doc->PathName();
  h.title = doc->Title();
  h.templateIndex = static_cast<int>(doc->TemplateIndex());
  if (!h.path.empty()) h.disk = pane->DiskIdentity(h.path);
  pane->SaveLineEnds(&h.eol, &h.finalLineEnd);
  const bool modified = doc->IsModified();
  if (changes.empty() && modified == k.modified && (!modified || SameHeader(h, k.header))) return;
  k.modified = modified;
  k.header = h;
  // The write happens on the store's thread.
  store_.Record(k.id, std::move(h), std::move(changes), modified);
}

void RecoveryKeeper::ForgetClosed(const std::set<SourceDocument*>& open) {
  for (auto it = docs_.begin(); it != docs_.end();) {
    if (open.count(it->first)) {
      ++it;
      continue;
    }
    store_.Drop(it->second.id);
    if (it->second.pane && it->second.follower >= 0)
      it->second.pane->UnfollowEdits(it->second.follower);
    it = docs_.erase(it);
  }
}

void RecoveryKeeper::Tick() {
  std::set<SourceDocument*> open;
  for (SourceDocument* doc : window_.Documents()) {
    open.insert(doc);
    Follow(doc, KeptOf(doc));
  }
  ForgetClosed(open);
}

void RecoveryKeeper::Sync() {
  // A tick costs only the edits since the last one: a saved document's journal goes
  // now, a closed one's too.
  Tick();
}

void RecoveryKeeper::KeepAllNow() {
  Tick();
  store_.Flush();
}

bool RecoveryKeeper::HasJournalsToOffer() const {
  return !store_.Stale().empty();
}

int RecoveryKeeper::OfferRecovery() {
  std::vector<Journal> journals = store_.Stale();
  if (journals.empty()) return 0;
  const Answer a = host_.MessageBox(RecoveryQuestion(journals), std::string(), MsgIcon::Question,
                                    MsgButtons::YesNoCancel);
  if (a == Answer::Cancel) return 0;
  int opened = 0;
  // A file two runs kept is one document: its texts go into it oldest first, so the
  // newest shows and the older ones are an Undo away.
  std::map<std::string, ChildFrame*> recovered;
  // Files another program changed after the crash: asked about once each, at the end.
  std::map<std::string, SourceDocument*> changed;
  for (const Journal& j : journals) {
    if (a == Answer::Yes) {
      const std::string& path = j.header.path;
      ChildFrame* child = nullptr;
      auto newDocument = [&] {
        const std::size_t kinds = DocumentTemplates().size();
        const std::size_t t = static_cast<std::size_t>(j.header.templateIndex);
        return window_.NewDocument(t < kinds ? t : 0);
      };
      bool onFile = false;
      if (auto it = recovered.find(path); !path.empty() && it != recovered.end()) {
        child = it->second;
        onFile = !child->Doc()->PathName().empty() && paths::Exists(path);
      } else if (!path.empty() && paths::Exists(path)) {
        child = window_.OpenDocumentFile(path);
        onFile = child != nullptr;
        if (!child) {
          // The file cannot be opened (unreadable, a pipe, a device, a folder; the
          // open said why): the text is not lost with it but shown as a new document
          // named after the file, which Save asks a name for.
          child = newDocument();
          if (child) {
            child->Doc()->SetTitle(paths::FileName(path));
            host_.ShowStatus("The recovered text of " + path +
                             " is in a new document: the file itself could not be opened.");
          }
        }
      } else {
        child = newDocument();
        if (child && !path.empty()) {
          child->Doc()->SetPathName(path);
          child->Doc()->SetTitle(paths::FileName(path));
        }
      }
      // Not opened (refused or failed, already said): the journal stays for next time.
      if (!child || !child->Pane()) continue;
      child->Pane()->ReplaceAllText(j.text);
      child->Pane()->SetModified(true);
      if (onFile) {
        if (ChangedSinceJournal(j)) {
          // The text was typed over the file as it was then: a save must not go over
          // the newer one unasked, so the document compares with that version.
          child->Pane()->SetDiskIdentity(path, j.header.disk);
          changed[path] = child->Doc();
        } else if (changed.erase(path)) {
          // A newer journal of it was written over the file as it is now.
          child->Pane()->AcceptDiskState(path);
        }
      }
      if (path.empty() || recovered.emplace(path, child).second) ++opened;
    }
    RecoveryStore::Discard(j);
  }
  window_.UpdateTitles();
  for (const auto& [path, doc] : changed)
    if (window_.Disk()) window_.Disk()->AskAboutRecovered(doc);
  Tick();  // the recovered texts are this run's journals now
  return opened;
}

}  // namespace tamso::gui
