#include "app/document_area_accessible.h"

#include <QAccessibleWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>

namespace tamso::gui {

namespace {

class DocumentAreaAccessible : public QAccessibleWidget {
 public:
  explicit DocumentAreaAccessible(QMdiArea* area)
      : QAccessibleWidget(area, QAccessible::LayeredPane) {}

  int childCount() const override { return static_cast<int>(Children().size()); }

  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> children = Children();
    if (index < 0 || index >= children.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(children[index]);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child || !child->object()) return -1;
    return static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QMdiArea* Area() const { return static_cast<QMdiArea*>(widget()); }

  QList<QWidget*> Children() const {
    QList<QWidget*> children;
    auto* bar = Area()->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (bar && Area()->viewMode() == QMdiArea::TabbedView && !bar->isHidden()) children << bar;
    for (QMdiSubWindow* w : Area()->subWindowList()) children << w;
    return children;
  }
};

QAccessibleInterface* AreaFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("QMdiArea"))
    if (auto* area = qobject_cast<QMdiArea*>(object)) return new DocumentAreaAccessible(area);
  return nullptr;
}

}  // namespace

void InstallDocumentAreaAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&AreaFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tamso::gui
