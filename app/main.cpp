// vellumcraft: the workbench window. One optional argument names a file to open.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "platform/Exception.h"
#include "platform/qt/Dialogs.h"
#include "workbench/Startup.h"
#include "workbench/newform.h"

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
  if (qEnvironmentVariableIsSet("VC_REPORT_SHOWN")) {
    // Start-up measurement: reported once the first frame has been handled.
    QTimer::singleShot(0, &window, [] { std::printf("vellumcraft: window shown\n"); std::fflush(stdout); });
  }
  return app.exec();
}
