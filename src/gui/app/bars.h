#pragma once
// The contents of the two docked bars. The output and project subsystems supply the
// real widgets by installing a factory; until then the bars hold a plain output text
// view and an empty tree.

#include <QWidget>
#include <functional>

#include "platform/host.h"

namespace tamso::gui {

struct OutputBarParts {
  QWidget* widget = nullptr;
  IOutput* output = nullptr;  // lives as long as widget
};

struct ProjectTreeParts {
  QWidget* widget = nullptr;
  std::function<void()> clearTree;  // empties the tree (on exit, close and destroy)
};

using OutputBarFactory = std::function<OutputBarParts(QWidget* parent)>;
using ProjectTreeFactory = std::function<ProjectTreeParts(QWidget* parent)>;

// An empty factory restores the built-in contents.
void SetOutputBarFactory(OutputBarFactory factory);
void SetProjectTreeFactory(ProjectTreeFactory factory);

OutputBarParts CreateOutputBar(QWidget* parent);
ProjectTreeParts CreateProjectTreeBar(QWidget* parent);

}  // namespace tamso::gui
