// The workbench document driven as a user drives it: loading by file kind,
// the save prompt, saving, save-as and the close check.
#include <QProcess>
#include <QTabWidget>
#include <QTreeWidget>
#include <QToolButton>
#include <QAction>

#include "formstream/BinaryToText.h"
#include "modres/Module.h"
#include "translation/StringExtraction.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;
using Answer = Dialogs::Answer;

namespace {

std::string moduleFormText(const QString& module, const std::string& name) {
  auto m = modres::Module::open(QFile::encodeName(module).toStdString());
  auto r = m->readFormResource(name);
  TMemoryStream out;
  BinaryToText(*r, out);
  return out.data();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

class DocumentTest : public WorkbenchFixture {
  Q_OBJECT

 private slots:
  void init() { setUpFolder(); openWindow(); }
  void cleanup() { finishTest(); }

  // Module in the file list -> form list -> a form -> both editors and the
  // string table -> edit -> save through the dialog -> a form file.
  void typicalRequestOnAModule() {
    clickFile("sample.exe");
    QVERIFY(w().list->isVisible());
    QStringList names;
    for (int i = 0; i < w().ListBox1->count(); ++i) names << w().ListBox1->item(i)->text();
    QCOMPARE(names, (QStringList{"TABOUTBOX", "TMAINFORM", "TOPTIONSFORM"}));
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));  // empty until a form is chosen

    clickForm("TABOUTBOX");
    const std::string loaded = moduleFormText(path("sample.exe"), "TABOUTBOX");
    QCOMPARE(w().Editor->model().text(), loaded);
    QCOMPARE(w().seditor->model().text(), loaded);
    QCOMPARE(w().page->currentWidget(), w().tab1);
    QVERIFY(!w().modified());
    QVERIFY(!w().Tsavebtn->isEnabled());
    QVERIFY(!w().S1->isEnabled());
    const auto rows = extractStrings(splitTextLines(loaded));
    QCOMPARE(w().stringRowCount(), static_cast<int>(rows.size()));
    QVERIFY(w().stringlist->isEnabled());

    // Line 5 reads "  Caption = '關於'": add text behind the opening quote.
    QCOMPARE(w().Editor->model().lineText(4), "  Caption = '" + big5("關於") + "'");
    typeAt(14, 5, "My ");
    QVERIFY(w().modified());
    QVERIFY(w().Tsavebtn->isEnabled());
    QVERIFY(w().S1->isEnabled());
    QVERIFY(w().Tundobtn->isEnabled());
    QCOMPARE(w().seditor->model().text(), loaded);  // the source page keeps the text as loaded
    const std::string edited = replaced(loaded, "Caption = '" + big5("關於"), "Caption = 'My " + big5("關於"));
    QCOMPARE(w().Editor->model().text(), edited);

    // The save target is the module, which is never written: the dialog asks.
    dialogs().saveAnswers.push_back({path("about.dfm"), 1});
    pressCtrlS();
    QCOMPARE(dialogs().saveDialogs.size(), 1);
    QVERIFY(!w().modified());
    QVERIFY(!w().Tsavebtn->isEnabled());
    QVERIFY(!w().S1->isEnabled());
    QCOMPARE(formFileText(path("about.dfm")), edited);

    // formtext renders the saved file to the edited text.
    QProcess formtext;
    formtext.start(QStringLiteral(VC_FORMTEXT), {"dfm2txt", path("about.dfm")});
    QVERIFY(formtext.waitForFinished(10000));
    QCOMPARE(formtext.exitCode(), 0);
    QCOMPARE(formtext.readAllStandardOutput().toStdString(), edited);
  }

  void formFileSavedInPlace() {
    clickFile("form1.dfm");
    QCOMPARE(w().Editor->model().text(), smallFormText());
    QCOMPARE(w().stringRowCount(), 3);
    QCOMPARE(w().currentFileName(), path("form1.dfm"));
    typeAt(12, 2, "0");  // Left = 10 -> Left = 100
    pressCtrlS();
    QVERIFY(dialogs().saveDialogs.isEmpty());
    QVERIFY(!w().modified());
    QCOMPARE(formFileText(path("form1.dfm")), replaced(smallFormText(), "Left = 10", "Left = 100"));
  }

