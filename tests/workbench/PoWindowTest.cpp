// The translation exchange from the File menu, driven as a user drives it.
#include <QAction>
#include <QDir>

#include "WorkbenchFixture.h"
#include "formstream/FormStrings.h"
#include "modres/Module.h"
#include "translation/PoExchange.h"

using namespace vc;
using namespace vc::test;

class PoWindowTest : public WorkbenchFixture {
  Q_OBJECT

 private slots:
  void init() {
    setUpFolder();
    openWindow();
    clickFile("sample.exe");
  }
  void cleanup() { finishTest(); }

  // Template out; one entry translated into Cyrillic; forms into a new folder.
  void exportThenApply() {
    dialogs().saveAnswers.push_back({path("sample.pot")});
    w().poExportItem->trigger();
    QCOMPARE(dialogs().saveDialogs.last().fileName, QStringLiteral("sample.pot"));
    QVERIFY2(dialogs().informations.last().startsWith("已匯出 34 個字串"), qPrintable(dialogs().informations.last()));

    std::vector<PoEntry> entries = readPoFile(path("sample.pot").toStdString());
    for (PoEntry& e : entries)
      if (e.context == "TABOUTBOX.Caption") e.msgstr = "О программе";
    writePoTemplate(path("ru.po").toStdString(), "sample.exe", entries);
    dialogs().openAnswers.push_back(path("ru.po"));
    dialogs().folderAnswers.push_back(path("ru"));
    w().poApplyItem->trigger();
    QCOMPARE(dialogs().informations.last(), QStringLiteral("已寫入 3 個窗體文件到 %1，套用 1 個翻譯。").arg(path("ru")));
    QCOMPARE(QDir(path("ru")).entryList(QDir::Files).size(), 3);
    QByteArray bytes = readBytes(path("ru/TABOUTBOX.dfm"));
    ExchangeSource back = formFileExchangeSource("TABOUTBOX.dfm", bytes.toStdString());
    QCOMPARE(back.forms[0].strings[0].text, std::string("О программе"));
  }

  void brokenTranslationWritesNothing() {
    writeBytes(path("broken.po"), "msgctxt \"TABOUTBOX.Caption\"\nmsgid \"x\nmsgstr \"y\"\n");
    dialogs().openAnswers.push_back(path("broken.po"));
    dialogs().folderAnswers.push_back(path("out"));
    w().poApplyItem->trigger();
    QVERIFY2(dialogs().errors.last().contains("broken.po:3"), qPrintable(dialogs().errors.last()));
    QVERIFY(!QFileInfo::exists(path("out")));
  }

  // A form edited and saved under its name; the copy is made from the folder
  // it was saved in, which is then remembered; the module itself is refused.
  void translatedCopyFromSavedForms() {
    QDir().mkpath(path("forms"));
    writeBytes(path("forms/notes.dfm"), toFormFile(smallFormText()));
    clickForm("TABOUTBOX");
    typeAt(14, 5, "My ");
    dialogs().saveAnswers.push_back({path("forms/TABOUTBOX.dfm"), 1});
    dialogs().answers.push_back(Dialogs::Answer::Yes);  // save the change first
    dialogs().folderAnswers.push_back(path("forms"));
    dialogs().saveAnswers.push_back({path("sample-zh.exe"), 1});
    w().translatedModuleItem->trigger();
    QCOMPARE(dialogs().saveDialogs.last().fileName, QStringLiteral("sample_譯本.exe"));
    const QString report = dialogs().informations.last();
    QVERIFY2(report.startsWith(QStringLiteral("已寫出翻譯後的模組 %1，替換了 1 個窗體：\nTABOUTBOX").arg(path("sample-zh.exe"))) &&
                 report.contains("notes.dfm"),
             qPrintable(report));
    auto copy = modres::Module::open(path("sample-zh.exe").toStdString());
    const auto resource = copy->readFormResource("TABOUTBOX");
    const std::string_view about = resource->bytes();
    QVERIFY(about.find("My " + big5("關於")) != std::string_view::npos);

    dialogs().saveAnswers.push_back({path("forms/../sample.exe"), 1});
    w().translatedModuleItem->trigger();
    QVERIFY2(dialogs().errors.last().startsWith(QStringLiteral("不能寫入開啟中的模組")), qPrintable(dialogs().errors.last()));
  }

  // The satellite: proposed as sample.CHT beside the module, it holds the
  // translated form; the module itself is refused under any name.
  void satelliteFromSavedForms() {
    QDir().mkpath(path("forms"));
    clickForm("TABOUTBOX");
    typeAt(14, 5, "My ");
    dialogs().saveAnswers.push_back({path("forms/TABOUTBOX.dfm"), 1});
    dialogs().answers.push_back(Dialogs::Answer::Yes);
    dialogs().folderAnswers.push_back(path("forms"));
    dialogs().saveAnswers.push_back({path("sample.CHT"), 1});
    w().satelliteItem->trigger();
    QCOMPARE(dialogs().saveDialogs.last().fileName, QStringLiteral("sample.CHT"));
    QCOMPARE(QDir(dialogs().saveDialogs.last().directory), QDir(path(".")));
    QVERIFY2(dialogs().informations.last().startsWith(QStringLiteral("已寫出語系資源檔 %1，替換了 1 個窗體：").arg(path("sample.CHT"))),
             qPrintable(dialogs().informations.last()));
    auto satellite = modres::Module::open(path("sample.CHT").toStdString());
    const auto resource = satellite->readFormResource("TABOUTBOX");
    QVERIFY(resource->bytes().find("My " + big5("關於")) != std::string_view::npos);
    QVERIFY(readBytes(path("sample.CHT")).size() < readBytes(path("sample.exe")).size());

    dialogs().saveAnswers.push_back({path("forms/../sample.exe"), 1});
    w().satelliteItem->trigger();
    QVERIFY2(dialogs().errors.last().startsWith(QStringLiteral("不能寫入開啟中的模組")), qPrintable(dialogs().errors.last()));
  }

  // A form file that does not convert stops the copy; an earlier copy stays.
  void failedCopyKeepsTheEarlierOne() {
    QDir().mkpath(path("forms"));
    writeBytes(path("forms/TABOUTBOX.dfm"), "object AboutBox: TAboutBox\r\n  Left = \r\n");
    writeBytes(path("sample-zh.exe"), "earlier copy");
    dialogs().folderAnswers.push_back(path("forms"));
    dialogs().saveAnswers.push_back({path("sample-zh.exe"), 1});
    w().translatedModuleItem->trigger();
    QVERIFY2(dialogs().errors.last().contains("TABOUTBOX.dfm"), qPrintable(dialogs().errors.last()));
    QCOMPARE(readBytes(path("sample-zh.exe")), QByteArray("earlier copy"));
  }
};

QTEST_MAIN(PoWindowTest)
#include "PoWindowTest.moc"
