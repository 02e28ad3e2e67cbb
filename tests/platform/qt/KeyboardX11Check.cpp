// Under an X server: the lock toggles read as the server holds them. Locks
// Caps Lock and Num Lock through XKB, reads, then unlocks and reads again.
#include <QApplication>
#include <X11/XKBlib.h>
#include <cstdio>

#include "platform/qt/KeyboardState.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->display()) {
    std::fprintf(stderr, "not running on X11\n");
    return 1;
  }
  Display* d = x11->display();
  const unsigned locks = LockMask | Mod2Mask;  // Caps Lock, Num Lock
  XkbLockModifiers(d, XkbUseCoreKbd, locks, locks);
  XSync(d, False);
  vc::KeyboardToggles on = vc::keyboardToggles();
  XkbLockModifiers(d, XkbUseCoreKbd, locks, 0);
  XSync(d, False);
  vc::KeyboardToggles off = vc::keyboardToggles();
  std::printf("locked: num %d caps %d; unlocked: num %d caps %d\n", on.numLock, on.capsLock,
              off.numLock, off.capsLock);
  return on.numLock && on.capsLock && !off.numLock && !off.capsLock ? 0 : 1;
}
