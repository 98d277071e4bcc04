#pragma once
// Keeps a recovery journal of every modified document of the main window: at most
// every 2 s while it has unsaved edits, written by the store's own thread, dropped
// when the document is saved, closed or back at its saved state. The window's
// thread hands over only the edits made since the last time, never the whole text. At start-up it
// offers the journals of an earlier run that did not exit cleanly.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <map>
#include <set>

#include "app/recovery_journal.h"

namespace tamso::gui {

class EditorPane;
class MainWindow;
class QtHost;
class SourceDocument;

class RecoveryKeeper : public QObject {
  Q_OBJECT
 public:
  static constexpr int kIntervalMs = 2000;

  RecoveryKeeper(MainWindow& window, QtHost& host, RecoveryStore& store);

  // Follows a new document's edits from its start, so that a loaded text's journal
  // shares the loaded bytes.
  void Watch(SourceDocument* doc, EditorPane* pane);
  // Writes or drops each document's journal as its state asks, now.
  void Tick();
  // Drops the journals of documents that were saved or closed.
  void Sync();
  // On the way out after a signal: every modified document's text is on disk.
  void KeepAllNow();
  // True when OfferRecovery has journals to offer.
  bool HasJournalsToOffer() const;
  // Offers the journals of runs that ended without a clean exit (one question);
  // recovered texts open as modified documents. Returns how many were opened.
  int OfferRecovery();

 private:
  // A document that becomes modified gets its journal at once, not at the next tick:
  // a large text's base takes a while to write.
  void OnModified(bool modified);
  struct Kept {
    std::uint64_t id = 0;
    QPointer<EditorPane> pane;  // the pane whose edits are followed
    int follower = -1;
    bool modified = false;  // as the store last heard
    JournalHeader header;   // as the store last heard
  };
  // Hands the document's edits since the last tick to the store; costs what was
  // typed, not the size of the text.
  void Follow(SourceDocument* doc, Kept& k);
  Kept& KeptOf(SourceDocument* doc);
  // Drops the journals of documents no longer open.
  void ForgetClosed(const std::set<SourceDocument*>& open);

  MainWindow& window_;
  QtHost& host_;
  RecoveryStore& store_;
  QTimer timer_;
  std::map<SourceDocument*, Kept> docs_;
  std::uint64_t nextId_ = 1;
};

}  // namespace tamso::gui
