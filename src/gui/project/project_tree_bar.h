#pragma once
// The project tree bar: the open project as a root item with one child per member,
// kept in step with the project's member list. A double click opens a member; the
// right button brings up the member and project commands.

#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "project/project.h"

class QMenu;

namespace tamso::gui {

class ProjectTree : public QTreeWidget {
  Q_OBJECT
 public:
  ProjectTree(Project& project, QWidget* parent);

  // The member index of the current item, or MemberList::npos for the root or none.
  std::size_t SelectedMember() const;
  // The pop-up for the current item, its actions named by command id. The caller owns it.
  QMenu* BuildContextMenu(QWidget* parent);
  // Runs one pop-up command for the current item.
  void RunCommand(int id);
  // What "Project Settings..." runs; by default the project settings sheet.
  void SetSettingsRunner(std::function<void()> runner) { settingsRunner_ = std::move(runner); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  Project& project_;
  std::function<void()> settingsRunner_;
};

class ProjectTreeBar : public QWidget, public IMemberListObserver {
  Q_OBJECT
 public:
  explicit ProjectTreeBar(Project& project, QWidget* parent = nullptr);
  ~ProjectTreeBar() override;

  ProjectTree* Tree() const { return tree_; }
  QTreeWidgetItem* Root() const { return root_; }
  // Empties the tree (the main window is closing); the project keeps its members,
  // which its file already holds, and the bar keeps following it, so the next
  // RootReset fills it again.
  void ClearTree();

  void RootReset(const std::string& rootLabel) override;
  void MemberInserted(std::size_t index) override;
  void MemberRemoved(std::size_t index) override;
  void MemberKindChanged(std::size_t index) override;
  void RootExpanded() override;
  void BatchStarted() override;
  void BatchEnded() override;

 private:
  void Flush();
  void ScrollLater(QTreeWidgetItem* item);
  QTreeWidgetItem* MakeItem(const Member& member) const;

  Project& project_;
  ProjectTree* tree_;
  QTreeWidgetItem* root_ = nullptr;
  bool batch_ = false;
  QList<QTreeWidgetItem*> pending_;
  QTreeWidgetItem* scrollTarget_ = nullptr;
  bool scrollPosted_ = false;
};

}  // namespace tamso::gui
