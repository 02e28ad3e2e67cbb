// The string page driven as a translator drives it: rows pressed with the
// mouse open their value editors, values are stored and ticked, and written
// back into `Editor` one row or all ticked rows at a time.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "workbench/StringValueEditors.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

namespace {

// A form whose property lines reach every kind of editor; the filler makes
// the text longer than the editor's window so that scrolling shows.
std::string pageFormText() {
  std::string t =
      "object Form1: TForm1\r\n"                     // 1
      "  Left = -8\r\n"                              // 2
      "  Top = 100\r\n"                              // 3
      "  Caption = '" + big5("中文視窗") + "'\r\n"   // 4
      "  ClientHeight = 300\r\n"                     // 5
      "  Color = clBtnFace\r\n"                      // 6
      "  Font.Charset = CHINESEBIG5_CHARSET\r\n"     // 7
      "  Font.Height = -12\r\n"                      // 8
      "  Font.Name = 'MS Sans Serif'\r\n"            // 9
      "  Font.Style = [fsBold]\r\n"                  // 10
      "  OnCreate = FormCreate\r\n"                  // 11
      "  object Memo1: TMemo\r\n"                    // 12
      "    Align = alClient\r\n"                     // 13
      "    Lines.Strings = (\r\n"                    // 14
      "      'a=b')\r\n"                             // 15
      "    ShowHint = False\r\n"                     // 16
      "    TabOrder = 0\r\n"                         // 17
      "    Width = $10\r\n"                          // 18
      "    Hint = 'It''s'#13#10'ok'\r\n"             // 19
      "    Caption =\r\n"                            // 20
      "      'first = ' +\r\n"                       // 21
      "      'second'\r\n"                           // 22
      "    Height = 20\r\n"                          // 23
      "  end\r\n";                                   // 24
  for (int i = 0; i < 30; ++i)
    t += "  object L" + std::to_string(i) + ": TLabel\r\n    Tag = " + std::to_string(i) + "\r\n  end\r\n";
  return t + "end\r\n";
}

}  // namespace

class StringPageTest : public WorkbenchFixture {
  Q_OBJECT

  StringValueEditors& ed() { return *w().valueEditors; }

  // Loads the form text and shows the string page, as after loading a form.
  void loadPage(const std::string& text = pageFormText()) {
    w().Editor->model().setText(text);
    w().seditor->model().setText(text);
    w().getstringClick();
    w().page->setCurrentWidget(w().tab2);
    QCoreApplication::processEvents();
  }

  int rowOfLine(int line) {
    for (int i = 0; i < w().stringRowCount(); ++i)
      if (w().stringRow(i).lineNumber == line && !w().stringRow(i).lineRemoved) return i;
    return -1;
  }

  // Presses the row of a line with the mouse; returns the press position in
  // the view's coordinates.
  QPoint press(int line, Qt::MouseButton button = Qt::LeftButton, int column = 2) {
    QTreeWidgetItem* item = w().stringlist->topLevelItem(rowOfLine(line));
    w().stringlist->scrollToItem(item);
    const QPoint at = w().stringlist->visualRect(w().stringlist->indexFromItem(item, column)).center();
    QTest::mousePress(w().stringlist->viewport(), button, Qt::NoModifier, at);
    QTest::mouseRelease(w().stringlist->viewport(), button, Qt::NoModifier, at);
    QCoreApplication::processEvents();
    return w().stringlist->viewport()->mapTo(w().stringlist, at);
  }

  StringRow rowAt(int line) { return w().stringRow(rowOfLine(line)); }
  QFrame* shownPanel() {
    for (QFrame* p : {ed().CHInt, ed().CHPRO, ed().CHSTR})
      if (p->isVisible()) return p;
    return nullptr;
  }
  std::string line(int n) { return w().Editor->model().lineText(n - 1); }

 private slots:
  void init() {
    setUpFolder();
    openWindow();
    loadPage();
  }
  void cleanup() { finishTest(); }

