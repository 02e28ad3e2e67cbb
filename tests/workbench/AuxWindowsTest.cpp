// The tip of the day, the about window and the manual as the main window
// opens them.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

#include "auxwindows/HelpWindow.h"
#include "auxwindows/TipStrings.h"
#include "auxwindows/aboutfrm.h"
#include "auxwindows/totay.h"
#include "workbench/Startup.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class AuxWindowsTest : public WorkbenchFixture {
  Q_OBJECT

  // Runs action while the modal dialog opened by open() is up; a dialog
  // still open afterwards (a failed check) is closed.
  template <typename F>
  void whileModal(QAction* open, F action) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
      struct Closer {
        ~Closer() {
          if (QWidget* m = QApplication::activeModalWidget()) m->close();
        }
      } closer;
      ran = true;
      action();
    });
    open->trigger();
    QVERIFY(ran);
  }

 private slots:
  void init() { setUpFolder(); }
  void cleanup() { finishTest(); }

  void tipAtStartupFollowsShow_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("shown");
    QTest::newRow("first run") << QString() << true;
    QTest::newRow("False") << "False" << false;
    QTest::newRow("lower-case true") << "true" << false;
  }
  void tipAtStartupFollowsShow() {
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    if (!stored.isEmpty()) QVERIFY(Settings().setValue("show", stored));
    openWindow();
    showTipAtStartup(w());
    QCOMPARE(w().tadayform->isVisible(), shown);
    QVERIFY(!w().tadayform->isModal());
    QCOMPARE(w().tadayform->showtd->isChecked(), shown);
    QCOMPARE(Settings().value("show"), stored.isEmpty() ? QString("True") : stored);
    // The Help menu opens it modally whatever the setting; closing with the
    // box ticked stores "True".
    w().tadayform->close();
    whileModal(w().D2, [&] {
      QVERIFY(w().tadayform->isModal() && w().tadayform->isVisible());
      QCOMPARE(w().tadayform->showtd->isChecked(), shown);
      w().tadayform->showtd->setChecked(true);
      QTest::mouseClick(w().tadayform->closebtn, Qt::LeftButton);
    });
    QCOMPARE(Settings().value("show"), QString("True"));
  }

  // Each step moves by one, both ways, and every tip is a Big5 paragraph of
  // its own that fits the label.
  void pagingReachesEveryTip() {
    openWindow();
    Ttadayform& t = *w().tadayform;
    QCOMPARE(t.Label1->text(), QString("總共提供 26 項不同的使用技巧。"));
    QStringList seen;
    auto check = [&](int k) {
      QCOMPARE(t.currentTip(), k);
      QCOMPARE(t.showlabel->text(), QString("\u3000\u3000") + tipString(k));
      QCOMPARE(t.ubtn->isEnabled(), k > 0);
      QCOMPARE(t.nbtn->isEnabled(), k < kLastTip);
      QVERIFY2(t.showlabel->heightForWidth(t.showlabel->width()) <= t.showlabel->height(),
               qPrintable(QString("tip %1 does not fit").arg(k)));
    };
    check(0);
    for (int k = 1; k <= kLastTip; ++k) {
      QTest::mouseClick(t.nbtn, Qt::LeftButton);
      check(k);
      QCOMPARE(t.Label1->text(), QString("第%1項技巧/共26項").arg(k));
    }
    for (int k = kLastTip - 1; k >= 0; --k) {
      t.ubtnClick();
      check(k);
    }
    for (int k = 0; k <= kLastTip; ++k) {
      QVERIFY(!tipString(k).isEmpty() && !seen.contains(tipString(k)));
      QVERIFY2(cp950::fromUtf8(tipString(k).toStdString()), qPrintable(tipString(k)));
      seen << tipString(k);
    }
    QVERIFY(tipString(kLastTip + 1).isEmpty());
  }

  void everyCloseStoresTheBox_data() {
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("close button, ticked") << true << true;
    QTest::newRow("close box, cleared") << false << false;
  }
  void everyCloseStoresTheBox() {
    QFETCH(bool, byButton);
    QFETCH(bool, ticked);
    openWindow();
    Ttadayform& t = *w().tadayform;
    t.show();
    QTest::mouseClick(t.nbtn, Qt::LeftButton);
    t.showtd->setChecked(ticked);
    if (byButton)
      QTest::mouseClick(t.closebtn, Qt::LeftButton);
    else
      t.close();
    QVERIFY(!t.isVisible());
    QCOMPARE(Settings().value("show"), ticked ? QString("True") : QString("False"));
    // Reopened, it shows the tip last viewed.
    t.show();
    QCOMPARE(t.currentTip(), 1);
  }

  void titleClickWantsTheNameSelected_data() {
    QTest::addColumn<int>("extra");  // characters selected after the name; -1: nothing selected
    QTest::addColumn<bool>("prize");
    QTest::newRow("nothing selected") << -1 << false;
    QTest::newRow("the name") << 0 << true;
    QTest::newRow("the name and one more") << 1 << false;
  }
  void titleClickWantsTheNameSelected() {
    QFETCH(int, extra);
    QFETCH(bool, prize);
    openWindow();
    TAboutForm& a = *w().AboutForm;
    const QString name = QString::fromUtf8(TAboutForm::kPrizeName);
    QCOMPARE(name.size(), 2);
    QVERIFY(a.Memo1->toPlainText().contains(name));
    whileModal(w().A1, [&] {
      if (extra >= 0) {
        QTextCursor c = a.Memo1->document()->find(name);
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, extra);
        a.Memo1->setTextCursor(c);
      }
      QTest::mouseClick(a.title, Qt::LeftButton);
      a.accept();
    });
    QCOMPARE(dialogs().informations,
             prize ? QStringList{QString::fromUtf8(TAboutForm::kPrizeMessage)} : QStringList{});
  }

  void aboutOpensFromButtonAndMenuAndEnterCloses() {
    openWindow();
    QAction button;
    connect(&button, &QAction::triggered, w().aboutbtn, &QToolButton::click);
    for (QAction* open : {w().A1, &button}) {
      whileModal(open, [&] {
        QVERIFY(w().AboutForm->isVisible());
        QCOMPARE(w().AboutForm->focusWidget(), w().AboutForm->BitBtn1);
        QTest::keyClick(w().AboutForm->BitBtn1, Qt::Key_Return);
      });
      QVERIFY(!w().AboutForm->isVisible());
      QCOMPARE(w().AboutForm->result(), int(QDialog::Accepted));
    }
    QVERIFY(w().AboutForm->Memo1->toPlainText().contains(QString("Vellumcraft " VC_VERSION)));
  }

  void manualOpensFromButtonMenuAndF1_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("button") << 0;
    QTest::newRow("menu") << 1;
    QTest::newRow("F1") << 2;
  }
  void manualOpensFromButtonMenuAndF1() {
    QFETCH(int, way);
    openWindow();
    if (way == 0) QTest::mouseClick(w().helpbtn, Qt::LeftButton);
    if (way == 1) w().H2->trigger();
    if (way == 2) QTest::keyClick(&w(), Qt::Key_F1);
    QTextBrowser* b = w().helpWindow->browser;
    QVERIFY(w().helpWindow->isVisible());
    QCOMPARE(b->source().fileName(), QString("index.html"));
    QCOMPARE(b->documentTitle(), QString("Vellumcraft 使用指南"));
    QVERIFY(m_opened.isEmpty());
  }

  // Every page the contents lead to exists and has a title.
  void manualLinksResolve() {
    openWindow();
    QVERIFY(w().helpWindow->openPage());
    QTextBrowser* b = w().helpWindow->browser;
    const QString html = b->toHtml();
    QRegularExpression link(R"re(href="([a-z]+\.html)")re");
    int pages = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++pages) {
      const QString page = it.next().captured(1);
      QVERIFY2(w().helpWindow->openPage(page) && !b->documentTitle().isEmpty(), qPrintable(page));
      QVERIFY2(b->toPlainText().size() > 200, qPrintable(page));
    }
    QVERIFY(pages >= 6);
  }
};

QTEST_MAIN(AuxWindowsTest)
#include "AuxWindowsTest.moc"
