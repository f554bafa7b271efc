#include "app/LiveEscapeKey.h"

#include <QGuiApplication>

// Xlib's macros (KeyPress, None, Bool...) clash with Qt names, so Xlib
// stays in this file, after every Qt header.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace velt {

bool IsEscapeKeyDownNow() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return false;
  const KeyCode code = XKeysymToKeycode(display, XK_Escape);
  if (code == 0) return false;
  char keys[32] = {};
  XQueryKeymap(display, keys);
  return (keys[code / 8] & (1 << (code % 8))) != 0;
}

}  // namespace velt
