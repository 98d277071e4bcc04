#include "app/signal_exit.h"

#include <QCoreApplication>

#include "app/t2_app.h"
#include "platform/termination_signals.h"

namespace tamso::gui {

SignalExit::SignalExit(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  TerminationSignals& caught = TerminationSignals::Install();
  if (caught.ReadFd() < 0) return;
  notifier_ = new QSocketNotifier(caught.ReadFd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    const int signal = TerminationSignals::Install().Take();
    if (signal != 0 && onSignal_) onSignal_(signal);
  });
}

void EndOnSignal(CT2App& app, int signal) {
  app.EndRunningBuild();
  QCoreApplication::exit(128 + signal);
}

}  // namespace tamso::gui
