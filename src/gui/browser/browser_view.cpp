#include "browser/browser_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <unordered_map>
#include <unordered_set>

#include "app/main_window.h"
#include "browser/archive_document.h"
#include "browser/browser_icons.h"
#include "browser/source_path.h"
#include "editor/editor_pane.h"
#include "platform/ini_file.h"
#include "platform/qt_host.h"
#include "platform/save_recovery.h"

namespace tamso::gui {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;  // Qt::UserRole holds the kind

}  // namespace

CBrowserView::CBrowserView(EditorPane* pane, IHost& host, IniFile& profile,
                           ArchiveCopyOpener openCopy, QWidget* parent)
    : QTreeWidget(parent), pane_(pane), host_(host), profile_(profile), browser_([&] {
        ClassBrowser::Site site;
        site.host = &host;
        IniFile* ini = &profile;
        site.sourcePath = [ini] { return ReadSourcePath(*ini); };
        site.showMember = [pane](const std::string& className, const std::string& member) {
          if (!pane->ShowMember(className, member)) return false;
          pane->setFocus();
          return true;
        };
        site.openCopy = std::move(openCopy);
        site.cacheDirectory = save_detail::CacheDirectory() + "/sources";
        return site;
      }()) {
  setObjectName(QStringLiteral("1038"));
  setAccessibleName(QStringLiteral("Class browser"));
  setHeaderHidden(true);
  // Long names scroll sideways rather than being cut short.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setRootIsDecorated(true);
  setDragEnabled(false);
  setIconSize(QSize(16, 16));
  setUniformRowHeights(true);
  setFocusPolicy(Qt::ClickFocus);  // a new window gives its editor the focus
  pool_.setMaxThreadCount(1);
  rebuildTimer_.setSingleShot(true);
  rebuildTimer_.setInterval(kRebuildDelayMs);
  connect(&rebuildTimer_, &QTimer::timeout, this, &CBrowserView::StartRebuild);
  connect(pane_, &EditorPane::textChanged, this, &CBrowserView::OnTextChanged);
  connect(this, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { Activate(item); });
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
  OutlineModel model;
  std::swap(model, building_);
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
  pool_.start([this, job = std::move(job), version, latest = latest_] {
    if (latest->load() != version) return;
    auto model = std::make_shared<OutlineModel>();
    job(*model);
    if (latest->load() != version) return;
    // The view waits for this job before it goes, so it is still there to post to.
    QMetaObject::invokeMethod(
        this,
        [this, model, version] {
          if (version != version_) return;  // typed on since: a newer rebuild follows
          if (activating_) {
            deferred_ = std::make_unique<OutlineModel>(std::move(*model));
            return;
          }
          Show(std::move(*model), false);
        },
        Qt::QueuedConnection);
  });
}

void CBrowserView::WaitForRebuild() {
  pool_.waitForDone();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void CBrowserView::Show(OutlineModel model, bool scrollToRoot) {
  // What to keep: expanded nodes, the selection and the scroll position.
  std::unordered_set<std::string> expanded;
  std::string selected;
  bool haveSelection = false;
  const int scroll = verticalScrollBar()->value();
  const bool hadTree = !shown_.Empty();
  if (hadTree) {
    // Only the few expanded and selected nodes are named; a big outline has many nodes.
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i]->isExpanded()) expanded.insert(shown_.PathKey(static_cast<int>(i)));
      if (!haveSelection && items_[i]->isSelected()) {
        selected = shown_.PathKey(static_cast<int>(i));
        haveSelection = true;
      }
    }
  }

  shown_ = std::move(model);
  setUpdatesEnabled(false);
  clear();
  items_.clear();
  items_.reserve(shown_.Nodes().size());
  // Built apart from the widget and added in one step: far quicker for a big outline.
  for (std::size_t i = 0; i < shown_.Nodes().size(); ++i) {
    const OutlineNode& n = shown_.Nodes()[i];
    QTreeWidgetItem* item = n.parent < 0
                                ? new QTreeWidgetItem(QStringList(Q(n.label)))
                                : new QTreeWidgetItem(items_[static_cast<std::size_t>(n.parent)],
                                                      QStringList(Q(n.label)));
    item->setIcon(0, BrowserIcon(NodeImage(shown_, static_cast<int>(i))));
    item->setData(0, Qt::UserRole, n.kind);
    item->setData(0, kNodeRole, static_cast<int>(i));
    items_.push_back(item);
  }
  if (!items_.empty()) {
    addTopLevelItem(items_[0]);
    const std::string selectedLabel =
        haveSelection ? selected.substr(selected.rfind('\n') + 1) : std::string();
    for (std::size_t i = 0; hadTree && i < items_.size(); ++i) {
      const OutlineNode& n = shown_.Nodes()[i];
      const bool expandable = !n.children.empty() && !expanded.empty();
      const bool selectable = haveSelection && n.label == selectedLabel;
      if (!expandable && !selectable) continue;
      const std::string key = shown_.PathKey(static_cast<int>(i));
      if (expandable && expanded.count(key)) items_[i]->setExpanded(true);
      if (selectable && key == selected) {
        setCurrentItem(items_[i]);
        haveSelection = false;
      }
    }
    items_[0]->setExpanded(true);
  }
  setUpdatesEnabled(true);
  if (scrollToRoot || !hadTree) {
    if (!items_.empty()) scrollToItem(items_[0]);
  } else {
    verticalScrollBar()->setValue(scroll);
  }
  if (shown_.InsertFailures() > 0) host_.Message("TVM_INSERTITEM failed");
  emit outlineShown();
}

int CBrowserView::NodeOf(const QTreeWidgetItem* item) const {
  if (!item) return -1;
  bool ok = false;
  const int node = item->data(0, kNodeRole).toInt(&ok);
  return ok && shown_.Has(node) ? node : -1;
}

QTreeWidgetItem* CBrowserView::ItemOf(int node) const {
  return node >= 0 && static_cast<std::size_t>(node) < items_.size()
             ? items_[static_cast<std::size_t>(node)]
             : nullptr;
}

void CBrowserView::Activate(QTreeWidgetItem* item) {
  const int node = NodeOf(item);
  if (node < 0 || activating_) return;
  // A message box may run while this is answered; the tree must not change under it.
  activating_ = true;
  const OutlineModel tree = shown_;
  browser_.Activate(tree, node);
  activating_ = false;
  if (deferred_) {
    std::unique_ptr<OutlineModel> later = std::move(deferred_);
    Show(std::move(*later), false);
  }
}

void CBrowserView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && currentItem()) {
    Activate(currentItem());
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace tamso::gui
