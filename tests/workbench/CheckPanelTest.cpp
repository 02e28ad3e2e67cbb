// The translation check in the window: "檢查翻譯(&K)" lists the problems of
// the form files saved for the open module and of its resource strings in
// the dockable panel, a double click goes to the problem's row, and the
// string table marks a stored value with a problem at once.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>

#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class CheckPanelTest : public WorkbenchFixture {
  Q_OBJECT

  // TFORM1 of forms32.exe as a translator saved it: a colon dropped, a text
  // far too long for its 75-pixel button, a hotkey that the source has not.
  static std::string translatedForm() {
    return big5(
        "object Form1: TForm1\r\n"
        "  Left = 192\r\n  Top = 107\r\n  Width = 400\r\n  Height = 300\r\n"
        "  Caption = '主視窗'\r\n"
        "  Font.Charset = CHINESEBIG5_CHARSET\r\n  Font.Height = -12\r\n  Font.Name = '新細明體'\r\n"
        "  PixelsPerInch = 96\r\n  TextHeight = 12\r\n"
        "  object Label1: TLabel\r\n    Left = 8\r\n    Top = 12\r\n    Caption = '名稱'\r\n  end\r\n"
        "  object Button1: TButton\r\n    Left = 8\r\n    Top = 40\r\n    Width = 75\r\n    Height = 25\r\n"
        "    Caption = '確定這個選擇並且關閉這個視窗'\r\n  end\r\n"
        "  object Button2: TButton\r\n    Left = 96\r\n    Top = 40\r\n    Width = 75\r\n    Height = 25\r\n"
        "    Caption = '功能(&F)'\r\n  end\r\n"
        "end\r\n");
  }

  static constexpr const char* kStringTablePo =
      "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
      "msgctxt \"STRINGTABLE.17\"\nmsgid \"'%s' 不是有效的日期\"\nmsgstr \"「%d」不是有效的日期\"\n\n"
      "msgctxt \"STRINGTABLE.1\"\nmsgid \"字串一\"\nmsgstr \"第一個字串\"\n";

  QStringList problemRows() const {
    QStringList rows;
    for (int i = 0; i < m_window->checkList->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = m_window->checkList->topLevelItem(i);
      const QString check = item->text(2).section(QLatin1Char('('), 1).chopped(1);
      rows << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + check;
    }
    return rows;
  }

  void doubleClickProblem(int index) {
    QTreeWidgetItem* item = w().checkList->topLevelItem(index);
    const QPoint at = w().checkList->visualItemRect(item).center();
    QTest::mouseClick(w().checkList->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(w().checkList->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
  }

  int rowWithText(int column, const QString& text) const {
    for (int i = 0; i < m_window->stringlist->topLevelItemCount(); ++i)
      if (m_window->stringlist->topLevelItem(i)->text(column) == text) return i;
    return -1;
  }

  bool marked(int row) const { return m_window->stringlist->topLevelItem(row)->icon(0).cacheKey() == problemIcon().cacheKey(); }

 private slots:
  void init() {
    setUpFolder();
    openWindow();
    QDir().mkpath(path("forms"));
  }
  void cleanup() { finishTest(); }

  void listsTheProblemsAndGoesToTheirRows() {
    writeBytes(path("forms/TFORM1.dfm"), toFormFile(translatedForm()));
    writeBytes(path("forms/STRINGTABLE.po"), kStringTablePo);
    clickFile("forms32.exe");
    dialogs().folderAnswers.push_back(path("forms"));
    w().formFolderItem->trigger();
    QCOMPARE(w().checkItem->text(), QStringLiteral("檢查翻譯(&K)"));
    w().checkItem->trigger();
    QVERIFY(w().checkDock->isVisible());
    QCOMPARE(problemRows(), (QStringList{"TFORM1|Label1.Caption|punctuation", "TFORM1|Button1.Caption|overflow",
                                         "TFORM1|Button2.Caption|hotkey-added", "字串資源|17|placeholder"}));
    QCOMPARE(w().checkList->topLevelItem(1)->text(3),
             QStringLiteral("the text does not fit its control (TButton, 75 px wide)"));

    // The overflowing button: its form opens (the saved translation), the
    // string page shows the row of its caption.
    doubleClickProblem(1);
    QCOMPARE(w().page->currentWidget(), w().tab2);
    QTreeWidgetItem* row = w().stringlist->currentItem();
    QVERIFY(row);
    QCOMPARE(w().Editor->model().lineText(row->text(0).toInt() - 1),
             "    Caption = '" + big5("確定這個選擇並且關閉這個視窗") + "'");
    // The resource string: the resource strings open at its row.
    doubleClickProblem(3);
    QVERIFY(w().resourceStringsShown());
    QVERIFY(w().stringlist->currentItem());
    QCOMPARE(w().stringlist->currentItem()->text(0), QStringLiteral("17"));
    QCOMPARE(w().stringlist->currentItem()->text(1), QStringLiteral("1028"));
  }

  void cleanTranslationHasNoProblems() {
    // Nothing translated, and a saved form file that is no form: named, not checked.
    writeBytes(path("forms/TABOUTBOX.dfm"), "TPF0\x05");
    clickFile("forms32.exe");
    dialogs().folderAnswers.push_back(path("forms"));
    w().formFolderItem->trigger();
    w().checkItem->trigger();
    QCOMPARE(w().checkList->topLevelItemCount(), 0);
    QCOMPARE(w().panels[1]->text(), QString::fromUtf8(Tnewdfm::kNoProblems) + QStringLiteral("（無法讀取、未檢查：TABOUTBOX.dfm）"));
  }

  void rowsAreMarkedAsSoonAsAValueIsStored() {
    clickFile("forms32.exe");
    clickForm("TFORM1");
    const int button2 = rowWithText(2, QStringLiteral("功能"));
    QVERIFY(button2 >= 0);
    w().setStringModified(button2, big5("功能(&F)"), true);
    QVERIFY(marked(button2));
    QVERIFY(w().stringlist->topLevelItem(button2)->toolTip(0).contains(QStringLiteral("hotkey-added")));
    // A sibling with the same hotkey: the clash is named.
    const int button1 = rowWithText(2, QStringLiteral("確定"));
    w().setStringModified(button1, big5("確定(&F)"), true);
    w().setStringModified(button2, big5("功能(&F)"), true);
    QVERIFY(w().stringlist->topLevelItem(button2)->toolTip(0).contains(
        QStringLiteral("hotkey-duplicate: \"&F\" is also the hotkey of Button1.Caption (\"確定(&F)\")")));
    w().setStringModified(button2, big5("功能表"), true);
    QVERIFY(!marked(button2));
    QVERIFY(!w().stringlist->topLevelItem(button2)->toolTip(0).contains(QStringLiteral("hotkey")));

    clickForm("字串資源");
    const int date = rowWithText(0, QStringLiteral("17"));
    w().setResourceStringTranslation(date, QStringLiteral("「%d」不是日期"));
    QVERIFY(marked(date));
    QVERIFY(w().stringlist->topLevelItem(date)->toolTip(0).startsWith(QStringLiteral("placeholder: ")));
    w().setResourceStringTranslation(date, QStringLiteral("「%s」不是日期"));
    QVERIFY(!marked(date));
  }
};

QTEST_MAIN(CheckPanelTest)
#include "CheckPanelTest.moc"