  void textFileSavedAsText() {
    clickFile("notes.txt");
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
    QVERIFY(!w().stringlist->isEnabled());
    QCOMPARE(w().stringRowCount(), 0);
    QVERIFY(!w().page->isTabVisible(w().page->indexOf(w().tab2)));
    typeAt(1, 2, "a ");
    pressCtrlS();
    QVERIFY(dialogs().saveDialogs.isEmpty());
    QCOMPARE(readBytes(path("notes.txt")), QByteArray("<b>first</b>\r\na second line\r\n"));
    // The next extraction brings the string page back.
    QTest::mouseClick(w().getstring, Qt::LeftButton);
    QVERIFY(w().stringlist->isEnabled());
    QVERIFY(w().page->isTabVisible(w().page->indexOf(w().tab2)));
  }

  // A mouse press asks first; once the prompt left the text saved or
  // forgotten, the selection that follows the press loads the file.
  void savePromptOnFileClick_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes saves, then loads") << int(Answer::Yes);
    QTest::newRow("no forgets the changes, then loads") << int(Answer::No);
    QTest::newRow("cancel drops the click") << int(Answer::Cancel);
  }
  void savePromptOnFileClick() {
    QFETCH(int, answer);
    clickFile("notes.txt");
    typeAt(1, 1, "X");
    const std::string edited = w().Editor->model().text();
    dialogs().answers.push_back(Answer(answer));
    clickFile("other.txt");
    QCOMPARE(dialogs().confirmations, QStringList{Tnewdfm::kSavePrompt});
    if (Answer(answer) == Answer::Cancel) {
      QCOMPARE(w().Editor->model().text(), edited);
      QVERIFY(w().modified());
      QCOMPARE(selectedFile(), path("notes.txt"));
      return;
    }
    QCOMPARE(w().Editor->model().text(), std::string("other text\r\n"));
    QCOMPARE(readBytes(path("notes.txt")).toStdString(),
             Answer(answer) == Answer::Yes ? edited : std::string("<b>first</b>\r\nsecond line\r\n"));
  }

  // Moving the selection with the keyboard asks; after Yes or No the newly
  // selected file waits for the next selection change.
  void savePromptOnKeyboardSelection_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(Answer::Yes);
    QTest::newRow("no") << int(Answer::No);
    QTest::newRow("cancel") << int(Answer::Cancel);
  }
  void savePromptOnKeyboardSelection() {
    QFETCH(int, answer);
    clickFile("notes.txt");
    typeAt(1, 1, "X");
    const std::string edited = w().Editor->model().text();
    dialogs().answers.push_back(Answer(answer));
    w().FileListBox1->setFocus();
    QTest::keyClick(w().FileListBox1, Qt::Key_Down);  // notes.txt -> other.txt
    QCOMPARE(selectedFile(), path("other.txt"));
    QCOMPARE(dialogs().confirmations, QStringList{Tnewdfm::kSavePrompt});
    QCOMPARE(w().Editor->model().text(), edited);
    QCOMPARE(w().modified(), Answer(answer) == Answer::Cancel);
    QCOMPARE(w().Tsavebtn->isEnabled(), Answer(answer) != Answer::Yes);
    if (Answer(answer) == Answer::Yes) QCOMPARE(readBytes(path("notes.txt")).toStdString(), edited);
    if (Answer(answer) == Answer::Cancel) {
      dialogs().answers.push_back(Answer::Cancel);
      QTest::keyClick(w().FileListBox1, Qt::Key_Up);
      return;
    }
    QTest::keyClick(w().FileListBox1, Qt::Key_Up);
    QCOMPARE(w().Editor->model().lineText(0), Answer(answer) == Answer::Yes ? std::string("X<b>first</b>")
                                                                    : std::string("<b>first</b>"));
  }

  // After "No" the file list shows another file than the text in the editor:
  // a further edit and a plain save still go to the document shown.
  void saveTargetStaysWithTheDocumentShown() {
    clickFile("notes.txt");
    typeAt(1, 1, "X");
    dialogs().answers.push_back(Answer::No);
    w().FileListBox1->setFocus();
    QTest::keyClick(w().FileListBox1, Qt::Key_Down);
    QCOMPARE(selectedFile(), path("other.txt"));
    typeAt(1, 1, "Y");
    QCOMPARE(w().currentFileName(), path("notes.txt"));
    pressCtrlS();
    QCOMPARE(readBytes(path("notes.txt")), QByteArray("YX<b>first</b>\r\nsecond line\r\n"));
    QCOMPARE(readBytes(path("other.txt")), QByteArray("other text\r\n"));
  }

  void savePromptOnFormChoice_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes runs save-as") << int(Answer::Yes);
    QTest::newRow("no") << int(Answer::No);
    QTest::newRow("cancel") << int(Answer::Cancel);
  }
  void savePromptOnFormChoice() {
    QFETCH(int, answer);
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    typeAt(14, 5, "My ");  // inside the caption
    const std::string edited = w().Editor->model().text();
    dialogs().answers.push_back(Answer(answer));
    if (Answer(answer) == Answer::Yes) dialogs().saveAnswers.push_back({path("saved-as.dfm"), 3});
    clickForm("TMAINFORM");
    QCOMPARE(w().Editor->model().text(), edited);
    if (Answer(answer) == Answer::Yes) {
      QCOMPARE(dialogs().saveDialogs.size(), 1);
      // A form of a module is proposed under its own name, beside the module.
      QCOMPARE(dialogs().saveDialogs.first().fileName, path("TABOUTBOX.dfm"));
      QCOMPARE(formFileText(path("saved-as.dfm")), edited);
      QVERIFY(!w().modified());
      QVERIFY(!w().Tsavebtn->isEnabled());
      QVERIFY(w().S1->isEnabled());  // save-as leaves the menu item
    } else {
      QCOMPARE(w().modified(), Answer(answer) == Answer::Cancel);
    }
    if (Answer(answer) == Answer::Cancel) return;
    // Pressing the chosen entry again loads it.
    clickForm("TMAINFORM");
    QCOMPARE(w().Editor->model().text(), moduleFormText(path("sample.exe"), "TMAINFORM"));
  }

  void saveAsPlainTextKeepsTheDocumentUnsaved() {
    clickFile("form1.dfm");
    typeAt(1, 1, " ");
    dialogs().saveAnswers.push_back({path("copy.txt"), 2});
    w().A4->trigger();
    QCOMPARE(readBytes(path("copy.txt")).toStdString(), w().Editor->model().text());
    QVERIFY(w().modified());
    QVERIFY(w().Tsavebtn->isEnabled());
    // The proposed name is the same every time; the target stays the document.
    dialogs().saveAnswers.push_back({});
    w().A4->trigger();
    QCOMPARE(dialogs().saveDialogs.last().fileName, QString("窗體文件.dfm"));
    QCOMPARE(w().currentFileName(), path("form1.dfm"));
  }

  void targetsThatCannotBeWritten() {
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    typeAt(14, 5, "My ");
    struct Case {
      QString target;
      int filterIndex;
    } cases[] = {
        {path("missing-folder/a.dfm"), 1},
        {path("sample.exe"), 3},  // the open module itself
        {path("sample.exe"), 2},  // ... also as plain text
        {path("forms32.exe"), 1},
        {path("new.dll"), 1},
    };
    for (const Case& c : cases) {
      dialogs().clearRecords();
      dialogs().saveAnswers.push_back({c.target, c.filterIndex});
      w().A4->trigger();
      QCOMPARE(dialogs().errors, QStringList{"無法建立文件 " + c.target});
      QVERIFY(w().modified());
    }
    QVERIFY(!QFile::exists(path("new.dll")));
    // The plain save goes through the dialog, with the same refusal.
    dialogs().clearRecords();
    dialogs().saveAnswers.push_back({path("sample.exe"), 1});
    pressCtrlS();
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY(w().modified());
  }

  void failedConversionLeavesTheTarget() {
    clickFile("form1.dfm");
    const QByteArray before = readBytes(path("form1.dfm"));
    typeAt(1, 1, "garbage ");
    pressCtrlS();
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY(dialogs().errors.first().contains("第 1 行"));
    QCOMPARE(readBytes(path("form1.dfm")), before);
    QVERIFY(w().modified());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter("form1").size(), 1);
    // A failed save in the close check keeps the window open.
    dialogs().answers.push_back(Answer::Yes);
    QVERIFY(!w().close());
    QVERIFY(w().isVisible());
    dialogs().answers.push_back(Answer::No);  // now leave without saving
    dialogs().answers.push_back(Answer::Yes);  // the string table was filled
    QVERIFY(w().close());
  }

  void closeCheckAsksBothQuestions() {
    clickFile("form1.dfm");  // extraction raises the string-table-changed state
    QVERIFY(w().stringTableChanged());
    typeAt(12, 2, "0");
    dialogs().answers.push_back(Answer::Cancel);
    QVERIFY(!w().close());
    QCOMPARE(dialogs().confirmations, QStringList{Tnewdfm::kSavePrompt});

    dialogs().clearRecords();
    dialogs().answers = {Answer::No, Answer::No};
    QVERIFY(!w().close());
    QCOMPARE(dialogs().confirmations, (QStringList{Tnewdfm::kSavePrompt, Tnewdfm::kLeavePrompt}));

    // Yes saves in place, then the leave prompt decides.
    dialogs().clearRecords();
    dialogs().answers = {Answer::Yes, Answer::Yes};
    QVERIFY(w().close());
    QCOMPARE(dialogs().confirmations.size(), 2);
    QCOMPARE(formFileText(path("form1.dfm")), replaced(smallFormText(), "Left = 10", "Left = 100"));
    QVERIFY(!w().stringTableChanged());
  }

  void closeWithOnlyAChangedStringTable() {
    clickFile("form1.dfm");
    dialogs().answers.push_back(Answer::No);
    QVERIFY(!w().close());
    QCOMPARE(dialogs().confirmations, QStringList{Tnewdfm::kLeavePrompt});
    dialogs().answers.push_back(Answer::Yes);
    QVERIFY(w().close());
  }

  // A closing save whose dialog is cancelled does not stop the closing.
  void closingSaveDialogCancelledStillCloses() {
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    typeAt(1, 1, " ");
    dialogs().answers = {Answer::Yes, Answer::Yes};
    dialogs().saveAnswers.push_back({});
    QVERIFY(w().close());
  }

  void refusedAndDamagedFilesLeaveTheEditors() {
    writeBytes(path("FORM1.DFM"), toFormFile(smallFormText()));
    writeBytes(path("notaform.dfm"), "neither a form file nor form text\r\n");
    writeBytes(path("broken.exe"), "MZ not really a module");
    writeBytes(path("damaged.dfm"), toFormFile(smallFormText()).substr(0, 40));
    w().FileListBox1->update();
    clickFile("notes.txt");
    const std::string shown = w().Editor->model().text();
    struct Case {
      const char* file;
      QString message;
    } cases[] = {
        {"FORM1.DFM", Tnewdfm::kUnsupported},
        {"notaform.dfm", "無效的資料流格式"},
        {"broken.exe", Tnewdfm::kCannotLoadModule},
        {"damaged.dfm", ""},
    };
    for (const Case& c : cases) {
      dialogs().clearRecords();
      clickFile(c.file);
      QCOMPARE(dialogs().messages().size(), 1);
      if (!c.message.isEmpty()) QCOMPARE(dialogs().messages().first(), c.message);
      QCOMPARE(w().Editor->model().text(), shown);
      QCOMPARE(w().seditor->model().text(), shown);
      QCOMPARE(w().ListBox1->count(), 0);
    }
    QVERIFY(!w().hasOpenModule());
  }

  void extensionRuleDecidesTheKind() {
    writeBytes(path("a.dfmx"), toFormFile(smallFormText()));
    QVERIFY(QDir(m_dir->path()).mkdir("x.txt"));
    writeBytes(path("x.txt/noext"), "plain\r\n");
    writeBytes(path("a.dfm.bak"), toFormFile(smallFormText()));
    // a.dfmx: not shown by the mask, so selecting it makes it the mask.
    w().setSelectedPath(path("a.dfmx"));
    QCOMPARE(w().Editor->model().text(), smallFormText());
    w().setSelectedPath(path("x.txt/noext"));
    QCOMPARE(w().Editor->model().text(), std::string("plain\r\n"));
    w().setSelectedPath(path("a.dfm.bak"));
    QCOMPARE(dialogs().informations, QStringList{Tnewdfm::kUnsupported});
    QCOMPARE(w().Editor->model().text(), std::string("plain\r\n"));
  }

  void moduleWithoutFormsLeavesEverythingEmpty() {
    clickFile("notes.txt");
    clickFile("noforms64.exe");
    QVERIFY(dialogs().messages().isEmpty());
    // Its string tables are the one entry.
    QCOMPARE(w().ListBox1->count(), 1);
    QCOMPARE(w().ListBox1->item(0)->text(), QString::fromUtf8(Tnewdfm::kResourceStringsEntry));
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));
    QVERIFY(w().hasOpenModule());
  }

  void directoryChangeEmptiesTheViews() {
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    QVERIFY(w().stringRowCount() > 0);
    const std::string loaded = w().seditor->model().text();
    // The user opens the folder in the directory list (double click).
    QListWidget* dirs = w().DirectoryListBox1;
    w().DirectoryListBox1->setDirectory(m_dir->path());  // shows the new folder
    auto found = dirs->findItems("sub", Qt::MatchEndsWith);
    QCOMPARE(found.size(), 1);
    dirs->scrollToItem(found.first());
    const QPoint at = dirs->visualItemRect(found.first()).center();
    QTest::mouseClick(dirs->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTRY_COMPARE(w().DirectoryListBox1->directory(), path("sub"));
    QCOMPARE(QDir::currentPath(), path("sub"));
    QCOMPARE(w().FileListBox1->count(), 0);
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));
    QCOMPARE(w().seditor->model().text(), loaded);
    QCOMPARE(w().ListBox1->count(), 0);
    QCOMPARE(w().stringRowCount(), 0);
  }

  void driveBoxChangesTheFolder() {
    w().DriveComboBox1->setCurrentIndex(0);
    emit w().DriveComboBox1->activated(0);
    QCOMPARE(w().DirectoryListBox1->directory(), QDir::rootPath());
    QCOMPARE(w().FileListBox1->directory(), QDir::rootPath());
    QCOMPARE(QDir::currentPath(), QDir::rootPath());
  }

  void undoAndRedoButtons() {
    clickFile("notes.txt");
    QVERIFY(!w().Tundobtn->isEnabled());
    typeAt(1, 1, "ab");
    QVERIFY(w().Tundobtn->isEnabled());
    QTest::mouseClick(w().Tundobtn, Qt::LeftButton);
    QVERIFY(w().Tredobtn->isEnabled());
    while (w().Tundobtn->isEnabled()) QTest::mouseClick(w().Tundobtn, Qt::LeftButton);
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
    QTest::mouseClick(w().Tredobtn, Qt::LeftButton);
    QVERIFY(w().Tundobtn->isEnabled());
  }
};

QTEST_MAIN(DocumentTest)
#include "DocumentTest.moc"
