#pragma once
// Watches the files of the open documents for changes by other programs (inotify
// through QFileSystemWatcher, and a look at every file when the program becomes
// active again): an unmodified document is reloaded, a modified one asks once,
// without blocking, whether to reload or keep the user's text; a deleted file is
// reported and its document stays modified so that a save writes it back.

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <map>
#include <set>
#include <string>

class QMessageBox;

namespace tamso::gui {

class MainWindow;
class QtHost;
class SourceDocument;

class DiskWatcher : public QObject {
  Q_OBJECT
 public:
  DiskWatcher(MainWindow& window, QtHost& host);

  // Watches exactly the files of the open documents (after an open, save or close).
  void Sync();
  // Looks at every open document's file now.
  void CheckAll();
  // Before a save over the document's file: asks when another program changed it
  // since it was loaded or saved. False: do not save.
  bool ConfirmSave(SourceDocument* doc);
  // The open reload-or-keep question of a document, or null.
  QMessageBox* Question(SourceDocument* doc) const;
  // A recovered text over a file another program changed after the crash: the same
  // reload-or-keep question, saying so.
  void AskAboutRecovered(SourceDocument* doc);

 private:
  void Check(SourceDocument* doc);
  void Ask(SourceDocument* doc, const std::string& question);
  void Reload(SourceDocument* doc);

  MainWindow& window_;
  QtHost& host_;
  QFileSystemWatcher watcher_;
  QTimer settle_;  // changes come in bursts (write, rename, attributes): check once
  std::set<std::string> changed_;
  std::map<SourceDocument*, QPointer<QMessageBox>> questions_;
  std::set<SourceDocument*> toldMissing_;
};

}  // namespace tamso::gui
