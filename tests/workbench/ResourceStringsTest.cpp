// A module's resource strings in the workbench, driven as a translator
// drives them: the "字串資源" entry after the forms, its rows on the string
// page, a string translated with the string editor, saved into the form
// folder as STRINGTABLE.po, asked for by the save prompt, and written into
// the translated copy together with the forms.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "WorkbenchFixture.h"
#include "modres/Module.h"
#include "translation/PoFile.h"
#include "workbench/StringValueEditors.h"

using namespace vc;
using namespace vc::test;

class ResourceStringsTest : public WorkbenchFixture {
  Q_OBJECT

  StringValueEditors& ed() { return *w().valueEditors; }

  int rowOf(const QString& id, const QString& language) {
    for (int i = 0; i < w().stringlist->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = w().stringlist->topLevelItem(i);
      if (item->text(0) == id && item->text(1) == language) return i;
    }
    return -1;
  }

  // Presses the row with the mouse, types text into the string editor and
  // stores it with "修改(&O)".
  void translate(const QString& id, const QString& language, const QString& text) {
    const int row = rowOf(id, language);
    QVERIFY2(row >= 0, qPrintable("no row " + id + "/" + language));
    QTreeWidgetItem* item = w().stringlist->topLevelItem(row);
    w().stringlist->scrollToItem(item);
    const QPoint at = w().stringlist->visualRect(w().stringlist->indexFromItem(item, 2)).center();
    QTest::mousePress(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
    QVERIFY(ed().CHSTR->isVisible());
    QCOMPARE(ed().srcstr->text(), item->text(2));
    ed().rpedit->setText(text);
    QTest::mouseClick(ed().SpeedButton5, Qt::LeftButton);
    QVERIFY(!ed().CHSTR->isVisible());
  }

  std::map<std::string, std::string> savedTranslations(const QString& po) {
    std::map<std::string, std::string> out;
    for (const PoEntry& e : readPoFile(po.toStdString()))
      if (!e.msgstr.empty()) out[e.context] = e.msgstr;
    return out;
  }

 private slots:
  void init() {
    setUpFolder();
    openWindow();
    QDir().mkpath(path("forms"));
  }
  void cleanup() { finishTest(); }

  void entryFollowsTheFormsAndShowsEveryString() {
    clickFile("forms32.exe");
    QVERIFY(w().list->isVisible());
    QCOMPARE(w().ListBox1->count(), 11);
    QCOMPARE(w().ListBox1->item(10)->text(), QStringLiteral("字串資源"));
    clickForm("字串資源");
    QVERIFY(w().resourceStringsShown());
    QCOMPARE(w().page->currentWidget(), w().tab2);
    QCOMPARE(w().stringlist->topLevelItemCount(), 11);
    QCOMPARE(w().stringlist->headerItem()->text(0), QStringLiteral("編號"));
    QCOMPARE(w().stringlist->headerItem()->text(3), QStringLiteral("翻譯"));
    // The first language (1028) by id, then German; breaks shown as "\n".
    const QTreeWidgetItem* crlf = w().stringlist->topLevelItem(2);
    QCOMPARE(crlf->text(0), QStringLiteral("3"));
    QCOMPARE(crlf->text(2), QStringLiteral("第一行\\n第二行"));
    QCOMPARE(w().stringlist->topLevelItem(10)->text(2), QStringLiteral("OK"));
    QCOMPARE(w().stringlist->topLevelItem(9)->text(2), QStringLiteral("Außerhalb 𠀀 und 😀"));
    // The code editor: one line per string, read-only.
    QVERIFY(w().Editor->isReadOnly());
    QCOMPARE(w().Editor->model().lineCount(), 11);
    QCOMPARE(w().Editor->model().lineText(0), "1\t1028\t" + big5("字串一"));
    QCOMPARE(w().Editor->model().lineText(10), std::string("65233\t1031\tOK"));
    QVERIFY(w().windowTitle().endsWith(QStringLiteral("forms32.exe - 字串資源")));
    // A form afterwards: editable again, the string page as forms have it.
    clickForm("TFORM1");
    QVERIFY(!w().Editor->isReadOnly());
    QCOMPARE(w().stringlist->headerItem()->text(0), QStringLiteral("行數"));
    QVERIFY(w().B1->isEnabled());
  }

  void moduleWithoutFormsListsOnlyItsStrings() {
    clickFile("noforms64.exe");
    QVERIFY(w().list->isVisible());
    QCOMPARE(w().ListBox1->count(), 1);
    clickForm("字串資源");
    QCOMPARE(w().stringlist->topLevelItemCount(), 1);
    QCOMPARE(w().stringlist->topLevelItem(0)->text(2), QStringLiteral("沒有窗體"));
  }

  void editSaveAndTheTranslatedCopy() {
    clickFile("forms32.exe");
    clickForm("字串資源");
    translate("65233", "1031", QStringLiteral("確定 😀"));
    translate("3", "1028", QStringLiteral("一\\n二"));
    QCOMPARE(w().stringlist->topLevelItem(rowOf("65233", "1031"))->text(3), QStringLiteral("確定 😀"));
    QVERIFY(w().modified());
    QVERIFY(w().Tsavebtn->isEnabled());

    // Saved into the form folder, which is asked for once.
    dialogs().folderAnswers.push_back(path("forms"));
    QCOMPARE(w().save(), SaveOutcome::Saved);
    QVERIFY(!w().modified());
    const QString po = path("forms/STRINGTABLE.po");
    auto saved = savedTranslations(po);
    QCOMPARE(saved.size(), std::size_t{2});
    QCOMPARE(saved["STRINGTABLE@1031.65233"], std::string("確定 😀"));
    QCOMPARE(saved["STRINGTABLE.3"], std::string("一\n二"));

    // Another string, then a form: the save prompt; Yes saves it too.
    translate("1", "1031", QStringLiteral("第一"));
    dialogs().answers.push_back(Dialogs::Answer::Yes);
    clickForm("TFORM1");
    QCOMPARE(dialogs().confirmations.last(), QString::fromUtf8(Tnewdfm::kSavePrompt));
    QCOMPARE(savedTranslations(po).size(), std::size_t{3});
    QVERIFY(!w().modified());

    // Shown again: the saved translations are read back.
    clickForm("字串資源");
    QCOMPARE(w().stringlist->topLevelItem(rowOf("1", "1031"))->text(3), QStringLiteral("第一"));

    // The translated copy holds them, with the forms of the folder.
    dialogs().saveAnswers.push_back({path("forms32-zh.exe"), 1});
    w().translatedModuleItem->trigger();
    const QString report = dialogs().informations.last();
    QVERIFY2(report.contains(QStringLiteral("寫入 3 個字串資源的翻譯")), qPrintable(report));
    auto copy = modres::Module::open(path("forms32-zh.exe").toStdString());
    std::map<std::pair<int, int>, std::u16string> strings;
    for (const modres::ResourceString& s : copy->stringTables().strings()) strings[{s.id, s.language}] = s.text;
    QCOMPARE(strings.size(), std::size_t{11});
    QVERIFY(strings[std::make_pair(65233, 0x0407)] == u"確定 😀");
    QVERIFY(strings[std::make_pair(3, 0x0404)] == u"一\r\n二");
    QVERIFY(strings[std::make_pair(1, 0x0407)] == u"第一");
    QVERIFY(strings[std::make_pair(2, 0x0407)] == u"Zweite");
  }

  // The PO items: the template holds the resource strings; a translation
  // applied into a folder leaves them there as STRINGTABLE.po, which the
  // translated copy then takes.
  void poItemsCarryResourceStrings() {
    clickFile("forms32.exe");
    dialogs().saveAnswers.push_back({path("forms32.pot")});
    w().poExportItem->trigger();
    std::vector<PoEntry> entries = readPoFile(path("forms32.pot").toStdString());
    std::size_t strings = 0;
    for (PoEntry& e : entries)
      if (e.context.starts_with("STRINGTABLE")) {
        ++strings;
        if (e.context == "STRINGTABLE@1031.65233") e.msgstr = "確定";
      }
    QCOMPARE(strings, std::size_t{11});
    writePoTemplate(path("zh.po").toStdString(), "forms32.exe", entries);
    dialogs().openAnswers.push_back(path("zh.po"));
    dialogs().folderAnswers.push_back(path("forms"));
    w().poApplyItem->trigger();
    QVERIFY2(dialogs().informations.last().contains(QStringLiteral("1 個字串資源的翻譯存成 STRINGTABLE.po")),
             qPrintable(dialogs().informations.last()));
    QCOMPARE(savedTranslations(path("forms/STRINGTABLE.po")).at("STRINGTABLE@1031.65233"), std::string("確定"));
  }

  // Unsaved edits answered No are gone when the strings are shown again.
  void unsavedEditsAnsweredNoAreDropped() {
    clickFile("forms32.exe");
    clickForm("字串資源");
    translate("2", "1028", QStringLiteral("第二"));
    dialogs().answers.push_back(Dialogs::Answer::No);
    clickForm("TFORM1");
    QVERIFY(!w().modified());
    clickForm("字串資源");
    QCOMPARE(w().stringlist->topLevelItem(rowOf("2", "1028"))->text(3), QString());
    QVERIFY(!QFileInfo::exists(path("forms/STRINGTABLE.po")));
  }
};

QTEST_MAIN(ResourceStringsTest)
#include "ResourceStringsTest.moc"
