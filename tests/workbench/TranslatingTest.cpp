// The window as a translator works in it: values typed into the value
// editors land in the row the editor shows and nowhere else, loading never
// carries an editor over to the next file, and pending translations are not
// thrown away without asking.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "formstream/BinaryToText.h"
#include "modres/Module.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"
#include "workbench/StringValueEditors.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;
using Answer = Dialogs::Answer;

namespace {

// A main form as a translator meets it: captions, a two-line label, sizes
// that must stay numbers.
std::string workForm() {
  return "object Form1: TForm1\r\n"                                   // 1
         "  Left = 10\r\n"                                            // 2
         "  Top = 20\r\n"                                             // 3
         "  Caption = 'Hauptfenster'\r\n"                             // 4
         "  ClientHeight = 200\r\n"                                   // 5
         "  ClientWidth = 300\r\n"                                    // 6
         "  object Button1: TButton\r\n"                              // 7
         "    Width = 121\r\n"                                        // 8
         "    Caption = 'Alle Werte loeschen'\r\n"                    // 9
         "  end\r\n"                                                  // 10
         "  object Label1: TLabel\r\n"                                // 11
         "    Caption = 'Flaechendiagonale 1'#13#10'(dF1):'\r\n"      // 12
         "    Hint = 'Zwei'#13#10'Zeilen'\r\n"                        // 13
         "  end\r\n"                                                  // 14
         "end\r\n";
}

// Six string rows among numbers; Font.Name opens the font dialog and is no
// step of the keyboard route.
std::string keysForm() {
  return "object Form1: TForm1\r\n"            // 1
         "  Left = 10\r\n"                     // 2
         "  Caption = 'Fenster'\r\n"           // 3
         "  ClientHeight = 200\r\n"            // 4
         "  object Button1: TButton\r\n"       // 5
         "    Width = 121\r\n"                 // 6
         "    Caption = 'Rechnen'\r\n"         // 7
         "    Hint = 'Jetzt rechnen'\r\n"      // 8
         "    Font.Name = 'Arial'\r\n"         // 9
         "  end\r\n"                           // 10
         "  object Label1: TLabel\r\n"         // 11
         "    Caption = 'Ergebnis'\r\n"        // 12
         "    TabOrder = 3\r\n"                // 13
         "  end\r\n"                           // 14
         "  object Edit1: TEdit\r\n"           // 15
         "    TextHint = 'Wert'\r\n"           // 16
         "  end\r\n"                           // 17
         "end\r\n";
}

std::string companyForm() {
  return "object Company: TCompanyForm\r\n"
         "  Top = 5\r\n"
         "  Caption = 'Firma'\r\n"
         "  object Edit1: TEdit\r\n"
         "    TextHint = 'Name'\r\n"
         "  end\r\n"
         "end\r\n";
}

// Notes whether a progress box is still there when a message is shown.
class ProgressWatch : public ScriptedDialogs {
 public:
  QWidget* window = nullptr;
  QStringList underProgress;  // messages shown while a progress box was left
  void information(QWidget* parent, const QString& text) override {
    if (window && !window->findChildren<QProgressDialog*>().isEmpty()) underProgress << text;
    ScriptedDialogs::information(parent, text);
  }
};

}  // namespace

class TranslatingTest : public WorkbenchFixture {
  Q_OBJECT

  StringValueEditors& ed() { return *w().valueEditors; }

  // Loads a form file from the file list and turns to the string page.
  void openForm(const QString& name) {
    clickFile(name);
    w().page->setCurrentWidget(w().tab2);
    QCoreApplication::processEvents();
  }

  int rowOfLine(int line) {
    for (int i = 0; i < w().stringRowCount(); ++i)
      if (w().stringRow(i).lineNumber == line && !w().stringRow(i).lineRemoved) return i;
    return -1;
  }
  StringRow rowAt(int line) { return w().stringRow(rowOfLine(line)); }
  int selectedLine() { return w().stringRow(w().selectedStringRow()).lineNumber; }

