#include "platform/qt/KeyboardState.h"

#include <QGuiApplication>

#ifdef VC_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace vc {

#ifdef VC_HAVE_X11
namespace {

bool namedIndicator(Display* display, const char* name) {
  Atom atom = XInternAtom(display, name, True);
  if (atom == None) return false;
  Bool on = False;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on;
}

}  // namespace
#endif

KeyboardToggles keyboardToggles() {
  KeyboardToggles t;
#ifdef VC_HAVE_X11
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return t;
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return t;
  t.numLock = namedIndicator(x11->display(), "Num Lock");
  t.capsLock = namedIndicator(x11->display(), "Caps Lock");
#endif
  return t;
}

}  // namespace vc
