#include "app/lock_keys.h"

#include <QGuiApplication>

#ifdef TAMSO_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
// X11 headers define names (None, Bool, Status) that clash with Qt's; include them last.
#include <X11/XKBlib.h>
#endif

namespace tamso::gui {

std::optional<LockStates> ReadLockStates() {
#ifdef TAMSO_HAVE_X11
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  unsigned int state = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != 0) return std::nullopt;
  // The core keyboard's usual indicator order: Caps Lock, Num Lock, Scroll Lock.
  auto lit = [&](const char* name, unsigned int fallbackBit) {
    Atom atom = XInternAtom(display, name, True);
    int index = -1;
    Bool on = 0;
    if (atom != 0 && XkbGetNamedIndicator(display, atom, &index, &on, nullptr, nullptr))
      return on != 0;
    return (state & fallbackBit) != 0;
  };
  return LockStates{lit("Caps Lock", 1u), lit("Num Lock", 2u), lit("Scroll Lock", 4u)};
#else
  return std::nullopt;
#endif
}

}  // namespace tamso::gui