  // Each press places its editor by the press, scrolls both editors to the
  // row's line and stores nothing by itself.
  void pressOpensTheEditorOfItsKind_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QPoint>("offset");  // from the click anchor
    QTest::newRow("Align: choice") << 13 << "CHPRO" << QPoint(0, 5);
    QTest::newRow("ShowHint: choice") << 16 << "CHPRO" << QPoint(0, 5);
    QTest::newRow("Top: number") << 3 << "CHInt" << QPoint(0, 5);
    QTest::newRow("Left: number further right") << 2 << "CHInt" << QPoint(10, 5);
    QTest::newRow("Hint: string, not kept inside") << 19 << "CHSTR" << QPoint(-50, 5);
    QTest::newRow("OnCreate: fixed") << 11 << "" << QPoint();
    QTest::newRow("list header: fixed") << 14 << "" << QPoint();
    QTest::newRow("ClientHeight: fixed") << 5 << "" << QPoint();
  }
  void pressOpensTheEditorOfItsKind() {
    QFETCH(int, line);
    QFETCH(QString, panel);
    QFETCH(QPoint, offset);
    const QPoint at = press(line);
    QCOMPARE(ed().anchor(), at + QPoint(-25, 20));
    QFrame* shown = shownPanel();
    QCOMPARE(shown ? shown->objectName() : QString(), panel);
    if (shown) {
      QCOMPARE(shown->pos(), ed().anchor() + offset);
      QVERIFY(!rowAt(line).hasModified && !rowAt(line).checked);
    } else {
      // A fixed row takes its extracted value, unticked.
      QVERIFY(rowAt(line).hasModified);
      QCOMPARE(rowAt(line).modified, rowAt(line).value);
      QVERIFY(!rowAt(line).checked);
    }
    QCOMPARE(w().Editor->topLine(), line);
    QCOMPARE(w().seditor->topLine(), line + 1);
  }

  void numberEditorShowsTheWholeRangeAndStoresOnlyTheUsersChange() {
    press(17);  // TabOrder = 0
    QCOMPARE(ed().intedit->value(), 0);
    press(2);  // Left = -8
    QCOMPARE(ed().intedit->value(), -8);
    QVERIFY(!rowAt(17).checked && !rowAt(2).checked && !rowAt(2).hasModified);
    ed().intedit->selectAll();
    QTest::keyClicks(ed().intedit, "-20");
    QCOMPARE(rowAt(2).modified, std::string("-20"));
    QVERIFY(rowAt(2).checked);
    // A value that is no whole number is reported; nothing scrolls or stores.
    w().Editor->setTopLine(1);
    press(18);  // Width = $10
    QCOMPARE(dialogs().errors, QStringList{"'$10' is not a valid integer value"});
    QCOMPARE(ed().intedit->value(), -20);
    QCOMPARE(w().Editor->topLine(), 1);
    QVERIFY(!rowAt(18).hasModified);
  }

  void choiceEditorListsTheFileAndStoresChoices() {
    press(13);  // Align = alClient
    QCOMPARE(ed().proper->count(), 7);
    QCOMPARE(ed().proper->itemText(6), QString("alCustom"));
    QCOMPARE(ed().proper->currentText(), QString("alClient"));
    ed().proper->setCurrentIndex(1);
    QCOMPARE(rowAt(13).modified, std::string("alTop"));
    QVERIFY(rowAt(13).checked);
    // A set's members are edited without brackets; the stored value has them.
    press(10);  // Font.Style = [fsBold]
    QCOMPARE(ed().proper->currentText(), QString("fsBold"));
    QVERIFY(!rowAt(10).hasModified);
    ed().proper->lineEdit()->end(false);
    QTest::keyClicks(ed().proper->lineEdit(), ", fsItalic");
    QCOMPARE(rowAt(10).modified, std::string("[fsBold, fsItalic]"));
    press(10);
    QCOMPARE(ed().proper->currentText(), QString("fsBold, fsItalic"));
    // Moving the selection with the keyboard opens nothing and closes the
    // editor: it never stores into the row now selected.
    QTest::keyClick(w().stringlist, Qt::Key_Down);
    QCOMPARE(shownPanel(), nullptr);
    ed().proper->setCurrentIndex(0);
    QVERIFY(!w().stringRow(w().selectedStringRow()).hasModified);
    QCOMPARE(rowAt(10).modified, std::string("[fsBold, fsItalic]"));
    // Escape takes back what the editor stored and leaves the row as it was.
    press(16);  // ShowHint = False
    ed().proper->setCurrentIndex(ed().proper->findText("True"));
    QVERIFY(rowAt(16).checked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(shownPanel(), nullptr);
    QVERIFY(!rowAt(16).checked && !rowAt(16).hasModified);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w().stringlist));
  }

  void missingValueListIsReportedAndKeepsTheList() {
    press(13);
    QVERIFY(QFile::rename(QCoreApplication::applicationDirPath() + "/res/TrueFalse.lst",
                          QCoreApplication::applicationDirPath() + "/res/TrueFalse.away"));
    press(16);  // ShowHint
    QVERIFY(QFile::rename(QCoreApplication::applicationDirPath() + "/res/TrueFalse.away",
                          QCoreApplication::applicationDirPath() + "/res/TrueFalse.lst"));
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY(dialogs().errors[0].contains("TrueFalse.lst"));
    QCOMPARE(ed().proper->count(), 7);
    QCOMPARE(w().Editor->topLine(), 13);
  }

  void captionEditorStaysInsideTheView() {
    w().resize(700, 330);
    QCoreApplication::processEvents();
    QTreeWidgetItem* item = w().stringlist->topLevelItem(rowOfLine(4));
    w().stringlist->scrollToItem(item);
    const QRect cell = w().stringlist->visualRect(w().stringlist->indexFromItem(item, 3));
    const QPoint at(cell.right() - 3, cell.center().y());
    QTest::mousePress(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    const QPoint view = w().stringlist->viewport()->mapTo(w().stringlist, at);
    const int width = w().stringlist->width(), height = w().stringlist->height();
    QVERIFY2(view.x() - 75 > width - 293 && height - (view.y() + 25) < 192,  // both corrections apply
             qPrintable(QString("%1,%2 in %3x%4").arg(view.x()).arg(view.y()).arg(width).arg(height)));
    QCOMPARE(shownPanel(), ed().CHSTR);
    QCOMPARE(ed().CHSTR->pos(), QPoint(width - 293, height - 192));
    QCOMPARE(ed().srcstr->text(), QString("中文視窗"));
    ed().rpmemo->setPlainText("譯名 'A'");
    QTest::mouseClick(ed().SpeedButton5, Qt::LeftButton);
    QVERIFY(!ed().CHSTR->isVisible());
    QCOMPARE(rowAt(4).modified, big5("譯名 'A'"));
    QVERIFY(rowAt(4).checked);
    // The ticked row shows its stored value next time; "否" stores nothing.
    press(4);
    QCOMPARE(ed().rpmemo->toPlainText(), QString("譯名 'A'"));
    ed().rpmemo->setPlainText("x");
    QTest::mouseClick(ed().SpeedButton4, Qt::LeftButton);
    QCOMPARE(rowAt(4).modified, big5("譯名 'A'"));
  }

  void dialogsStoreColoursAndFonts() {
    dialogs().colorAnswers = {QColor(0, 0, 255), std::nullopt};
    press(6);  // Color
    QCOMPARE(rowAt(6).modified, std::string("16711680"));
    w().setStringChecked(rowOfLine(6), false);
    press(6);  // cancelled: nothing stored, still scrolled
    QVERIFY(!rowAt(6).checked);
    QCOMPARE(w().Editor->topLine(), 6);
    QFont ming(QString("新細明體"));
    QFont sized(QString("Serif"));
    sized.setPointSize(9);
    dialogs().fontAnswers = {ming, sized};
    press(9);  // Font.Name
    QCOMPARE(rowAt(9).modified, big5("新細明體"));  // a string row: write-back quotes it
    press(8);  // Font.Height: the size in points plus 3
    QCOMPARE(rowAt(8).modified, std::string("12"));
    QVERIFY(shownPanel() == nullptr);
  }

  void panelsMoveWithTheMouse() {
    press(3);
    QFrame* panel = ed().CHInt;
    const QPoint before = panel->pos();
    QWidget* title = panel->findChild<QLabel*>();
    QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 45), title->mapToGlobal(QPointF(35, 45)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(title, &move);
    QTest::mouseRelease(title, Qt::LeftButton, Qt::NoModifier, QPoint(35, 45));
    QCOMPARE(panel->pos(), before + QPoint(30, 40));
  }

  void rightPressOpensTheEditorAndEmptyAreaNothing() {
    // Tall enough for an empty area below the last row.
    w().resize(1000, 1600);
    QCoreApplication::processEvents();
    press(13, Qt::RightButton);
    QCOMPARE(shownPanel(), ed().CHPRO);
    QTest::keyClick(w().PopupMenu1, Qt::Key_Escape);
    const int top = w().Editor->topLine();
    QTest::mousePress(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(5, w().stringlist->viewport()->height() - 2));
    QCOMPARE(w().selectedStringRow(), -1);
    QCOMPARE(shownPanel(), ed().CHPRO);
    QCOMPARE(w().Editor->topLine(), top);
  }

  void toolTipShowsTheWholeValue() {
    QCOMPARE(w().stringlist->topLevelItem(rowOfLine(19))->toolTip(2), QString("It's\r\nok"));
    QCOMPARE(w().stringlist->topLevelItem(rowOfLine(20))->toolTip(2), QString("first = second"));
  }

  void writeBackOneRowThenAllTickedAsOneUndoStepEach() {
    const std::string loaded = w().Editor->model().text();
    w().setStringModified(rowOfLine(4), big5("譯's"));
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(4)));
    w().B1->trigger();
    QCOMPARE(w().page->currentWidget(), w().tab2);  // the string page stays
    QCOMPARE(line(4), "  Caption = '" + big5("譯") + "''s'");
    QVERIFY(w().modified());
    const std::string afterOne = w().Editor->model().text();

    // Three ticked rows: a continued caption (its old value lines go, and the
    // rows below follow), a font size and a style; an unticked row stays.
    const struct {
      int line;
      std::string value;
    } rows[] = {{20, big5("新標題")}, {8, "12"}, {10, "[fsItalic]"}, {23, "40"}};
    for (const auto& r : rows) {
      w().setStringModified(rowOfLine(r.line), r.value);
      w().setStringChecked(rowOfLine(r.line), true);
    }
    w().setStringChecked(rowOfLine(4), false);
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(10)));
    w().A5->trigger();
    QCOMPARE(line(8), std::string("  Font.Height = 12"));
    QCOMPARE(line(10), std::string("  Font.Style = [fsItalic]"));
    QCOMPARE(line(20), "    Caption = '" + big5("新標題") + "'");
    QCOMPARE(line(21), std::string("    Height = 40"));
    QCOMPARE(rowOfLine(23), -1);  // the Height row now names line 21
    QCOMPARE(w().stringRow(rowOfLine(21)).name, std::string("Height"));
    QCOMPARE(w().panels[1]->text(), QString("全部回寫：寫入 4 列，略過 0 列"));
    QVERIFY(dialogs().messages().isEmpty());
    // The row of a removed continuation line is never written again.
    const auto gone = w().stringlist->findItems("'first", Qt::MatchExactly, 1);
    QCOMPARE(gone.size(), 1);
    QCOMPARE(gone[0]->text(0), QString());
    w().stringlist->setCurrentItem(gone[0]);
    w().setStringModified(w().selectedStringRow(), "x");
    const std::string written = w().Editor->model().text();
    w().B1->trigger();
    QCOMPARE(w().Editor->model().text(), written);
    QCOMPARE(dialogs().informations, QStringList{"第 21 行已因前面的回寫而移除，未回寫 'first。"});

    w().Editor->undo();
    QCOMPARE(w().Editor->model().text(), afterOne);
    w().Editor->undo();
    QCOMPARE(w().Editor->model().text(), loaded);
  }

  void rowsThatCannotBeWrittenAreSkippedAndNamed() {
    // The text moved under the table: line 3 now holds Left.
    w().Editor->model().replaceLine(2, "  Left = 5");
    w().setStringModified(rowOfLine(3), "7");       // Top
    w().setStringChecked(rowOfLine(3), true);
    w().setStringChecked(rowOfLine(16), true);      // ticked by hand, no value
    w().setStringModified(rowOfLine(14), "x");      // the list header
    w().setStringChecked(rowOfLine(14), true);
    w().setStringModified(rowOfLine(13), "alTop");
    w().setStringChecked(rowOfLine(13), true);
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(13)));
    w().A5->trigger();
    QCOMPARE(line(13), std::string("    Align = alTop"));
    QCOMPARE(w().panels[1]->text(), QString("全部回寫：寫入 1 列，略過 3 列"));
    QCOMPARE(dialogs().informations.size(), 1);
    const QString told = dialogs().informations[0];
    QVERIFY2(told.contains("第 3 行已不是 Top 屬性") && told.contains("第 16 行的 ShowHint 沒有修改後的值") &&
                 told.contains("第 14 行的 Lines.Strings 是清單"),
             qPrintable(told));
  }

  void contextMenuWithoutSelection() {
    w().stringlist->clearSelection();
    w().D3->trigger();
    w().B1->trigger();
    w().A5->trigger();
    QCOMPARE(dialogs().informations, (QStringList{"尚未選擇，請選擇一個您要刪除的標題！",
                                                  "尚未選擇，請選擇一個您要回寫的標題！"}));
    QCOMPARE(w().PopupMenu1->actions().size(), 3);
    // Nothing ticked: write back all writes nothing and stays on the page.
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(0));
    const std::string text = w().Editor->model().text();
    w().A5->trigger();
    QCOMPARE(w().page->currentWidget(), w().tab2);
    QCOMPARE(w().Editor->model().text(), text);
    const int rows = w().stringRowCount();
    w().D3->trigger();
    QCOMPARE(w().stringRowCount(), rows - 1);
    QCOMPARE(w().selectedStringRow(), -1);
  }
};

QTEST_MAIN(StringPageTest)
#include "StringPageTest.moc"
