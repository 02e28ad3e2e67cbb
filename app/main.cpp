// vellumcraft: the workbench window. One optional argument names a file to open.
#include <QApplication>
#include <QEvent>
#include <cstdio>

#include "platform/Exception.h"
#include "platform/qt/Dialogs.h"
#include "workbench/Startup.h"
#include "workbench/newform.h"

namespace {

class FirstPaintReporter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::printf("vellumcraft: window shown\n");
      std::fflush(stdout);
      watched->removeEventFilter(this);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vc::QtDialogs dialogs;
  QStringList arguments = QCoreApplication::arguments().mid(1);
  vc::Tnewdfm window(dialogs, arguments);

  // The tip of the day opens from this decision once it exists; until then
  // the decision is made and stored, and nothing is shown.
  try {
    (void)vc::tipWindowAtStartup(*window.settings());
  } catch (const vc::Exception& e) {
    // Unstorable settings are no reason to refuse work: say so and go on.
    dialogs.error(nullptr, QString::fromUtf8(e.what()));
  }

  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  window.showMaximized();
  // Start-up measurement: the first paint of the window is reported.
  FirstPaintReporter reporter;
  if (qEnvironmentVariableIsSet("VC_REPORT_SHOWN")) window.installEventFilter(&reporter);
  return app.exec();
}
