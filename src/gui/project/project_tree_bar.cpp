#include "project/project_tree_bar.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "java/java_source.h"
#include "jobs/run_tests.h"
#include "jobs/test_wiring.h"
#include "project/project_icons.h"
#include "project/project_settings_sheet.h"
#include "project/tree_commands.h"

namespace tamso::gui {

namespace {

QString Q(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}

}  // namespace

ProjectTree::ProjectTree(Project& project, QWidget* parent)
    : QTreeWidget(parent), project_(project) {
  setObjectName(QStringLiteral("1038"));
  setAccessibleName(QStringLiteral("Project tree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setUniformRowHeights(true);
  setIconSize(QSize(16, 16));
  setContextMenuPolicy(Qt::DefaultContextMenu);
  settingsRunner_ = [this] { RunProjectSettingsSheet(project_, window()); };
  connect(this, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem*, int) { OpenMember(project_, SelectedMember()); });
}

std::size_t ProjectTree::SelectedMember() const {
  QTreeWidgetItem* item = currentItem();
  if (!item || !item->parent()) return MemberList::npos;
  int i = item->parent()->indexOfChild(item);
  return i < 0 ? MemberList::npos : static_cast<std::size_t>(i);
}

QMenu* ProjectTree::BuildContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (const TreeMenuEntry& e : TreeMenuEntries(project_, SelectedMember())) {
    if (e.id == 0) {
      menu->addSeparator();
      continue;
    }
    // Shown as written: an '&' in a path is no mnemonic.
    QString text = Q(e.text);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::number(e.id));
    int id = e.id;
    connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
  }
  // A test class runs its tests from here too.
  const std::size_t selected = SelectedMember();
  if (selected != MemberList::npos && selected < project_.Members().Size()) {
    const std::string path = project_.ResolveMember(project_.Members().At(selected).stored);
    if (NamesJavaFile(path) && FileHasTests(path)) {
      menu->addSeparator();
      QAction* a = menu->addAction(QStringLiteral("Run Tests"));
      a->setObjectName(QStringLiteral("32963"));
      connect(a, &QAction::triggered, this, [path] { RunTestsOfFile(path); });
    }
  }
  return menu;
}

void ProjectTree::RunCommand(int id) {
  if (id == kCmdProjectSettings) {
    if (settingsRunner_) settingsRunner_();
    return;
  }
  RunTreeCommand(project_, id, SelectedMember());
}

void ProjectTree::mousePressEvent(QMouseEvent* event) {
  // The right button leaves the current item alone: the pop-up acts on the item the
  // user selected, not on the one under the pointer.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

void ProjectTree::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    QMenu* menu = BuildContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
  }
  QTreeWidget::mouseReleaseEvent(event);
}

void ProjectTree::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

ProjectTreeBar::ProjectTreeBar(Project& project, QWidget* parent)
    : QWidget(parent), project_(project), tree_(new ProjectTree(project, this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_);
  project_.Members().SetObserver(this);
  // A project opened before the bar existed.
  if (project_.Members().HasRoot()) {
    RootReset(project_.Members().RootLabel());
    BatchStarted();
    for (std::size_t i = 0; i < project_.Members().Size(); ++i) MemberInserted(i);
    BatchEnded();
    RootExpanded();
  }
}

ProjectTreeBar::~ProjectTreeBar() {
  if (project_.Members().Observer() == this) project_.Members().SetObserver(nullptr);
}

void ProjectTreeBar::ClearTree() {
  // The bar keeps following the project: a project opened later fills it again.
  qDeleteAll(pending_);
  pending_.clear();
  tree_->clear();
  root_ = nullptr;
  scrollTarget_ = nullptr;
}

QTreeWidgetItem* ProjectTreeBar::MakeItem(const Member& member) const {
  auto* item = new QTreeWidgetItem;
  item->setText(0, Q(ShownText(member.label)));
  item->setToolTip(0, Q(ShownText(member.stored)));
  item->setIcon(0, ProjectTreeIcons().at(static_cast<std::size_t>(member.kind)));
  return item;
}

void ProjectTreeBar::Flush() {
  if (pending_.isEmpty() || !root_) return;
  root_->addChildren(pending_);
  QTreeWidgetItem* last = pending_.back();
  pending_.clear();
  ScrollLater(last);
}

void ProjectTreeBar::ScrollLater(QTreeWidgetItem* item) {
  // Scrolling lays the tree out; a run of additions scrolls once, to the last one.
  scrollTarget_ = item;
  if (scrollPosted_) return;
  scrollPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        scrollPosted_ = false;
        if (scrollTarget_) tree_->scrollToItem(scrollTarget_);
        scrollTarget_ = nullptr;
      },
      Qt::QueuedConnection);
}

void ProjectTreeBar::RootReset(const std::string& rootLabel) {
  qDeleteAll(pending_);
  pending_.clear();
  tree_->clear();
  root_ = nullptr;
  scrollTarget_ = nullptr;
  if (rootLabel.empty() && !project_.Members().HasRoot()) return;
  root_ = new QTreeWidgetItem(tree_);
  root_->setText(0, Q(ShownText(rootLabel)));
  root_->setToolTip(0, Q(ShownText(project_.ProjectFile())));
  root_->setIcon(0, ProjectTreeIcons().at(0));
  // Opening a project shows the bar.
  if (auto* dock = qobject_cast<QDockWidget*>(parentWidget())) dock->show();
}

void ProjectTreeBar::MemberInserted(std::size_t index) {
  if (!root_) return;
  QTreeWidgetItem* item = MakeItem(project_.Members().At(index));
  if (batch_) {
    pending_.append(item);
    return;
  }
  Flush();
  root_->insertChild(static_cast<int>(index), item);
  ScrollLater(item);
}

void ProjectTreeBar::MemberRemoved(std::size_t index) {
  Flush();
  if (!root_) return;
  QTreeWidgetItem* item = root_->takeChild(static_cast<int>(index));
  if (item == scrollTarget_) scrollTarget_ = nullptr;
  delete item;
}

void ProjectTreeBar::MemberKindChanged(std::size_t index) {
  Flush();
  if (!root_) return;
  if (QTreeWidgetItem* item = root_->child(static_cast<int>(index)))
    item->setIcon(
        0, ProjectTreeIcons().at(static_cast<std::size_t>(project_.Members().At(index).kind)));
}

void ProjectTreeBar::RootExpanded() {
  Flush();
  if (root_) root_->setExpanded(true);
}

void ProjectTreeBar::BatchStarted() {
  batch_ = true;
  tree_->setUpdatesEnabled(false);
}

void ProjectTreeBar::BatchEnded() {
  batch_ = false;
  Flush();
  tree_->setUpdatesEnabled(true);
}

}  // namespace tamso::gui
