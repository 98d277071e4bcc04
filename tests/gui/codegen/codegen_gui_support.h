#pragma once
// Driving the code-generation dialogs, which run modally: a step runs as soon as the
// next modal dialog is up, from inside its event loop.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>

#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui/app/gui_fixture.h"

namespace tamso::gui::testing {

// Runs step with the next modal dialog of type T that is not `after` (the dialog
// open now, if any), once the event loop sees it. Deleting the timer returned
// withdraws a step that is still waiting.
template <class T>
QPointer<QTimer> WhenModal(std::function<void(T*)> step, QWidget* after = nullptr) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QPointer<QWidget> previous = after;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, step, previous] {
    QWidget* modal = QApplication::activeModalWidget();
    T* dialog = qobject_cast<T*>(modal);
    if (!dialog || modal == previous.data()) return;
    timer->stop();
    timer->deleteLater();
    step(dialog);
  });
  timer->start();
  return timer;
}

// The text of a store, lines joined by "\n".
inline std::string StoreText(const CLineStore& store) {
  std::string out;
  for (int i = 0; i < store.LineCount(); ++i) {
    if (i) out += '\n';
    out.append(store.Line(i));
  }
  return out;
}

inline CSourceEditor* EditorOf(ChildFrame* child) {
  auto* pane = qobject_cast<SourceEditorPane*>(child->Pane());
  return pane ? pane->Editor() : nullptr;
}

}  // namespace tamso::gui::testing
