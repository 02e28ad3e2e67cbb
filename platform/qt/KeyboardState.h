#pragma once
// The keyboard's lock toggles, where the platform can tell (X11); elsewhere
// both read as off.
namespace vc {

struct KeyboardToggles {
  bool numLock = false;
  bool capsLock = false;
};

KeyboardToggles keyboardToggles();

}  // namespace vc
