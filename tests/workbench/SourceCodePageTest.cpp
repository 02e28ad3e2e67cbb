// The View menu's source code page changes what the string table shows of a
// Simplified Chinese form, and is kept per file; "簡轉繁" fills the rows with
// their s2twp conversion, and writing them back makes their font Big5 in
// one undo step.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "WorkbenchFixture.h"

namespace vc::test {

class SourceCodePageTest : public WorkbenchFixture {
  Q_OBJECT

  // 核销单号码查询, 业务员 and 宋体 in GBK.
  static std::string gbForm() {
    return "object Form1: TForm1\r\n"
           "  Caption = '\xBA\xCB\xCF\xFA\xB5\xA5\xBA\xC5\xC2\xEB\xB2\xE9\xD1\xAF'\r\n"
           "  Font.Charset = DEFAULT_CHARSET\r\n"
           "  object Label1: TLabel\r\n"
           "    Caption = '\xD2\xB5\xCE\xF1\xD4\xB1'\r\n"
           "    Font.Charset = GB2312_CHARSET\r\n"
           "    Font.Name = '\xCB\xCE\xCC\xE5'\r\n"
           "    ParentFont = False\r\n"
           "  end\r\n"
           "  object Label2: TLabel\r\n"
           "    Caption = 'OK'\r\n"
           "  end\r\n"
           "end\r\n";
  }

  QTreeWidgetItem* rowOfLine(int line) {
    for (int i = 0; i < w().stringRowCount(); ++i)
      if (w().stringlist->topLevelItem(i)->text(0).toInt() == line) return w().stringlist->topLevelItem(i);
    return nullptr;
  }
  QString source(int line) { return rowOfLine(line) ? rowOfLine(line)->text(2) : QString(); }
  QAction* codePageItem(const char* name) {
    return w().sourceCodePageMenu->findChild<QAction*>(QString::fromLatin1(name));
  }

 private slots:
  void init() {
    setUpFolder();
    writeBytes(path("gb.dfm"), toFormFile(gbForm()));
    openWindow();
    clickFile("gb.dfm");
  }
  void cleanup() { finishTest(); }

  void menuChangesTheSourceColumnAndIsKeptPerFile() {
    // Automatic: the form's DEFAULT_CHARSET is 950, the label's font GB2312.
    QVERIFY(codePageItem("sourceCodePageAuto")->isChecked());
    QVERIFY(source(2) != QString("核销单号码查询"));
    QCOMPARE(source(5), QString("业务员"));
    codePageItem("sourceCodePage936")->trigger();
    QCOMPARE(source(2), QString("核销单号码查询"));
    QCOMPARE(rowOfLine(2)->toolTip(2), QString("核销单号码查询"));
    // Another file has its own choice; this one keeps 936.
    clickFile("form1.dfm");
    QVERIFY(codePageItem("sourceCodePageAuto")->isChecked());
    clickFile("gb.dfm");
    QVERIFY(codePageItem("sourceCodePage936")->isChecked());
    QCOMPARE(source(2), QString("核销单号码查询"));
  }

  void toTraditionalFillsRowsAndWriteBackMakesTheFontBig5() {
    codePageItem("sourceCodePage936")->trigger();
    const std::string loaded = w().Editor->model().text();
    w().findChild<QPushButton*>("toTraditional")->click();
    QCOMPARE(rowOfLine(2)->text(3), QString("核銷單號碼查詢"));
    QCOMPARE(rowOfLine(5)->text(3), QString("業務員"));
    QCOMPARE(rowOfLine(5)->checkState(0), Qt::Checked);
    QVERIFY(rowOfLine(11)->text(3).isEmpty());  // no Han characters
    QVERIFY(rowOfLine(7)->text(3).isEmpty());   // a font name is no text to translate

    w().stringlist->setCurrentItem(rowOfLine(2));
    w().A5->trigger();
    const EditorModel& text = w().Editor->model();
    QCOMPARE(text.lineText(1), "  Caption = '" + big5("核銷單號碼查詢") + "'");
    QCOMPARE(text.lineText(4), "    Caption = '" + big5("業務員") + "'");
    QCOMPARE(text.lineText(5), std::string("    Font.Charset = CHINESEBIG5_CHARSET"));
    QCOMPARE(text.lineText(6), "    Font.Name = '" + big5("新細明體") + "'");
    QCOMPARE(source(5), QString("业务员"));  // the original stays as it was read
    w().Editor->undo();
    QCOMPARE(w().Editor->model().text(), loaded);
    dialogs().answers.clear();
  }
};

}  // namespace vc::test

QTEST_MAIN(vc::test::SourceCodePageTest)
#include "SourceCodePageTest.moc"
