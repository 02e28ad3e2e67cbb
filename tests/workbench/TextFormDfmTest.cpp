// .dfm files that hold form text: opened as form text, saved back as form
// text in their own encoding; what cannot be kept is refused, not changed.
#include <QTreeWidget>

#include "translation/FormTextFile.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class TextFormDfmTest : public WorkbenchFixture {
  Q_OBJECT

 private slots:
  void init() { setUpFolder(); }
  void cleanup() { finishTest(); }

  void openedAndSavedInItsOwnKind_data() {
    QTest::addColumn<QByteArray>("prefix");  // in front of the form text
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QByteArray>("lineBreak");  // as the file has them
    QTest::newRow("Big5") << QByteArray() << false << QByteArray("\r\n");
    QTest::newRow("UTF-8") << QByteArray() << true << QByteArray("\r\n");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") << true << QByteArray("\r\n");
    QTest::newRow("Big5, LF") << QByteArray() << false << QByteArray("\n");
    QTest::newRow("UTF-8, LF") << QByteArray() << true << QByteArray("\n");
  }
  void openedAndSavedInItsOwnKind() {
    QFETCH(QByteArray, prefix);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, lineBreak);
    const auto inFile = [&](std::string text) {
      for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += lineBreak.size())
        text.replace(at, 2, lineBreak.toStdString());
      return prefix.toStdString() + (utf8 ? cp950::toUtf8(text) : text);
    };
    const std::string big5 = smallFormText();
    const std::string stored = inFile(big5);
    writeBytes(path("text.dfm"), stored);
    openWindow();
    clickFile("text.dfm");
    QVERIFY2(dialogs().messages().isEmpty(), qPrintable(dialogs().messages().join(" / ")));
    QCOMPARE(w().Editor->model().text(), big5);
    QVERIFY(w().stringlist->topLevelItemCount() > 0);

    typeAt(12, 2, "0");  // Left = 10 -> Left = 100
    pressCtrlS();
    QVERIFY2(dialogs().messages().isEmpty(), qPrintable(dialogs().messages().join(" / ")));
    QVERIFY(!w().modified());
    std::string expected = big5;
    expected.replace(expected.find("Left = 10"), 9, "Left = 100");
    const std::string kept = inFile(expected);
    QCOMPARE(readBytes(path("text.dfm")).toStdString(), kept);
  }

  void whatCannotBeKeptIsRefused() {
    // Hangul has no Big5 form: the file is refused and left alone.
    const QByteArray hangul("object F: TF\r\n  Caption = '\xED\x95\x9C'\r\nend\r\n");
    writeBytes(path("hangul.dfm"), hangul.toStdString());
    const std::string text = "object F: TF\r\n  Left = 1\r\nend\r\n";
    writeBytes(path("plain.dfm"), text);
    openWindow();
    clickFile("form1.dfm");
    const std::string before = w().Editor->model().text();
    clickFile("hangul.dfm");
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY2(dialogs().errors.first().contains("第 2 行"), qPrintable(dialogs().errors.first()));
    QCOMPARE(w().Editor->model().text(), before);
    QCOMPARE(readBytes(path("hangul.dfm")), hangul);

    // Form text that no longer converts is not saved over the file.
    clickFile("plain.dfm");
    typeAt(1, 3, "@@");
    pressCtrlS();
    QCOMPARE(dialogs().errors.size(), 2);
    QVERIFY(w().modified());
    QCOMPARE(readBytes(path("plain.dfm")).toStdString(), text);
  }
};

QTEST_MAIN(TextFormDfmTest)
#include "TextFormDfmTest.moc"
