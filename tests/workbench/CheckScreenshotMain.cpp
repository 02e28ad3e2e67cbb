// Takes the screenshot of the translation check: captions of the sample
// module's main form translated with faults (a hotkey shared by two buttons,
// a text too wide for its button, a colon dropped), written back and saved
// into a form folder; "檢查翻譯(&K)" lists them in the panel, and one more
// value stored on the string page shows its warning mark. Run under an X
// server (Xvfb) by tools/screenshot-check.sh; not a test.
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "platform/Cp950.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "workbench/newform.h"

namespace {

int rowOfLine(vc::Tnewdfm& w, int line) {
  for (int i = 0; i < w.stringRowCount(); ++i)
    if (w.stringRow(i).lineNumber == line) return i;
  std::fprintf(stderr, "no row for line %d\n", line);
  return -1;
}

bool store(vc::Tnewdfm& w, int line, const char* utf8, bool tick) {
  const int row = rowOfLine(w, line);
  if (row < 0) return false;
  w.setStringModified(row, *vc::cp950::fromUtf8(utf8), true);
  w.setStringChecked(row, tick);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: workbench_check_screenshot MODULE OUTDIR\n");
    return 2;
  }
  const QString module = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString outDir = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  QTemporaryDir work;
  vc::Settings::useFolder(work.filePath(QStringLiteral("settings")));
  QDir().mkpath(work.filePath(QStringLiteral("forms")));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  vc::ScriptedDialogs dialogs;
  QDir::setCurrent(QFileInfo(module).absolutePath());
  vc::Tnewdfm w(dialogs, {});
  w.resize(1100, 760);
  w.show();
  QTest::qWait(200);
  w.setSelectedPath(module);
  QTest::qWait(100);
  const auto found = w.ListBox1->findItems(QStringLiteral("TMAINFORM"), Qt::MatchExactly);
  if (found.isEmpty()) return 1;
  w.ListBox1->setCurrentItem(found.first());
  QTest::qWait(200);

  if (!store(w, 68, "開啟檔案(&O)", true) || !store(w, 76, "儲存(&O)", true) ||
      !store(w, 84, "設定程式的各項功能", true) || !store(w, 98, "客戶名稱", true))
    return 1;
  w.A5->trigger();
  dialogs.saveAnswers.push_back({work.filePath(QStringLiteral("forms/TMAINFORM.dfm")), 1});
  if (w.save() != vc::SaveOutcome::Saved) return 1;
  w.checkItem->trigger();
  QTest::qWait(100);

  // A value stored and not yet written back: marked at once.
  w.page->setCurrentWidget(w.tab2);
  if (!store(w, 103, "電話", true)) return 1;
  const int marked = rowOfLine(w, 103);
  w.stringlist->setCurrentItem(w.stringlist->topLevelItem(marked));
  w.stringlist->scrollToItem(w.stringlist->topLevelItem(marked));
  w.checkList->setCurrentItem(w.checkList->topLevelItem(0));
  QTest::qWait(300);
  const QString path = outDir + QStringLiteral("/check-panel.png");
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return 1;
  }
  if (!dialogs.messages().isEmpty()) {
    std::fprintf(stderr, "unexpected message: %s\n", dialogs.messages().join(" / ").toUtf8().constData());
    return 1;
  }
  return 0;
}