  // Clicks the value of a line's row.
  void press(int line) {
    const int row = rowOfLine(line);
    QVERIFY2(row >= 0, qPrintable(QString("no row for line %1").arg(line)));
    QTreeWidgetItem* item = w().stringlist->topLevelItem(row);
    w().stringlist->scrollToItem(item);
    const QPoint at = w().stringlist->visualRect(w().stringlist->indexFromItem(item, 2)).center();
    QTest::mouseClick(w().stringlist->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
  }

  QFrame* shownPanel() {
    for (QFrame* p : {ed().CHInt, ed().CHPRO, ed().CHSTR})
      if (p->isVisible()) return p;
    return nullptr;
  }

  // The keys go where the keyboard focus is, as they do for the user.
  // Letters are typed as keys; Chinese as an input method commits it.
  void type(const QString& text) {
    for (const QChar c : text) {
      QWidget* focus = QApplication::focusWidget();
      if (c.unicode() < 0x80) {
        QTest::keyClick(focus, c.toLatin1());
      } else {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QCoreApplication::sendEvent(focus, &commit);
      }
    }
  }
  void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }

  QStringList modifiedRows() {
    QStringList rows;
    for (int i = 0; i < w().stringRowCount(); ++i)
      if (w().stringRow(i).hasModified && w().stringRow(i).checked)
        rows << QString("%1=%2").arg(w().stringRow(i).lineNumber).arg(QString::fromStdString(w().stringRow(i).modified));
    return rows;
  }

 private slots:
  void init() {
    setUpFolder();
    writeBytes(path("work.dfm"), toFormFile(workForm()));
    writeBytes(path("company.dfm"), toFormFile(companyForm()));
    writeBytes(path("keys.dfm"), toFormFile(keysForm()));
    // Longer than the editor's window.
    std::string text = workForm();
    text.resize(text.size() - 5);  // the last "end"
    for (int i = 0; i < 40; ++i)
      text += "  object L" + std::to_string(i) + ": TLabel\r\n    Caption = 'L" + std::to_string(i) + "'\r\n  end\r\n";
    writeBytes(path("long.dfm"), toFormFile(text + "end\r\n"));
    openWindow();
  }
  void cleanup() { finishTest(); }

