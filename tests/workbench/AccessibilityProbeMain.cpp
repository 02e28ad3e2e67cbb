// The window as a screen reader meets it, for tests/workbench/atspi-check.py:
// a form of the sample module on the string page, the string editor opened
// from the keyboard on the first row, and the table's context menu open.
// It stays up until the check is done (at most the seconds given).
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "workbench/newform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("vellumcraft-atspi-probe"));
  if (argc < 3) {
    std::fprintf(stderr, "usage: workbench_atspi_probe MODULE SECONDS\n");
    return 2;
  }
  const QString module = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  vc::Settings::useFolder(QDir::tempPath() + QStringLiteral("/vc-atspi-settings"));
  vc::ScriptedDialogs dialogs;
  vc::Tnewdfm w(dialogs, {});
  w.resize(1000, 650);
  w.show();
  QTest::qWait(200);
  w.setSelectedPath(module);
  QTest::qWait(100);
  const auto found = w.ListBox1->findItems(QStringLiteral("TMAINFORM"), Qt::MatchExactly);
  if (found.isEmpty()) return 1;
  w.ListBox1->setCurrentItem(found.first());
  QTest::qWait(100);
  w.page->setCurrentWidget(w.tab2);
  w.stringlist->setFocus();
  QTest::qWait(100);
  QTest::keyClick(w.stringlist, Qt::Key_Return);
  QTest::qWait(100);
  const QRect row = w.stringlist->visualItemRect(w.stringlist->currentItem());
  w.PopupMenu1->popup(w.stringlist->viewport()->mapToGlobal(row.bottomRight()));
  std::printf("ready\n");
  std::fflush(stdout);
  QTimer::singleShot(std::atoi(argv[2]) * 1000, &app, &QCoreApplication::quit);
  return app.exec();
}
