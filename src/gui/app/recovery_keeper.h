#pragma once
// Keeps a recovery journal of every modified document of the main window: at most
// every 2 s while it has unsaved edits, written by the store's own thread, dropped
// when the document is saved, closed or back at its saved state. At start-up it
// offers the journals of an earlier run that did not exit cleanly.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <map>
#include <set>

namespace tamso {
class RecoveryStore;
}

namespace tamso::gui {

class MainWindow;
class QtHost;
class SourceDocument;

class RecoveryKeeper : public QObject {
  Q_OBJECT
 public:
  static constexpr int kIntervalMs = 2000;

  RecoveryKeeper(MainWindow& window, QtHost& host, RecoveryStore& store);

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
  struct Kept {
    std::uint64_t id = 0;
    std::uint64_t version = 0;
    bool kept = false;
  };
  void Keep(SourceDocument* doc, Kept& k);
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
