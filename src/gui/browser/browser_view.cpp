#include "browser/browser_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <unordered_map>
#include <unordered_set>

#include "app/main_window.h"
#include "browser/archive_document.h"
#include "browser/browser_icons.h"
#include "browser/outline_diff.h"
#include "browser/source_archive.h"
#include "browser/source_path.h"
#include "editor/editor_pane.h"
#include "platform/ini_file.h"
#include "platform/qt_host.h"
#include "platform/save_recovery.h"

namespace tamso::gui {

namespace {
const Project* g_project = nullptr;
}  // namespace

void CBrowserView::SetProject(const Project* project) {
  g_project = project;
}

CBrowserView::CBrowserView(EditorPane* pane, IHost& host, IniFile& profile,
                           ArchiveCopyOpener openCopy, QWidget* parent)
    : QTreeView(parent),
      pane_(pane),
      host_(host),
      profile_(profile),
      browser_([&] {
        ClassBrowser::Site site;
        site.host = &host;
        IniFile* ini = &profile;
        site.sourcePath = [ini] { return ReadSourcePath(*ini, g_project); };
        site.showMember = [pane](const std::string& className, const std::string& member) {
          if (!pane->ShowMember(className, member)) return false;
          pane->setFocus();
          return true;
        };
        site.openCopy = std::move(openCopy);
        site.cacheDirectory = save_detail::CacheDirectory() + "/sources";
        // Archive entries are read on the view's worker; the view waits for its
        // worker before it goes, so it is there to take the result.
        site.offWindow = [this](std::function<void()> work, std::function<void()> then) {
          pool_.start([this, work = std::move(work), then = std::move(then)] {
            work();
            QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
          });
        };
        return site;
      }()),
      model_(new OutlineTreeModel(this)) {
  setModel(model_);
  setObjectName(QStringLiteral("1038"));
  setAccessibleName(QStringLiteral("Class browser"));
  setHeaderHidden(true);
  // Long names scroll sideways rather than being cut short.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setRootIsDecorated(true);
  setDragEnabled(false);
  setIconSize(QSize(16, 16));
  // The right button offers Run Tests: on a method, that test (the caret goes to it
  // first, as a double click takes it); elsewhere, the class.
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex index = indexAt(at);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* tests = menu->addAction(QStringLiteral("Run Tests"));
    tests->setObjectName(QStringLiteral("32963"));
    connect(tests, &QAction::triggered, this, [this, index = QPersistentModelIndex(index)] {
      if (index.isValid()) Activate(index);
      emit pane_->commandRequested(32963);
    });
    menu->popup(viewport()->mapToGlobal(at));
  });
  setUniformRowHeights(true);
  setFocusPolicy(Qt::ClickFocus);  // a new window gives its editor the focus
  pool_.setMaxThreadCount(1);
  rebuildTimer_.setSingleShot(true);
  rebuildTimer_.setInterval(kRebuildDelayMs);
  connect(&rebuildTimer_, &QTimer::timeout, this, &CBrowserView::StartRebuild);
  indexTimer_.setInterval(kIndexLookMs);
  connect(&indexTimer_, &QTimer::timeout, this, &CBrowserView::AskAgainWhenIndexed);
  connect(pane_, &EditorPane::textChanged, this, &CBrowserView::OnTextChanged);
  connect(this, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { Activate(index); });
}

CBrowserView* CBrowserView::ForFrame(EditorPane* pane, MainWindow* main, QWidget* parent) {
  return new CBrowserView(
      pane, main->Host(), main->Profile(),
      [main](const std::string& path, const std::string& title) {
        return OpenArchiveCopy(*main, path, title);
      },
      parent);
}

CBrowserView::~CBrowserView() {
  latest_->store(~std::uint64_t{0});  // a rebuild still running gives up early
  pool_.waitForDone();
}

int CBrowserView::BeginOutline(const std::string& title) {
  return building_.BeginOutline(title);
}

int CBrowserView::AddOutlineItem(const std::string& text, int kind, int parent) {
  if (building_.Empty()) building_.BeginOutline(std::string());
  return building_.AddOutlineItem(text, kind, parent);
}

void CBrowserView::EndOutline() {
  building_.EndOutline();
  auto model = std::make_shared<OutlineModel>();
  std::swap(*model, building_);
  // This tree is the text as it is now: an automatic rebuild under way is stale.
  latest_->store(++version_);
  rebuildTimer_.stop();
  Show(std::move(model), true);
}

void CBrowserView::OnTextChanged() {
  latest_->store(++version_);
  if (profile_.GetString("Editor", "AutoRefreshBrowser", "Y") == "N") return;
  rebuildTimer_.start();
}

