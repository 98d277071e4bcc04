#pragma once
// The class browser: the tree beside a Java or Perl editor that outlines its text
// (the file, its package, imports, classes with their superclass, interfaces, fields
// and methods; or its subroutines). Double clicking (or Enter on) a node moves the
// editor to a member or opens the source of the class a node names.
//
// The editor fills the tree through the outline calls when the window opens, after a
// load and on "Refresh Class Tree". About a second after typing stops the outline is
// built again on a copy of the text away from the window's thread; a result that the
// text has moved on from is dropped. Expanded nodes and the selection are kept across
// rebuilds wherever a node keeps its labels from the root down.
//
// The tree draws the outline through a model that reads the outline's nodes as rows
// are shown: a file of a few hundred thousand nodes makes no per-node objects.

#include <QThreadPool>
#include <QTimer>
#include <QTreeView>
#include <atomic>
#include <functional>
#include <memory>

#include "browser/class_browser.h"
#include "browser/outline_model.h"
#include "browser/outline_tree_model.h"

namespace tamso {
class Project;
}  // namespace tamso

namespace tamso::gui {

class EditorPane;
class MainWindow;

// Opens a cache copy of an archive entry as a read-only document called title.
using ArchiveCopyOpener = std::function<bool(const std::string& path, const std::string& title)>;

class CBrowserView : public QTreeView, public IOutlineSink {
  Q_OBJECT
 public:
  // How long after the last edit the outline is rebuilt by itself.
  static constexpr int kRebuildDelayMs = 1000;
  // How often a double click waiting for an archive's index looks whether it is built.
  static constexpr int kIndexLookMs = 100;

  // A browser for pane, talking to the user through host, reading the source path
  // and its settings from profile. Without an opener, archive copies open as the
  // host's plain documents.
  CBrowserView(EditorPane* pane, IHost& host, IniFile& profile, ArchiveCopyOpener openCopy = {},
               QWidget* parent = nullptr);
  // The browser of a child frame of main.
  static CBrowserView* ForFrame(EditorPane* pane, MainWindow* main, QWidget* parent);
  // The project whose JDK's sources the browsers search (may be null).
  static void SetProject(const Project* project);
  ~CBrowserView() override;

  int BeginOutline(const std::string& title) override;
  int AddOutlineItem(const std::string& text, int kind, int parent) override;
  void EndOutline() override;

  // The outline the tree shows, the node an index stands for (-1 for none) and the
  // index of a node (invalid for none).
  const OutlineModel& Shown() const { return model_->Outline(); }
  int NodeOf(const QModelIndex& index) const { return model_->NodeOf(index); }
  QModelIndex IndexOf(int node) const { return model_->IndexOf(node); }
  // What a double click on the node at index does.
  void Activate(const QModelIndex& index);

  // The automatic rebuild: the timer that waits for typing to stop, the rebuild it
  // starts (also callable at once), and a wait until a started rebuild is shown or
  // dropped.
  QTimer& RebuildTimer() { return rebuildTimer_; }
  void StartRebuild();
  void WaitForRebuild();

 signals:
  // The tree was filled anew (by the editor or by an automatic rebuild).
  void outlineShown();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnTextChanged();
  void Show(std::shared_ptr<const OutlineModel> model, bool scrollToRoot);
  void ActivateNode(std::shared_ptr<const OutlineModel> tree, int node);
  // A double click whose search met an archive still being indexed is answered
  // again once the index is built; the window goes on meanwhile.
  void AskAgainWhenIndexed();
  // A rebuild with the nodes of the tree shown in the same places: only changed rows
  // are drawn again (a big outline is not laid out anew after every typing pause).
  void ShowInPlace(std::shared_ptr<const OutlineModel> model, const std::vector<int>& changed);

  EditorPane* pane_;
  IHost& host_;
  IniFile& profile_;
  ClassBrowser browser_;
  OutlineModel building_;    // filled by the outline calls
  OutlineTreeModel* model_;  // what the tree shows (a child of the view)
  QTimer rebuildTimer_;
  std::uint64_t version_ = 0;  // counts edits
  std::shared_ptr<std::atomic<std::uint64_t>> latest_ =
      std::make_shared<std::atomic<std::uint64_t>>(0);
  bool activating_ = false;  // a double click is being answered (it may show a dialog)
  std::shared_ptr<const OutlineModel> deferred_;   // a rebuild that arrived meanwhile
  QTimer indexTimer_;                              // looks whether the archive is indexed
  std::string indexing_;                           // the archive a double click waits for
  std::shared_ptr<const OutlineModel> indexTree_;  // and the tree and node it was on
  int indexNode_ = -1;
  QThreadPool pool_;  // last: waited for before anything else goes
};

}  // namespace tamso::gui
