// Takes the workbench's screenshots: the window with a form from the sample
// module loaded, the string table page, and a search with the options panel
// and the replace toolbar open. Run under an X server (Xvfb) by
// tools/screenshot-workbench.sh; not a test.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdio>

#include "editor/widget/CodeEditor.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "widgets/FileListBox.h"
#include "workbench/SearchOptionsPanel.h"
#include "workbench/newform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: workbench_screenshot MODULE FORM OUTDIR\n");
    return 2;
  }
  const QString module = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString form = QString::fromLocal8Bit(argv[2]);
  const QString outDir = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
  // A first start: the window opens at its default size.
  const QString settings = QDir::tempPath() + QStringLiteral("/vc-screenshot-settings");
  QDir(settings).removeRecursively();
  vc::Settings::useFolder(settings);
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  vc::ScriptedDialogs dialogs;
  QDir::setCurrent(QFileInfo(module).absolutePath());
  vc::Tnewdfm w(dialogs, {});
  w.show();
  QTest::qWait(200);
  w.setSelectedPath(module);
  QTest::qWait(100);
  const auto found = w.ListBox1->findItems(form, Qt::MatchExactly);
  if (found.isEmpty()) {
    std::fprintf(stderr, "no form %s (%d forms; %s)\n", argv[2], w.ListBox1->count(), dialogs.messages().join(" / ").toUtf8().constData());
    return 1;
  }
  w.ListBox1->setCurrentItem(found.first());
  w.Editor->model().setCaret(5, 6);
  w.Editor->setFocus();
  QTest::qWait(300);
  if (!w.grab().save(outDir + QStringLiteral("/workbench-module-form.png"))) return 1;
  w.page->setCurrentWidget(w.tab2);
  QTest::qWait(300);
  if (!w.grab().save(outDir + QStringLiteral("/workbench-string-table.png"))) return 1;
  // Searching: the replace toolbar and the options panel open, a match selected.
  w.page->setCurrentWidget(w.tab1);
  w.R2->trigger();
  w.searchkey->setText(QStringLiteral("檔案"));
  w.rpkey->setText(QStringLiteral("文件"));
  w.Editor->model().setCaret(1, 1);
  w.searchnext->click();
  w.searchbtn->click();
  w.selpan->move(560, 110);  // dragged aside, so that the whole replace toolbar shows
  w.Editor->setFocus();
  QTest::qWait(300);
  if (!w.grab().save(outDir + QStringLiteral("/workbench-search.png"))) return 1;
  if (!dialogs.messages().isEmpty()) {
    std::fprintf(stderr, "unexpected message: %s\n", dialogs.messages().join(" / ").toUtf8().constData());
    return 1;
  }
  return 0;
}
