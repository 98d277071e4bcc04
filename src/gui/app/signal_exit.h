#pragma once
// Ends the program as Exit would when SIGTERM, SIGHUP or SIGINT comes in: the
// signal is taken in the event loop (never inside the handler), the running build
// is cancelled with its whole process group, and the event loop is left so that
// the profile is written as after Exit.

#include <QObject>
#include <QSocketNotifier>
#include <functional>

namespace tamso {
class CT2App;
}

namespace tamso::gui {

class SignalExit : public QObject {
  Q_OBJECT
 public:
  // onSignal runs in the event loop with the signal number.
  explicit SignalExit(std::function<void(int)> onSignal, QObject* parent = nullptr);

 private:
  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

// What the program does on such a signal: ends the running build (its process group
// included, waiting for it) and leaves the event loop with 128 + the signal number.
void EndOnSignal(CT2App& app, int signal);

}  // namespace tamso::gui