  // Typing right after a click goes into the editor, not to the table's
  // search by first letters; when the selection leaves the row, its editor
  // closes and what is typed next is stored nowhere.
  void valueLandsOnlyInTheRowItsEditorShows() {
    openForm("work.dfm");
    press(4);  // Caption = 'Hauptfenster'
    QCOMPARE(shownPanel(), ed().CHSTR);
    type("Alle");
    key(Qt::Key_Return);
    QCOMPARE(selectedLine(), 9);  // on to the next string row, its editor open
    QCOMPARE(shownPanel(), ed().CHSTR);
    QCOMPARE(modifiedRows(), QStringList{"4=Alle"});

    press(4);
    w().stringlist->setFocus();
    QTest::keyClick(w().stringlist, Qt::Key_Down);
    QTest::keyClick(w().stringlist, Qt::Key_Down);
    QCOMPARE(selectedLine(), 6);  // ClientWidth
    QCOMPARE(shownPanel(), nullptr);
    key(Qt::Key_Tab);
    type("ABC");
    key(Qt::Key_Return);
    QCOMPARE(modifiedRows(), QStringList{"4=Alle"});

    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(4)));
    w().A5->trigger();
    QCOMPARE(w().Editor->model().lineText(5), std::string("  ClientWidth = 300"));
    QCOMPARE(w().Editor->model().lineText(3), std::string("  Caption = 'Alle'"));
  }

  // Five captions from the keyboard alone: Enter on the table opens the
  // first string row's editor with its text selected, each Enter stores and
  // opens the next one, Ctrl+Shift+B writes them all back. The page stays,
  // the rows say written back and are unticked, the status bar counts them.
  // Shift+Enter goes back, Escape leaves a row as it was.
  void stringRowsTranslatedFromTheKeyboardOnly() {
    w().stringsOnly->setChecked(true);
    openForm("keys.dfm");
    QCOMPARE(selectedLine(), 3);  // the table opens at its first row shown
    w().stringlist->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ed().rpmemo));
    QCOMPARE(ed().rpmemo->textCursor().selectedText(), QString("Fenster"));
    for (const char* text : {"視窗", "計算", "立即計算", "結果", "數值"}) {
      type(QString::fromUtf8(text));
      key(Qt::Key_Return);
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w().stringlist));
    QCOMPARE(selectedLine(), 16);
    QCOMPARE(w().translatedCount->text(), QString("已翻譯 5 / 6"));
    key(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w().page->currentWidget(), w().tab2);
    const std::vector<std::string> lines = splitTextLines(w().Editor->model().text());
    QCOMPARE(lines[2], "  Caption = '" + big5("視窗") + "'");
    QCOMPARE(lines[6], "    Caption = '" + big5("計算") + "'");
    QCOMPARE(lines[7], "    Hint = '" + big5("立即計算") + "'");
    QCOMPARE(lines[8], std::string("    Font.Name = 'Arial'"));
    QCOMPARE(lines[11], "    Caption = '" + big5("結果") + "'");
    QCOMPARE(lines[15], "    TextHint = '" + big5("數值") + "'");
    QVERIFY(rowAt(16).writtenBack && !rowAt(16).checked);
    QCOMPARE(w().stringlist->topLevelItem(rowOfLine(16))->toolTip(0), QString("已回寫"));
    QCOMPARE(w().translatedCount->text(), QString("已翻譯 5 / 6"));

    key(Qt::Key_F2);
    type("x");
    key(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(selectedLine(), 12);
    QCOMPARE(w().stringlist->topLevelItem(rowOfLine(16))->toolTip(0), QString("已修改，未回寫"));
    type("y");
    key(Qt::Key_Escape);
    QCOMPARE(shownPanel(), nullptr);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w().stringlist));
    QCOMPARE(modifiedRows(), QStringList{"16=x"});
  }

  // A module's form shows only its string rows, each marked untranslated,
  // and the count of the form; the filter off shows all rows again. The
  // table starts at the top, its last column filling the width.
  void moduleFormShowsItsStringRows() {
    clickFile("sample.exe");
    clickForm("TMAINFORM");
    w().page->setCurrentWidget(w().tab2);
    QCoreApplication::processEvents();
    QVERIFY(w().stringsOnly->isChecked());
    int shown = 0;
    for (int i = 0; i < w().stringRowCount(); ++i) {
      const bool hidden = w().stringlist->topLevelItem(i)->isHidden();
      QCOMPARE(hidden, !w().stringRow(i).stringValue);
      if (!hidden) {
        if (shown++ == 0) QCOMPARE(w().selectedStringRow(), i);
        QCOMPARE(w().stringlist->topLevelItem(i)->toolTip(0), QString("未翻譯"));
      }
    }
    QVERIFY(shown > 0 && shown < w().stringRowCount());
    QCOMPARE(w().translatedCount->text(), QString("已翻譯 0 / %1").arg(shown));
    QCOMPARE(w().stringlist->verticalScrollBar()->value(), 0);
    QHeaderView* header = w().stringlist->header();
    QCOMPARE(header->sectionPosition(3) + header->sectionSize(3), w().stringlist->viewport()->width());
    const int selected = w().selectedStringRow();
    w().stringsOnly->setChecked(false);
    for (int i = 0; i < w().stringRowCount(); ++i) QVERIFY(!w().stringlist->topLevelItem(i)->isHidden());
    QCOMPARE(w().selectedStringRow(), selected);
  }

  // RCDATA entries that hold no form are greyed; choosing one says so once
  // and the form shown stays chosen.
  void entriesThatAreNoFormsAreMarked() {
    clickFile("forms32.exe");
    clickForm("TFORM1");
    const std::string text = w().Editor->model().text();
    QListWidgetItem* settings = w().ListBox1->findItems("SETTINGS", Qt::MatchExactly).value(0);
    QVERIFY(settings);
    QCOMPARE(settings->toolTip(), QString("不是窗體資源"));
    QVERIFY(w().ListBox1->findItems("TFORM1", Qt::MatchExactly).value(0)->toolTip().isEmpty());
    clickForm("SETTINGS");
    QCOMPARE(dialogs().messages().size(), 1);
    QVERIFY2(dialogs().messages()[0].contains("不是窗體資源"), qPrintable(dialogs().messages()[0]));
    QCOMPARE(w().ListBox1->currentItem()->text(), QString("TFORM1"));
    QCOMPARE(w().Editor->model().text(), text);
  }

  // An editor left open on one file takes nothing into the next one.
  void loadingAnotherFileClosesTheValueEditors() {
    openForm("work.dfm");
    press(8);  // Width = 121
    QCOMPARE(shownPanel(), ed().CHInt);
    QCOMPARE(ed().intedit->value(), 121);
    openForm("company.dfm");
    QCOMPARE(shownPanel(), nullptr);
    QTest::keyClick(ed().intedit, Qt::Key_Up);
    QCOMPARE(modifiedRows(), QStringList());

    openForm("work.dfm");
    press(4);
    type("Neu");
    QWidget* field = QApplication::focusWidget();
    openForm("company.dfm");
    QCOMPARE(shownPanel(), nullptr);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(modifiedRows(), QStringList());
  }

  // Values stored but not yet written back are given up only when the user
  // says so; No keeps the rows, the text and the highlight of what is shown.
  void pendingValuesAreNotDroppedWithoutAsking() {
    openForm("work.dfm");
    press(4);
    type("Haupt");
    key(Qt::Key_Return);
    const std::string text = w().Editor->model().text();

    dialogs().answers = {Answer::No};
    clickFile("company.dfm");
    QCOMPARE(dialogs().confirmations,
             QStringList{"字串編輯區有 1 列修改尚未回寫，載入其他內容會捨棄這些修改。要捨棄嗎？"});
    QCOMPARE(w().Editor->model().text(), text);
    QCOMPARE(modifiedRows(), QStringList{"4=Haupt"});
    QCOMPARE(selectedFile(), path("work.dfm"));

    // Extracting again would drop them as well.
    dialogs().answers = {Answer::Cancel};
    QTest::mouseClick(w().getstring, Qt::LeftButton);
    QCOMPARE(dialogs().confirmations.size(), 2);
    QCOMPARE(modifiedRows(), QStringList{"4=Haupt"});

    // Written back, they are no longer pending: the next load asks only
    // about the unsaved text.
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(4)));
    w().A5->trigger();
    dialogs().answers = {Answer::No};
    clickFile("company.dfm");
    QCOMPARE(dialogs().confirmations.size(), 3);
    QCOMPARE(dialogs().confirmations.last(), QString("檔案已經修改，您要儲存變更嗎？"));
  }

  // A caption over two lines is shown and edited whole; Ctrl+Enter types the
  // line break, which is written back as the form text writes one.
  void multiLineValuesAreEditedWhole() {
    openForm("work.dfm");
    press(12);  // 'Flaechendiagonale 1'#13#10'(dF1):'
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ed().rpmemo));
    QCOMPARE(ed().rpmemo->toPlainText(), QString("Flaechendiagonale 1\n(dF1):"));
    type("面對角線 1");
    key(Qt::Key_Return, Qt::ControlModifier);
    type("(dF1)：");
    key(Qt::Key_Return);
    QCOMPARE(rowAt(12).modified, big5("面對角線 1\r\n(dF1)："));
    press(13);  // Hint = 'Zwei'#13#10'Zeilen'
    type("兩");
    key(Qt::Key_Enter, Qt::ControlModifier);
    type("行");
    key(Qt::Key_Enter);
    press(12);
    QCOMPARE(ed().rpmemo->toPlainText(), QString("面對角線 1\n(dF1)："));
    key(Qt::Key_Escape);

    w().A5->trigger();
    QCOMPARE(w().Editor->model().lineText(11), "    Caption = '" + big5("面對角線 1") + "'#13#10'(dF1)" + big5("：") + "'");
    QCOMPARE(w().Editor->model().lineText(12), "    Hint = '" + big5("兩") + "'#13#10'" + big5("行") + "'");
    pressCtrlS();
    QVERIFY2(dialogs().messages().isEmpty(), qPrintable(dialogs().messages().join(" / ")));
    const std::vector<std::string> saved = splitTextLines(formFileText(path("work.dfm")));
    const auto lineAt = [&saved](std::size_t i) { return std::string_view(saved[i]); };
    QCOMPARE(wholeValue(saved.size(), lineAt, 11), std::u16string(u"面對角線 1\r\n(dF1)："));
    QCOMPARE(wholeValue(saved.size(), lineAt, 12), std::u16string(u"兩\r\n行"));
  }

  // Clicking the module again, or another of its forms, with pending rows.
  void pendingValuesOfAModuleForm() {
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    w().page->setCurrentWidget(w().tab2);
    const int captionLine = 5;  // "  Caption = '關於'"
    press(captionLine);
    type("About");
    key(Qt::Key_Return);
    const std::string text = w().Editor->model().text();

    dialogs().answers = {Answer::No, Answer::No};
    clickFile("sample.exe");
    w().WMDropFiles({path("sample.exe")});  // dropped again: loaded anew
    clickForm("TMAINFORM");
    QCOMPARE(dialogs().confirmations.size(), 2);
    QCOMPARE(w().Editor->model().text(), text);
    QCOMPARE(modifiedRows(), QStringList{"5=About"});
    QCOMPARE(w().ListBox1->currentItem()->text(), QString("TABOUTBOX"));

    dialogs().answers = {Answer::Yes};
    clickForm("TMAINFORM");
    QCOMPARE(modifiedRows(), QStringList());
    QCOMPARE(w().document().formName(), std::string("TMAINFORM"));
  }

  // A form of a module is saved under its name, at first beside the module,
  // then in the folder it went to; opened again, the module finds that
  // translation and opens it, or on request its own form.
  void savedTranslationIsFoundAgain() {
    clickFile("sample.exe");
    clickForm("TABOUTBOX");
    typeAt(14, 5, "My ");
    QVERIFY(QDir().mkpath(path("forms")));
    dialogs().saveAnswers.push_back({path("forms/TABOUTBOX.dfm"), 1});
    pressCtrlS();
    QCOMPARE(dialogs().saveDialogs.last().fileName, path("TABOUTBOX.dfm"));
    QCOMPARE(w().ListBox1->item(0)->text(), QString("TABOUTBOX（已翻譯）"));
    dialogs().saveAnswers.push_back({QString(), 1});
    w().A4->trigger();
    QCOMPARE(dialogs().saveDialogs.last().fileName, path("forms/TABOUTBOX.dfm"));

    m_window.reset();
    openWindow();
    clickFile("sample.exe");
    QStringList names;
    for (int i = 0; i < w().ListBox1->count(); ++i) names << w().ListBox1->item(i)->text();
    QCOMPARE(names, (QStringList{"TABOUTBOX（已翻譯）", "TMAINFORM", "TOPTIONSFORM"}));
    clickForm("TABOUTBOX（已翻譯）");
    QCOMPARE(w().Editor->model().lineText(4), "  Caption = 'My " + big5("關於") + "'");
    QCOMPARE(w().currentFileName(), path("forms/TABOUTBOX.dfm"));

    const QRect first = w().ListBox1->visualItemRect(w().ListBox1->item(0));
    emit w().ListBox1->customContextMenuRequested(first.center());
    QVERIFY(w().openSourceFormItem->isEnabled());
    w().openSourceFormItem->trigger();
    w().formListMenu->hide();
    QCOMPARE(w().Editor->model().lineText(4), "  Caption = '" + big5("關於") + "'");
  }

  // File > Open with unsaved text: the question first, then the chosen file
  // opens; Cancel leaves everything as it was, the file list's highlight too.
  void openCommandAsksThenOpens() {
    clickFile("work.dfm");
    typeAt(1, 2, "x");
    dialogs().openAnswers = {path("company.dfm")};
    dialogs().answers = {Answer::No};
    w().O1->trigger();
    QCOMPARE(dialogs().confirmations.size(), 1);
    QCOMPARE(w().Editor->model().lineText(0), std::string("object Company: TCompanyForm"));
    QCOMPARE(selectedFile(), path("company.dfm"));

    typeAt(1, 2, "x");
    const std::string edited = w().Editor->model().text();
    dialogs().openAnswers = {path("work.dfm")};
    dialogs().answers = {Answer::Cancel};
    w().O1->trigger();
    QCOMPARE(w().Editor->model().text(), edited);
    QCOMPARE(selectedFile(), path("company.dfm"));
    QVERIFY(w().modified());
  }

  // The undo, redo and save buttons follow the editor whichever way it is
  // driven; an undo scrolls only as far as the change.
  void toolbarFollowsTheEditor() {
    const auto states = [this] {
      return QList<bool>{w().Tundobtn->isEnabled(), w().Tredobtn->isEnabled(), w().Tsavebtn->isEnabled(),
                         w().S1->isEnabled()};
    };
    clickFile("long.dfm");
    QCOMPARE(states(), (QList<bool>{false, false, false, false}));
    typeAt(1, 2, "x");
    QCOMPARE(states(), (QList<bool>{true, false, true, true}));
    QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(states(), (QList<bool>{false, true, true, true}));
    QTest::keyClick(&w(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(states(), (QList<bool>{true, false, true, true}));
    dialogs().answers = {Answer::No};
    clickFile("work.dfm");
    QCOMPARE(states(), (QList<bool>{false, false, false, false}));

    clickFile("long.dfm");
    typeAt(11, 3, "0");  // the caret stays up there: Top = 200
    w().page->setCurrentWidget(w().tab2);
    const int line = 121;  // Caption = 'L35'
    QCOMPARE(w().Editor->model().lineText(line - 1), std::string("    Caption = 'L35'"));
    press(line);
    type("Z");
    key(Qt::Key_Return);
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(line)));
    w().B1->trigger();
    // The translator looks at the line written and takes it back.
    w().Editor->model().setCaret(5, line);
    QTest::mouseClick(w().Tundobtn, Qt::LeftButton);
    QCOMPARE(w().Editor->model().lineText(line - 1), std::string("    Caption = 'L35'"));
    QCOMPARE(w().Editor->model().lineText(2), std::string("  Top = 200"));
    QVERIFY2(w().Editor->topLine() <= line && line < w().Editor->topLine() + 5 + w().Editor->height() / 20,
             qPrintable(QString("top line %1").arg(w().Editor->topLine())));
    QCOMPARE(states(), (QList<bool>{true, true, true, true}));
  }

  // Writing the translated copy: the progress box is gone before the
  // result is shown, whichever result it is.
  void progressIsClosedBeforeTheResult() {
    m_window.reset();
    auto watch = std::make_unique<ProgressWatch>();
    ProgressWatch& seen = *watch;
    m_dialogs = std::move(watch);
    openWindow();
    seen.window = &w();
    QVERIFY(QDir().mkpath(path("forms")));
    clickFile("sample.exe");
    dialogs().folderAnswers = {path("forms")};
    dialogs().saveAnswers = {{path("sample-zh.exe"), 1}};
    w().translatedModuleItem->trigger();
    QVERIFY2(dialogs().informations.value(0).contains("沒有這個模組的窗體文件"), qPrintable(dialogs().messages().join(" / ")));

    writeBytes(path("forms/TABOUTBOX.dfm"), toFormFile(smallFormText()));
    dialogs().saveAnswers = {{path("sample-zh.exe"), 1}};
    w().translatedModuleItem->trigger();
    QVERIFY2(dialogs().informations.value(1).startsWith("已寫出翻譯後的模組"), qPrintable(dialogs().messages().join(" / ")));
    QCOMPARE(seen.underProgress, QStringList());
  }

  // KoerperCalc's main form translated entirely in the window, as a
  // translator does it: each row clicked and typed over, all written back,
  // saved under the form's name, and a translated copy of the module made.
  void wholeMainFormOfAModule() {
    const QString corpus = QStringLiteral(VC_CORPUS_DIR "/modules/DevTimmOfTO__KoerperCalc3.0__Project1.exe");
    if (!QFile::exists(corpus)) QSKIP("no corpus");
    copyModule(corpus, "Project1.exe");
    w().FileListBox1->update();
    clickFile("Project1.exe");
    clickForm("TFORM1");
    w().page->setCurrentWidget(w().tab2);
    const std::vector<std::string> source = splitTextLines(w().Editor->model().text());

    const struct {
      int line;
      const char* name;
      const char* text;  // "\n": Ctrl+Enter
    } rows[] = {
        {6, "Caption", "立體計算 - 第 2 版"},  {21, "Caption", "立體計算"},
        {34, "Caption", "長度："},             {41, "Caption", "寬度："},
        {48, "Caption", "高度："},             {55, "Caption", "體積："},
        {62, "Caption", "表面積："},           {69, "Caption", "側面積："},
        {167, "Caption", "面對角線 1\n(dF1)："}, {174, "Caption", "面對角線 2\n(dF2)："},
        {181, "Caption", "面對角線 3\n(dF3)："}, {188, "Caption", "體對角線 (dR)："},
        {197, "TextHint", "長方體的長度"},     {205, "TextHint", "長方體的寬度"},
        {213, "TextHint", "長方體的高度"},     {221, "Caption", "開始計算"},
        {237, "TextHint", "計算結果。"},       {259, "Caption", "清除所有數值"},
        {269, "Caption", "結束"},
    };
    std::vector<std::string> expected = source;
    for (const auto& r : rows) {
      QCOMPARE(rowAt(r.line).name, std::string(r.name));
      press(r.line);
      const QStringList lines = QString::fromUtf8(r.text).split('\n');
      for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) key(Qt::Key_Return, Qt::ControlModifier);
        type(lines[i]);
      }
      key(Qt::Key_Return);
      std::string value = big5(r.text);
      for (std::size_t at = 0; (at = value.find('\n', at)) != std::string::npos; at += 2) value.replace(at, 1, "\r\n");
      // The line keeps its own indentation.
      const std::string& was = source[static_cast<std::size_t>(r.line - 1)];
      expected[static_cast<std::size_t>(r.line - 1)] =
          was.substr(0, was.find_first_not_of(' ')) + std::string(r.name) + " = " + quotedFormString(value);
    }
    QCOMPARE(modifiedRows().size(), static_cast<int>(std::size(rows)));
    w().stringlist->setCurrentItem(w().stringlist->topLevelItem(rowOfLine(6)));
    w().A5->trigger();
    // Every line is its own or its own row's: no value went to another row.
    const std::vector<std::string> written = splitTextLines(w().Editor->model().text());
    QCOMPARE(written.size(), expected.size());
    for (std::size_t i = 0; i < written.size(); ++i)
      QVERIFY2(written[i] == expected[i], qPrintable(QString("line %1: %2").arg(i + 1).arg(QString::fromStdString(cp950::toUtf8(written[i])))));

    QVERIFY(QDir().mkpath(path("forms")));
    dialogs().saveAnswers.push_back({path("forms/TFORM1.dfm"), 1});
    pressCtrlS();
    QCOMPARE(dialogs().saveDialogs.last().fileName, path("TFORM1.dfm"));
    QVERIFY(!w().modified());
    dialogs().saveAnswers.push_back({path("Project1_zh.exe"), 1});
    w().translatedModuleItem->trigger();
    QVERIFY2(dialogs().informations.value(0).startsWith("已寫出翻譯後的模組"), qPrintable(dialogs().messages().join(" / ")));

    auto copy = modres::Module::open(QFile::encodeName(path("Project1_zh.exe")).toStdString());
    auto resource = copy->readFormResource("TFORM1");
    TMemoryStream text;
    BinaryToText(*resource, text);
    const std::vector<std::string> translated = splitTextLines(text.data());
    const auto lineAt = [&translated](std::size_t i) { return std::string_view(translated[i]); };
    QCOMPARE(translated.size(), source.size());
    for (const auto& r : rows)
      QCOMPARE(QString::fromStdU16String(wholeValue(translated.size(), lineAt, static_cast<std::size_t>(r.line - 1))),
               QString::fromUtf8(r.text).replace("\n", "\r\n"));
  }
};

QTEST_MAIN(TranslatingTest)
#include "TranslatingTest.moc"
