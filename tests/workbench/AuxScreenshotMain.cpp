// Takes the screenshots of the auxiliary windows: the tip of the day over the
// main window at a first start, the about window and the manual. Run under
// an X server (Xvfb) by tools/screenshot-auxwindows.sh; not a test.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <cstdio>

#include "auxwindows/HelpWindow.h"
#include "auxwindows/Pictures.h"
#include "auxwindows/aboutfrm.h"
#include "auxwindows/totay.h"
#include "platform/qt/DataFiles.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "workbench/Startup.h"
#include "workbench/newform.h"

namespace {

bool save(const QPixmap& shot, const QString& file) {
  if (shot.save(file)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  return false;
}

// What is on the screen inside the widget's frame, other windows included.
QPixmap screenArea(QWidget& w) {
  const QRect r = w.frameGeometry();
  return w.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: auxwindows_screenshot DATAROOT OUTDIR\n");
    return 2;
  }
  vc::datafiles::setExtraRoot(QString::fromLocal8Bit(argv[1]));
  const QString outDir = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  // A first start: no settings yet.
  const QString settings = QDir::tempPath() + QStringLiteral("/vc-aux-screenshot-settings");
  QDir(settings).removeRecursively();
  vc::Settings::useFolder(settings);
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  QApplication::setWindowIcon(vc::pictures::programIconSet());
  vc::ScriptedDialogs dialogs;
  vc::Tnewdfm w(dialogs, {});
  w.setGeometry(40, 40, 1000, 640);
  w.show();
  vc::showTipAtStartup(w);
  QTest::qWait(500);
  if (!w.tadayform->isVisible()) {
    std::fprintf(stderr, "no tip of the day at a first start\n");
    return 1;
  }
  if (!save(screenArea(w), outDir + QStringLiteral("/tip-of-the-day-first-start.png"))) return 1;
  w.tadayform->close();

  w.AboutForm->show();
  QTest::qWait(300);
  if (!save(w.AboutForm->grab(), outDir + QStringLiteral("/about-window.png"))) return 1;
  w.AboutForm->close();

  if (!w.helpWindow->openPage(QStringLiteral("strings.html"))) {
    std::fprintf(stderr, "no manual under %s\n", argv[1]);
    return 1;
  }
  QTest::qWait(300);
  if (!save(w.helpWindow->grab(), outDir + QStringLiteral("/manual.png"))) return 1;
  return dialogs.messages().isEmpty() ? 0 : 1;
}