void CBrowserView::StartRebuild() {
  rebuildTimer_.stop();
  std::function<void(IOutlineSink&)> job = pane_->OutlineJob();
  if (!job) return;
  const std::uint64_t version = version_;
  latest_->store(version);
  // The tree shown is compared with the rebuilt one away from the window's thread too.
  std::shared_ptr<const OutlineModel> shown = model_->SharedOutline();
  pool_.start([this, job = std::move(job), version, latest = latest_, shown] {
    if (latest->load() != version) return;
    auto model = std::make_shared<OutlineModel>();
    job(*model);
    if (latest->load() != version) return;
    std::optional<std::vector<int>> changed;
    if (!shown->Empty()) changed = ChangedInPlace(*shown, *model);
    // The view waits for this job before it goes, so it is still there to post to.
    QMetaObject::invokeMethod(
        this,
        [this, model, version, shown, changed = std::move(changed)] {
          if (version != version_) return;  // typed on since: a newer rebuild follows
          if (activating_) {
            deferred_ = model;
            return;
          }
          if (changed && model_->SharedOutline() == shown)
            ShowInPlace(model, *changed);
          else
            Show(model, false);
        },
        Qt::QueuedConnection);
  });
}

void CBrowserView::WaitForRebuild() {
  pool_.waitForDone();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void CBrowserView::Show(std::shared_ptr<const OutlineModel> model, bool scrollToRoot) {
  // What to keep: expanded nodes, the selection and the scroll position.
  const OutlineModel& old = model_->Outline();
  std::unordered_set<std::string> expanded;
  std::string selected;
  bool haveSelection = false;
  const int scroll = verticalScrollBar()->value();
  const bool hadTree = !old.Empty();
  if (hadTree) {
    // Only the few expanded and selected nodes are named; a big outline has many nodes.
    for (std::size_t i = 0; i < old.Nodes().size(); ++i) {
      const int node = static_cast<int>(i);
      if (!old.Node(node).children.empty() && isExpanded(IndexOf(node)))
        expanded.insert(old.PathKey(node));
    }
    const QModelIndexList selection = selectionModel()->selectedIndexes();
    const int node = selection.isEmpty() ? -1 : NodeOf(selection.front());
    if (node >= 0) {
      selected = old.PathKey(node);
      haveSelection = true;
    }
  }

  model_->Reset(std::move(model));
  const OutlineModel& shown = model_->Outline();
  if (!shown.Empty()) {
    const std::string selectedLabel =
        haveSelection ? selected.substr(selected.rfind('\n') + 1) : std::string();
    for (std::size_t i = 0; hadTree && i < shown.Nodes().size(); ++i) {
      const int node = static_cast<int>(i);
      const OutlineNode& n = shown.Node(node);
      const bool expandable = !n.children.empty() && !expanded.empty();
      const bool selectable = haveSelection && n.label == selectedLabel;
      if (!expandable && !selectable) continue;
      const std::string key = shown.PathKey(node);
      if (expandable && expanded.count(key)) setExpanded(IndexOf(node), true);
      if (selectable && key == selected) {
        setCurrentIndex(IndexOf(node));
        haveSelection = false;
      }
    }
    setExpanded(IndexOf(0), true);
  }
  if (scrollToRoot || !hadTree) {
    if (!shown.Empty()) scrollTo(IndexOf(0));
  } else {
    // The scroll range follows the new rows only once they are laid out.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(scroll);
  }
  if (shown.InsertFailures() > 0) host_.Message("TVM_INSERTITEM failed");
  emit outlineShown();
}

void CBrowserView::ShowInPlace(std::shared_ptr<const OutlineModel> model,
                               const std::vector<int>& changed) {
  model_->UpdateInPlace(std::move(model), changed);
  if (model_->Outline().InsertFailures() > 0) host_.Message("TVM_INSERTITEM failed");
  emit outlineShown();
}

void CBrowserView::Activate(const QModelIndex& index) {
  const int node = NodeOf(index);
  if (node < 0 || activating_) return;
  ActivateNode(model_->SharedOutline(), node);
}

void CBrowserView::AskAgainWhenIndexed() {
  bool indexing = false;
  std::string error;
  SourceArchiveNow(indexing_, &error, &indexing);
  if (indexing) return;
  indexTimer_.stop();
  std::shared_ptr<const OutlineModel> tree = std::move(indexTree_);
  indexTree_.reset();
  indexing_.clear();
  if (tree && !activating_) ActivateNode(std::move(tree), indexNode_);
}

void CBrowserView::ActivateNode(std::shared_ptr<const OutlineModel> tree, int node) {
  // A message box may run while this is answered; the tree must not change under it.
  activating_ = true;
  // A newer double click replaces one still waiting for an index.
  indexTimer_.stop();
  indexTree_.reset();
  const std::string indexing = browser_.Activate(*tree, node);
  if (!indexing.empty()) {
    host_.ShowStatus("Indexing " + indexing + "; the source opens when it is done");
    indexing_ = indexing;
    indexTree_ = tree;
    indexNode_ = node;
    indexTimer_.start();
  }
  activating_ = false;
  if (deferred_) {
    std::shared_ptr<const OutlineModel> later = std::move(deferred_);
    deferred_.reset();
    Show(std::move(later), false);
  }
}

void CBrowserView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
    Activate(currentIndex());
    return;
  }
  QTreeView::keyPressEvent(event);
}

}  // namespace tamso::gui
