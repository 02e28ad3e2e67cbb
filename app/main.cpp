// vellumcraft: the workbench window. One optional argument names a file to open.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "auxwindows/HelpWindow.h"
#include "auxwindows/Pictures.h"
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
      watched->removeEventFilter(this);
      // The install test checks where the started program found its data.
      if (qgetenv("VC_REPORT_SHOWN") == "quit") {
        std::printf("vellumcraft: manual %s\n", qPrintable(vc::HelpWindow::manualFolder()));
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
      }
      std::fflush(stdout);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vc::installQtTranslations();
  // A start-up check (the tests run the README's command line this way): messages
  // are collected instead of shown, and the program ends once the file named
  // on the command line has been opened, failing when anything was said.
  const bool startupCheck = qEnvironmentVariableIsSet("VC_STARTUP_CHECK");
  vc::QtDialogs boxes;
  vc::ScriptedDialogs collected;
  vc::Dialogs& dialogs = startupCheck ? static_cast<vc::Dialogs&>(collected) : boxes;
  QStringList arguments = QCoreApplication::arguments().mid(1);
  vc::Tnewdfm window(dialogs, arguments);

  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  QGuiApplication::setDesktopFileName(QStringLiteral("vellumcraft"));
  QApplication::setWindowIcon(vc::pictures::programIconSet());
  window.show();
  // The tip of the day opens over the shown main window.
  try {
    vc::showTipAtStartup(window);
  } catch (const vc::Exception& e) {
    // Unstorable settings are no reason to refuse work: say so and go on.
    dialogs.error(nullptr, QString::fromUtf8(e.what()));
  }
  if (startupCheck) {
    QTimer::singleShot(500, &app, [&] {
      std::printf("vellumcraft: %s\n", qPrintable(window.windowTitle()));
      for (const QString& m : collected.messages() + collected.unexpected)
        std::printf("vellumcraft: message: %s\n", qPrintable(m));
      std::fflush(stdout);
      app.exit(collected.messages().isEmpty() && collected.unexpected.isEmpty() ? 0 : 1);
    });
  }
  // Start-up measurement: the first paint of the window is reported.
  FirstPaintReporter reporter;
  if (qEnvironmentVariableIsSet("VC_REPORT_SHOWN")) window.installEventFilter(&reporter);
  return app.exec();
}
