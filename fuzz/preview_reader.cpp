// The preview reader and window on arbitrary bytes (offscreen): a window or
// a message, never a crash, hang or unbounded allocation.
#include <QApplication>
#include <cstdint>
#include <cstdlib>

#include "platform/Exception.h"
#include "preview/PreviewWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_preview_reader";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  (void)app;
  vc::TReadOnlyMemoryStream in(data, size, "");
  vc::preview::PreviewWindow window;
  vc::preview::ReaderHooks hooks;
  hooks.findMethod = [](const std::string&) { return true; };
  hooks.error = [](const QString&) { return true; };
  try {
    window.read(in, hooks);
    window.renderClient();
    window.layoutRows();
  } catch (const vc::Exception&) {
  }
  return 0;
}
