// The preview's fit check for `formtext check`: forms are built offscreen,
// never shown. Like the preview command, the one Qt part of formtext.
#include "cli/CheckOverflow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "preview/PreviewFit.h"

namespace vc::cli {
namespace {

std::vector<OverflowHit> fitCheck(std::string_view stream) {
  // Made once, on the first form to lay out, and kept to the end: it must
  // outlive every window, and formtext ends right after the check.
  static QApplication* app = nullptr;
  if (!app) {
    // No window is shown: a display, reachable or not, is not needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's notes about the environment are no problems of the translation.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
      if (type == QtFatalMsg) std::fprintf(stderr, "formtext: %s\n", m.toUtf8().constData());
    });
    static int argc = 1;
    static char name[] = "formtext";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
  }
  return preview::formOverflows(stream);
}

const OverflowCheckRegistrar registrar{fitCheck};

}  // namespace
}  // namespace vc::cli
