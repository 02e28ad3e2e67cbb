// Search, replace, go to line and bookmarks, driven through the real fields,
// buttons, menus and keys of the main window.
#include <QAction>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "WorkbenchFixture.h"
#include "workbench/SearchOptionsPanel.h"

using namespace vc;
using namespace vc::test;

namespace {

// Text given in UTF-8 rows, held by the editor as Big5 bytes.
std::string bytes(const QString& utf8) { return big5(utf8.toUtf8().constData()); }

}  // namespace

class SearchTest : public WorkbenchFixture {
  Q_OBJECT

  // The user types into a field: ASCII as keys, other text as an input method commits it.
  void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    // Runs of other characters come whole, so that surrogate pairs stay paired.
    for (qsizetype i = 0; i < text.size();) {
      qsizetype j = i;
      const bool ascii = text[i].unicode() < 0x80;
      while (j < text.size() && (text[j].unicode() < 0x80) == ascii) ++j;
      if (ascii) {
        QTest::keyClicks(field, text.mid(i, j - i));
      } else {
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, j - i));
        QApplication::sendEvent(field, &commit);
      }
      i = j;
    }
    QCOMPARE(field->text(), text);
  }

  // Clicks the panel's check boxes and radio buttons named in `clicks`.
  void setPanel(const QStringList& clicks) {
    QTest::mouseClick(w().searchbtn, Qt::LeftButton);
    for (const QString& name : clicks) {
      auto* b = w().selpan->findChild<QAbstractButton*>(name);
      QVERIFY2(b, qPrintable(name));
      QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(8, b->height() / 2));
    }
    QTest::mouseClick(w().selpan->SpeedButton2, Qt::LeftButton);
  }

  void loadText(const QString& utf8) {
    w().Editor->model().setText(bytes(utf8));
    w().seditor->model().setText(bytes(utf8));
  }

  // "column,line" of the selection's begin, or "" without a selection.
  QString selection() const {
    const EditorModel& m = m_window->Editor->model();
    if (!m.selAvail()) return QString();
    return QStringLiteral("%1,%2").arg(m.blockBegin().column).arg(m.blockBegin().line);
  }

  QAction* menuItem(QMenu* menu, const QString& path) {
    QStringList parts = path.split(QLatin1Char('/'));
    for (QAction* a : menu->actions())
      if (a->text() == parts.first())
        return parts.size() == 1 ? a : menuItem(a->menu(), parts.mid(1).join(QLatin1Char('/')));
    return nullptr;
  }
  QAction* mainMenuItem(const QString& path) {
    for (QAction* top : w().menuBar()->actions())
      if (QAction* a = menuItem(top->menu(), path)) return a;
    return nullptr;
  }

  void setCaret(const QPoint& caret) { w().Editor->model().setCaret(caret.x(), caret.y()); }

 private slots:
  void init() {
    setUpFolder();
    openWindow();
  }
  void cleanup() { finishTest(); }

  // Each press of the trigger: the selection it leaves ("column,line"), with
  // "!" when the not-found message was shown (the selection then stays).
  void searchNext_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("panel");
    QTest::addColumn<QPoint>("caret");
    QTest::addColumn<QPoint>("selectTo");  // (0,0): no selection
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QStringList>("presses");
    const QPoint none;
    QTest::newRow("F3 walks down, the last match stays") << "ab ab\nab" << QStringList() << QPoint(1, 1) << none
        << "ab" << "F3" << QStringList{"1,1", "4,1", "1,2", "!1,2"};
    QTest::newRow("button and menu item from the caret") << "ab ab\nab" << QStringList() << QPoint(2, 1) << none
        << "ab" << "button" << QStringList{"4,1", "1,2", "!1,2"};
    QTest::newRow("Enter in the search field") << "ab ab\nab" << QStringList() << QPoint(2, 1) << none << "ab"
        << "enter" << QStringList{"4,1", "1,2"};
    QTest::newRow("游標處: always the first") << "ab ab\nab" << QStringList{"caretstart"} << QPoint(1, 2) << none
        << "ab" << "F3" << QStringList{"1,1", "1,1"};
    QTest::newRow("游標處 and 向上: always the last") << "ab ab\nab" << QStringList{"caretstart", "up"} << QPoint(1, 1)
        << none << "ab" << "F3" << QStringList{"1,2", "1,2"};
    QTest::newRow("向上 walks up") << "ab ab\nab" << QStringList{"up"} << QPoint(3, 2) << none << "ab" << "F3"
        << QStringList{"1,2", "4,1", "1,1", "!1,1"};
    QTest::newRow("選定文字 without a selection searches all") << "ab ab ab" << QStringList{"sel"} << QPoint(2, 1)
        << none << "ab" << "F3" << QStringList{"4,1"};
    QTest::newRow("選定文字 finds the same match again") << "ab ab ab" << QStringList{"sel"} << QPoint(3, 1)
        << QPoint(9, 1) << "ab" << "F3" << QStringList{"4,1", "4,1"};
    QTest::newRow("whole word") << "NameX Font_Name Name=" << QStringList{"wordcheck"} << QPoint(1, 1) << none
        << "Name" << "F3" << QStringList{"12,1", "17,1", "!17,1"};
    QTest::newRow("case folded") << "ABC aBc abc" << QStringList() << QPoint(1, 1) << none << "abc" << "F3"
        << QStringList{"1,1", "5,1", "9,1"};
    QTest::newRow("case matched") << "ABC aBc abc" << QStringList{"casecheck"} << QPoint(1, 1) << none << "abc"
        << "F3" << QStringList{"9,1", "!9,1"};
    QTest::newRow("aa in aaaa") << "aaaa" << QStringList() << QPoint(1, 1) << none << "aa" << "F3"
        << QStringList{"1,1", "3,1", "!3,1"};
    QTest::newRow("Big5 typed as Unicode") << "人H中文 中文" << QStringList() << QPoint(1, 1) << none << "中文"
        << "F3" << QStringList{"4,1", "9,1"};
    QTest::newRow("never inside a Big5 character") << "人H許\\" << QStringList() << QPoint(1, 1) << none << "H"
        << "F3" << QStringList{"3,1", "!3,1"};
    QTest::newRow("empty search text") << "ab" << QStringList() << QPoint(1, 1) << none << "" << "F3"
        << QStringList{"!"};
  }
  void searchNext() {
    QFETCH(QString, text);
    QFETCH(QStringList, panel);
    QFETCH(QPoint, caret);
    QFETCH(QPoint, selectTo);
    QFETCH(QString, key);
    QFETCH(QString, trigger);
    QFETCH(QStringList, presses);
    loadText(text);
    setPanel(panel);
    typeInto(w().searchkey, key);
    if (selectTo.isNull())
      setCaret(caret);
    else
      w().Editor->model().setSelection({caret.x(), caret.y()}, {selectTo.x(), selectTo.y()});
    w().Editor->setFocus();
    for (int i = 0; i < presses.size(); ++i) {
      if (trigger == "F3")
        QTest::keyClick(w().Editor, Qt::Key_F3);
      else if (trigger == "enter")
        QTest::keyClick(w().searchkey, Qt::Key_Return);
      else if (i % 2)
        w().searchNextItem->trigger();
      else
        QTest::mouseClick(w().searchnext, Qt::LeftButton);
      QString want = presses[i];
      const bool message = want.startsWith('!');
      QCOMPARE(dialogs().informations.size(), message ? 1 : 0);
      if (message) {
        QCOMPARE(dialogs().informations.takeFirst(), QString("對不起，沒有找到所搜尋的內容!"));
        want.remove(0, 1);
      }
      if (!want.isEmpty()) QCOMPARE(selection(), want);
      QCOMPARE(w().searchkey->selectedText(), key);
    }
    QCOMPARE(w().Editor->model().text(), bytes(QString(text).replace("\n", "\r\n") + "\r\n"));
  }

  // Replacing: the buttons pressed in turn ("one", "enter", "all"), the text
  // after them and the messages shown.
  void replace_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("panel");
    QTest::addColumn<QPoint>("caret");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    QTest::newRow("one, then the next") << "a a a" << QStringList() << QPoint(1, 1) << "a" << "bb"
        << QStringList{"one", "one"} << "bb bb a" << "";
    QTest::newRow("Enter in the replacement field") << "a a a" << QStringList() << QPoint(2, 1) << "a" << "b"
        << QStringList{"enter"} << "a b a" << "";
    QTest::newRow("one, nothing left") << "a a" << QStringList() << QPoint(3, 1) << "a" << "b"
        << QStringList{"one", "one"} << "a b" << "對不起，沒有找到所要置換的內容！";
    QTest::newRow("all from the caret") << "ab ab\nab ab" << QStringList() << QPoint(3, 1) << "ab" << "xyz"
        << QStringList{"all"} << "ab xyz\nxyz xyz" << "";
    QTest::newRow("all over the whole text") << "ab ab\nab ab" << QStringList{"caretstart"} << QPoint(3, 1) << "ab"
        << "xyz" << QStringList{"all"} << "xyz xyz\nxyz xyz" << "";
    QTest::newRow("all, the replacement holds the key") << "a a" << QStringList{"caretstart"} << QPoint(1, 1) << "a"
        << "aa" << QStringList{"all"} << "aa aa" << "";
    QTest::newRow("empty replacement deletes") << "a,b,a" << QStringList{"caretstart"} << QPoint(1, 1) << "a" << ""
        << QStringList{"all"} << ",b," << "";
    QTest::newRow("all, nothing found") << "abc" << QStringList() << QPoint(1, 1) << "x" << "y"
        << QStringList{"all"} << "abc" << "對不起，沒有找到所搜尋的內容!";
    QTest::newRow("Big5 kept whole") << "人H許\\中" << QStringList() << QPoint(1, 1) << "H" << "文"
        << QStringList{"all"} << "人文許\\中" << "";
    QTest::newRow("Big5 into Big5, upward") << "中文中" << QStringList{"up"} << QPoint(7, 1) << "中" << "字"
        << QStringList{"one", "one"} << "字文字" << "";
  }
  void replace() {
    QFETCH(QString, text);
    QFETCH(QStringList, panel);
    QFETCH(QPoint, caret);
    QFETCH(QString, key);
    QFETCH(QString, replacement);
    QFETCH(QStringList, buttons);
    QFETCH(QString, after);
    QFETCH(QString, message);
    loadText(text);
    setPanel(panel);
    QTest::keyClick(&w(), Qt::Key_F4);
    QVERIFY(w().rptoolbar->isVisible());
    typeInto(w().searchkey, key);
    typeInto(w().rpkey, replacement);
    setCaret(caret);
    for (const QString& b : buttons) {
      if (b == "one")
        QTest::mouseClick(w().rpnext, Qt::LeftButton);
      else if (b == "all")
        QTest::mouseClick(w().ToolbarButton975, Qt::LeftButton);
      else
        QTest::keyClick(w().rpkey, Qt::Key_Return);
    }
    QCOMPARE(w().Editor->model().text(), bytes(QString(after).replace("\n", "\r\n") + "\r\n"));
    QCOMPARE(dialogs().informations, message.isEmpty() ? QStringList() : QStringList{message});
  }

  // However many matches it replaced, one undo takes a replace-all back; a
  // single replacement is one undo too.
  void undoOfReplaceAllIsOneStep() {
    QString text;
    for (int i = 0; i < 100; ++i) text += "Caption = 'ab ab ab ab ab ab ab ab ab ab'\n";
    loadText(text);
    setPanel({"caretstart"});
    QTest::keyClick(&w(), Qt::Key_F4);
    typeInto(w().searchkey, "ab");
    typeInto(w().rpkey, "中");
    QTest::mouseClick(w().ToolbarButton975, Qt::LeftButton);
    QVERIFY(w().Editor->model().lineText(99).find("ab") == std::string::npos);
    QVERIFY(w().Tundobtn->isEnabled());
    const std::string original = bytes(QString(text).replace("\n", "\r\n"));
    w().Editor->setFocus();
    QTest::keyClick(w().Editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w().Editor->model().text(), original);
    QVERIFY(!w().Editor->model().canUndo());
    QTest::mouseClick(w().rpnext, Qt::LeftButton);
    QTest::mouseClick(w().Tundobtn, Qt::LeftButton);
    QCOMPARE(w().Editor->model().text(), original);
    QVERIFY(!w().Tundobtn->isEnabled());
  }

  void unrepresentableTextSearchesNothing() {
    loadText("ab ab");
    setCaret({1, 1});
    typeInto(w().searchkey, QString::fromUtf8("a\xF0\x9F\x98\x80"));
    QTest::keyClick(w().searchkey, Qt::Key_Return);
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY(dialogs().errors.first().contains("U+1F600"));
    QVERIFY(dialogs().informations.isEmpty());
    QCOMPARE(selection(), QString());
    typeInto(w().searchkey, "ab");
    typeInto(w().rpkey, QString::fromUtf8("\xED\x95\x9C"));  // Hangul has no Big5 code
    QTest::mouseClick(w().ToolbarButton975, Qt::LeftButton);
    QCOMPARE(dialogs().errors.size(), 2);
    QCOMPARE(w().Editor->model().text(), std::string("ab ab\r\n"));
  }

  void goToLine_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("top");         // of `Editor`; 0: the error message, nothing scrolls
    QTest::addColumn<int>("sourceTop");  // of `seditor`, which numbers its lines from 0
    QTest::newRow("0") << "0" << 1 << 1;
    QTest::newRow("-5") << "-5" << 1 << 1;
    QTest::newRow("a line") << "40" << 40 << 41;
    QTest::newRow("past the end") << "5000" << 100 << 100;
    QTest::newRow("abc") << "abc" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
    QTest::newRow("too large for an integer") << "99999999999" << 0 << 0;
  }
  void goToLine() {
    QFETCH(QString, typed);
    QFETCH(int, top);
    QFETCH(int, sourceTop);
    QString text;
    for (int i = 0; i < 100; ++i) text += QStringLiteral("line %1\n").arg(i + 1);
    loadText(text);
    setCaret({3, 30});
    w().Editor->setTopLine(20);
    w().seditor->setTopLine(20);
    typeInto(w().no, typed);
    QTest::keyClick(w().no, Qt::Key_Return);
    if (top == 0) {
      QCOMPARE(dialogs().errors, QStringList{QStringLiteral("'%1' is not a valid integer value").arg(typed)});
      dialogs().errors.clear();
      top = sourceTop = 20;
    }
    QCOMPARE(w().Editor->topLine(), top);
    QCOMPARE(w().seditor->topLine(), sourceTop);
    QCOMPARE(w().Editor->model().caretLine(), 30);
  }

  // Set from one place, recalled from another: Edit menu, popup menu, keys.
  void bookmarks_data() {
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("recall");
    QTest::newRow("Edit menu") << "menu" << "menu";
    QTest::newRow("popup menu") << "popup" << "popup";
    QTest::newRow("keys") << "keys" << "keys";
    QTest::newRow("keys, then the menu") << "keys" << "menu";
  }
  void bookmarks() {
    QFETCH(QString, set);
    QFETCH(QString, recall);
    loadText("one\ntwo\nthree\nfour");
    w().Editor->setFocus();
    auto press = [&](const QString& how, bool setting) {
      if (how == "keys") {
        QTest::keyClick(w().Editor, Qt::Key_7, setting ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
      } else if (how == "menu") {
        mainMenuItem(setting ? "設為書簽/7" : "前往書籤/7")->trigger();
      } else {
        menuItem(w().editpop, setting ? "書籤(&M).../&7" : "前往(&G).../&7")->trigger();
      }
    };
    setCaret({3, 2});
    press(set, true);
    QCOMPARE(w().Editor->model().bookmarkOnLine(2), 7);
    setCaret({1, 4});
    press(recall, false);
    QCOMPARE(w().Editor->model().caretLine(), 2);
    QCOMPARE(w().Editor->model().caretColumn(), 3);
    // Setting again on the same line: the key takes the bookmark away, the menus keep it.
    press(set, true);
    QCOMPARE(w().Editor->model().bookmarkOnLine(2), set == "keys" ? -1 : 7);
  }

  void optionsPanel_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("options");
    QTest::newRow("initial") << QStringList() << 0;
    QTest::newRow("游標處 asks for the whole scope") << QStringList{"caretstart"} << int(WholeScope);
    QTest::newRow("and back") << QStringList{"caretstart", "topstart"} << 0;
    QTest::newRow("all options") << QStringList{"casecheck", "wordcheck", "up", "sel"}
                                 << int(MatchCase | WholeWord | Backward | SelectionOnly);
    QTest::newRow("向下 and 搜尋全部 again") << QStringList{"up", "sel", "down", "all"} << 0;
  }
  void optionsPanel() {
    QFETCH(QStringList, clicks);
    QFETCH(int, options);
    QVERIFY(w().selpan->isHidden());
    setPanel(clicks);
    QVERIFY(w().selpan->isHidden());
    QCOMPARE(int(w().searchOptions()), options);
  }

  void optionsPanelOpensClosesAndMoves() {
    SearchOptionsPanel* p = w().selpan;
    QCOMPARE(p->geometry(), QRect(288, 72, 253, 153));
    QTest::mouseClick(w().searchbtn, Qt::LeftButton);
    QVERIFY(p->isVisible());
    QVERIFY(p->Timer1->isActive());
    QCOMPARE(p->Timer1->interval(), 100000);
    // Opening it again does not restart the 100 seconds.
    QTest::qWait(30);
    const int left = p->Timer1->remainingTime();
    QTest::mouseClick(w().searchbtn, Qt::LeftButton);
    QVERIFY(p->Timer1->remainingTime() <= left);
    QTest::mouseClick(p->SpeedButton2, Qt::LeftButton);
    QVERIFY(p->isHidden());
    QVERIFY(!p->Timer1->isActive());
    // The timer closes it.
    p->Timer1->setInterval(10);
    QTest::mouseClick(w().searchbtn, Qt::LeftButton);
    QTRY_VERIFY(p->isHidden());
    QVERIFY(!p->Timer1->isActive());
    // Dragged by its title.
    QTest::mouseClick(w().searchbtn, Qt::LeftButton);
    const QPoint grab = p->title->geometry().center();
    QTest::mousePress(p, Qt::LeftButton, Qt::NoModifier, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(-40, 25)), p->mapToGlobal(QPointF(grab + QPoint(-40, 25))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p, &move);
    QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, grab + QPoint(-40, 25));
    QCOMPARE(p->pos(), QPoint(248, 97));
  }

  void replaceToolbar() {
    QVERIFY(w().rptoolbar->isHidden());
    QTest::keyClick(&w(), Qt::Key_F4);
    QVERIFY(w().rptoolbar->isVisible() && w().R2->isChecked());
    // A row of its own below the main toolbar.
    QVERIFY(w().rptoolbar->y() >= w().TT1->geometry().bottom());
    w().rpkey->setText("kept");
    w().R2->trigger();
    QVERIFY(w().rptoolbar->isHidden() && !w().R2->isChecked());
    QTest::keyClick(&w(), Qt::Key_F4);
    QCOMPARE(w().rpkey->text(), QString("kept"));
    // Hints: the short part at the control, the long part in the status bar.
    QCOMPARE(w().rpkey->toolTip(), QString("置換"));
    QStatusTipEvent tip(w().rpkey->statusTip());
    QApplication::sendEvent(w().rpkey, &tip);
    QCOMPARE(w().panels[1]->text(), QString("輸入置換後的內容"));
    QCOMPARE(w().searchkey->palette().color(QPalette::Text), QColor(0x00, 0x80, 0xFF));
  }
};

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
