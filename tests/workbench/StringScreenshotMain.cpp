// Takes the screenshots of the string page at work: the string editor open on
// a Caption row, the choice editor on an Align row, and the code editor after
// "write back all". Rows are pressed with the mouse as a translator presses
// them. Run under an X server (Xvfb) by tools/screenshot-strings.sh; not a test.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdio>

#include "editor/widget/CodeEditor.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "workbench/StringValueEditors.h"
#include "workbench/newform.h"

namespace {

// Presses the row of a 1-based line in its value column.
bool pressLine(vc::Tnewdfm& w, int line) {
  for (int i = 0; i < w.stringRowCount(); ++i) {
    if (w.stringRow(i).lineNumber != line) continue;
    QTreeWidgetItem* item = w.stringlist->topLevelItem(i);
    w.stringlist->scrollToItem(item);
    const QPoint at = w.stringlist->visualRect(w.stringlist->indexFromItem(item, 2)).center();
    QTest::mouseClick(w.stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::qWait(100);
    return true;
  }
  std::fprintf(stderr, "no row for line %d\n", line);
  return false;
}

bool save(QWidget& w, const QString& path) {
  QTest::qWait(300);
  if (w.grab().save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: workbench_string_screenshot MODULE OUTDIR\n");
    return 2;
  }
  const QString module = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString outDir = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  vc::Settings::useFolder(QDir::tempPath() + QStringLiteral("/vc-screenshot-settings"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft 漢化輔助編輯器"));
  vc::ScriptedDialogs dialogs;
  QDir::setCurrent(QFileInfo(module).absolutePath());
  vc::Tnewdfm w(dialogs, {});
  w.resize(1100, 700);
  w.show();
  QTest::qWait(200);
  w.setSelectedPath(module);
  QTest::qWait(100);
  const auto found = w.ListBox1->findItems(QStringLiteral("TMAINFORM"), Qt::MatchExactly);
  if (found.isEmpty()) return 1;
  w.ListBox1->setCurrentItem(found.first());
  QTest::qWait(200);
  w.page->setCurrentWidget(w.tab2);
  QTest::qWait(200);
  vc::StringValueEditors& ed = *w.valueEditors;

  // The form's caption: the string editor opens beside the row.
  if (!pressLine(w, 6)) return 1;
  // A quoted value is edited whole, over two lines here (Ctrl+Enter).
  ed.rpmemo->selectAll();
  ed.rpmemo->insertPlainText(QStringLiteral("顧客管理系統"));  // as an input method types it
  QTest::keyClick(ed.rpmemo, Qt::Key_Return, Qt::ControlModifier);
  ed.rpmemo->insertPlainText(QStringLiteral("2.0 版"));
  if (!save(w, outDir + QStringLiteral("/strings-caption-editor.png"))) return 1;
  QTest::mouseClick(ed.SpeedButton5, Qt::LeftButton);

  // A menu item's caption, then the tool bar's Align: the choice editor.
  if (!pressLine(w, 24)) return 1;
  ed.rpmemo->selectAll();
  ed.rpmemo->insertPlainText(QStringLiteral("開啟檔案(&O)..."));
  QTest::mouseClick(ed.SpeedButton5, Qt::LeftButton);
  // Align is no string: it is shown with the filter off.
  w.stringsOnly->setChecked(false);
  if (!pressLine(w, 61)) return 1;
  ed.proper->setCurrentIndex(ed.proper->findText(QStringLiteral("alClient")));
  if (!save(w, outDir + QStringLiteral("/strings-choice-editor.png"))) return 1;

  // Write back all ticked rows; then, with the filter on again, one more
  // caption typed and stored from the keyboard: the marks show rows written
  // back, one pending and the rest untranslated, the status bar the count.
  w.A5->trigger();
  QTest::qWait(100);
  w.stringsOnly->setChecked(true);
  if (!pressLine(w, 24)) return 1;
  QTest::keyClick(ed.rpmemo, Qt::Key_Escape);
  QTest::keyClick(w.stringlist, Qt::Key_Down);
  QTest::keyClick(w.stringlist, Qt::Key_Return);
  ed.rpmemo->insertPlainText(QStringLiteral("儲存檔案(&S)"));
  QTest::keyClick(ed.rpmemo, Qt::Key_Return);
  if (!save(w, outDir + QStringLiteral("/strings-filter-states.png"))) return 1;
  QTest::keyClick(ed.rpmemo, Qt::Key_Escape);

  // The code editor shows the rebuilt lines.
  w.page->setCurrentWidget(w.tab1);
  w.Editor->setTopLine(1);
  w.Editor->model().setCaret(1, 6);
  w.Editor->setFocus();
  if (!save(w, outDir + QStringLiteral("/strings-written-back.png"))) return 1;
  if (!dialogs.messages().isEmpty()) {
    std::fprintf(stderr, "unexpected message: %s\n", dialogs.messages().join(" / ").toUtf8().constData());
    return 1;
  }
  return 0;
}
