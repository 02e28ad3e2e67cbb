// The window shell: start-up decision, menus, toolbar layouts, status bar,
// view toggles, help, dropped files, the command-line file, and the string
// page's extraction.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "auxwindows/HelpWindow.h"
#include "platform/Exception.h"
#include "workbench/Startup.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class ShellTest : public WorkbenchFixture {
  Q_OBJECT

  QAction* menuItem(const QString& menu, const QString& text) {
    for (QAction* top : w().menuBar()->actions())
      if (top->text() == menu)
        for (QAction* a : top->menu()->actions())
          if (a->text() == text) return a;
    return nullptr;
  }

  void drop(const QStringList& files) {
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    QMimeData mime;
    mime.setUrls(urls);
    QPoint at = w().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w(), &dropEvent);
    QCoreApplication::processEvents();
  }

 private slots:
  void init() { setUpFolder(); }
  void cleanup() { finishTest(); }

  void startupDecisionFollowsShow_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("after");
    QTest::newRow("first start") << QString() << true << "True";
    QTest::newRow("True") << "True" << true << "True";
    QTest::newRow("lower-case true") << "true" << false << "true";
    QTest::newRow("False") << "False" << false << "False";
  }
  void startupDecisionFollowsShow() {
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    QFETCH(QString, after);
    Settings settings;
    if (!stored.isEmpty()) QVERIFY(settings.setValue("show", stored));
    QCOMPARE(tipWindowAtStartup(settings), shown);
    QCOMPARE(Settings().value("show"), after);
  }

  void windowShellAtStart() {
    openWindow();
    QCOMPARE(w().windowTitle(), QString("Delphi 窗體文件編輯輔助程式新界面"));
    struct Item {
      const char* menu;
      const char* text;
      QKeySequence key;
    } items[] = {
        {"檔案(&F)", "存檔(&S)", QKeySequence("Ctrl+S")},
        {"檔案(&F)", "另存新檔(&A)...", QKeySequence()},
        {"檔案(&F)", "結束(&X)", QKeySequence()},
        {"編輯(&E)", "復原(&U)", QKeySequence("Ctrl+Z")},
        {"編輯(&E)", "重做(&R)", QKeySequence("Ctrl+R")},
        {"編輯(&E)", "剪下(&T)", QKeySequence("Ctrl+X")},
        {"編輯(&E)", "複製(&C)", QKeySequence("Ctrl+C")},
        {"編輯(&E)", "貼上(&P)", QKeySequence("Ctrl+V")},
        {"編輯(&E)", "刪除(&D)", QKeySequence("Del")},
        {"編輯(&E)", "全部選擇(&A)", QKeySequence("Ctrl+A")},
        {"編輯(&E)", "設為書簽", QKeySequence()},
        {"編輯(&E)", "前往書籤", QKeySequence()},
        {"編輯(&E)", "搜尋下一個(&N)", QKeySequence("F3")},
        {"檢視(&V)", "工具列(&T)", QKeySequence("Ctrl+T")},
        {"檢視(&V)", "置換列(&R)", QKeySequence("F4")},
        {"檢視(&V)", "文件目錄(&F)", QKeySequence("Ctrl+F")},
        {"檢視(&V)", "文字標籤(&A)", QKeySequence("Ctrl+Y")},
        {"檢視(&V)", "預覽窗體(&Y)", QKeySequence("F2")},
        {"說明(&H)", "使用指南(&H)", QKeySequence("F1")},
        {"說明(&H)", "每日小秘訣(&D)", QKeySequence()},
        {"說明(&H)", "關於(&A)...", QKeySequence()},
    };
    for (const Item& i : items) {
      QAction* a = menuItem(i.menu, i.text);
      QVERIFY2(a, i.text);
      QCOMPARE(a->shortcut(), i.key);
    }
    QVERIFY(w().T2->isChecked() && w().F2->isChecked() && w().A3->isChecked());
    QVERIFY(!w().R2->isChecked());
    QVERIFY(!w().S1->isEnabled() && !w().Tsavebtn->isEnabled());
    QVERIFY(!w().Tundobtn->isEnabled() && !w().Tredobtn->isEnabled());
    QVERIFY(w().rptoolbar->isHidden());
    QVERIFY(w().list->isHidden());
    QCOMPARE(w().TT1->windowTitle(), QString("Vellumcraft 工具列"));
    QCOMPARE(w().rptoolbar->windowTitle(), QString("置換工具列"));
    QCOMPARE(w().page->tabText(0), QString("程式碼編輯區"));
    QCOMPARE(w().page->tabText(1), QString("字串編輯區"));
    QCOMPARE(w().page->tabText(2), QString("原始碼內容"));
    QCOMPARE(w().Tsavebtn->text(), QString("儲　存"));
    QCOMPARE(w().Tsavebtn->toolTip(), QString("儲存"));
    QCOMPARE(w().Tsavebtn->statusTip(), QString("儲存對檔案所做的更動"));
    QCOMPARE(w().Tundobtn->toolTip(), QString("復原(Ctrl + Z)"));
    QCOMPARE(w().dfbtn->text(), QString("文件目錄"));
    QCOMPARE(w().getstring->toolTip(), QString("提取字串"));

    // Status bar: widths, the hint panel and the keyboard panels.
    const int widths[5] = {150, 250, 35, 35, 35};
    for (int i = 0; i < 5; ++i) QCOMPARE(w().panels[i]->width(), widths[i]);
    QCOMPARE(w().panels[1]->text(), QString("提示"));
    QCOMPARE(w().panels[2]->text(), QString("方向"));  // no lock state offscreen
    QCOMPARE(w().panels[3]->text(), QString("插入"));
    QCOMPARE(w().panels[4]->text(), QString("小寫"));
    QVERIFY(!w().panels[5]->text().isEmpty());

    // The filter box: six entries, the first covering the five kinds.
    QCOMPARE(w().FilterComboBox1->count(), 6);
    QCOMPARE(w().FilterComboBox1->itemText(0), QString("所有支援(*.DFM;*.EXE;*.CPL;*.DLL;*.DRV)"));
    QCOMPARE(w().FileListBox1->mask(), QString("*.dfm;*.exe;*.cpl;*.dll;*.txt"));
    QCOMPARE(w().FileListBox1->directory(), m_dir->path());
    QVERIFY(w().DriveComboBox1->count() >= 1);
    QCOMPARE(w().DriveComboBox1->itemText(0), QDir::rootPath());
  }

  void settingsThatCannotBeStored() {
    QFile blocker(path("settings"));  // a file where the settings folder belongs
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    openWindow();
    QCOMPARE(dialogs().errors, QStringList{"建立主鍵 Vellumcraft 失敗"});
    QVERIFY(!w().programFolder().isEmpty());
    QCOMPARE(w().panels[2]->text(), QString("方向"));
    QVERIFY_THROWS_EXCEPTION(vc::Exception, tipWindowAtStartup(*w().settings()));
  }

  void insertKeyShowsTheMode() {
    openWindow();
    w().Editor->setFocus();
    QTest::keyClick(w().Editor, Qt::Key_Insert);
    QTRY_COMPARE(w().panels[3]->text(), QString("覆寫"));
    QTest::keyClick(w().Editor, Qt::Key_Insert);
    QTRY_COMPARE(w().panels[3]->text(), QString("插入"));
  }

  void fileListShowsTheMaskedFiles() {
    writeBytes(path("FORM2.DFM"), "x");
    writeBytes(path("readme.md"), "x");
    writeBytes(path(".hidden.txt"), "x");
    QVERIFY(QDir(m_dir->path()).mkdir("folder.txt"));
    openWindow();
    QStringList shown;
    for (int i = 0; i < w().FileListBox1->count(); ++i) shown << w().FileListBox1->item(i)->text();
    QCOMPARE(shown, (QStringList{"form1.dfm", "FORM2.DFM", "forms32.exe", "noforms64.exe", "notes.txt",
                                 "other.txt", "sample.exe"}));
    w().FilterComboBox1->setCurrentIndex(5);  // 文字檔案(*.TXT)
    QCOMPARE(w().FileListBox1->count(), 2);
  }

  void viewToggles() {
    openWindow();
    w().T2->trigger();
    QVERIFY(w().TT1->isHidden());
    QVERIFY(!w().T2->isChecked());
    w().T2->trigger();
    QVERIFY(!w().TT1->isHidden());
    QVERIFY(w().T2->isChecked());

    QTest::mouseClick(w().rpbtn, Qt::LeftButton);
    QVERIFY(!w().rptoolbar->isHidden());
    QVERIFY(w().R2->isChecked());

    QTest::mouseClick(w().dfbtn, Qt::LeftButton);
    QVERIFY(w().Panel1->isHidden());
    QVERIFY(!w().F2->isChecked());
    w().F2->trigger();
    QVERIFY(!w().Panel1->isHidden());
    QTest::mouseClick(w().panelClose, Qt::LeftButton);
    QVERIFY(w().Panel1->isHidden());
    QCOMPARE(w().panelClose->toolTip(), QString("關閉清單"));

    // Ctrl+Y in the editor toggles the captions and deletes no line.
    w().Panel1->show();
    w().Editor->model().setText("one\r\ntwo\r\n");
    w().Editor->setFocus();
    QTest::keyClick(w().Editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w().Editor->model().lineCount(), 2);
    QVERIFY(!w().A3->isChecked());
    QCOMPARE(w().Tsavebtn->text(), QString());
    QCOMPARE(w().Tsavebtn->size(), QSize(26, 26));
    QCOMPARE(w().Panel7->size(), QSize(220, 22));
    QCOMPARE(w().showtext->toolTip(), QString("顯示文字標籤"));
    QCOMPARE(w().no->pos(), QPoint(149, 2));
    QTest::mouseClick(w().showtext, Qt::LeftButton);
    QVERIFY(w().A3->isChecked());
    QCOMPARE(w().Tsavebtn->text(), QString("儲　存"));
    QCOMPARE(w().Tsavebtn->size(), QSize(50, 40));
    QCOMPARE(w().searchbtn->size(), QSize(55, 40));
    QCOMPARE(w().dfbtn->text(), QString("文件欄"));  // not the stored 文件目錄
    QCOMPARE(w().searchLabel->y(), 4);
    QCOMPARE(w().no->pos(), QPoint(45, 22));
    QCOMPARE(w().showtext->toolTip(), QString("隱藏文字標籤"));
  }

  void helpWithoutTheManualSaysSo() {
    datafiles::setExtraRoot(path("nowhere"));
    openWindow();
    if (!HelpWindow::manualFolder().isEmpty()) QSKIP("a manual lies beside the test program");
    QTest::keyClick(&w(), Qt::Key_F1);
    QCOMPARE(dialogs().errors.size(), 1);
    QVERIFY(dialogs().errors.first().startsWith("找不到使用指南"));
    QVERIFY(m_opened.isEmpty());
  }

  void hintsReachStatusPanelOne() {
    openWindow();
    QStatusTipEvent tip(w().Tsavebtn->statusTip());
    QApplication::sendEvent(w().Tsavebtn, &tip);
    QCOMPARE(w().panels[1]->text(), QString("儲存對檔案所做的更動"));
  }

  void caretPositionInPanelZero() {
    openWindow();
    w().Editor->model().setText(std::string(20, '\n'));
    w().Editor->model().setCaret(7, 12);
    QCOMPARE(w().panels[0]->text(), QString("目前第12行  第7列"));
  }

  // The clipboard commands act on `Editor` from each place that offers them,
  // even while the source view has the focus.
  void editCommandsActOnTheEditorFromEveryPlace_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("cut");
    QTest::addColumn<QString>("paste");
    QTest::newRow("Edit menu") << "menu" << "剪下(&T)" << "貼上(&P)";
    QTest::newRow("popup menu") << "popup" << "剪下(&X)" << "貼上(&P)";
    QTest::newRow("editor toolbar") << "toolbar" << "剪下" << "貼上";
  }
  void editCommandsActOnTheEditorFromEveryPlace() {
    QFETCH(QString, place);
    QFETCH(QString, cut);
    QFETCH(QString, paste);
    openWindow();
    clickFile("notes.txt");
    const std::string loaded = w().Editor->model().text();
    auto find = [&](const QString& text) {
      if (place == "menu") return menuItem("編輯(&E)", text);
      for (QAction* a : (place == "popup" ? w().editpop : static_cast<QWidget*>(w().editbar))->actions())
        if (a->text() == text) return a;
      return static_cast<QAction*>(nullptr);
    };
    QVERIFY(find(cut) && find(paste));
    w().seditor->setFocus();
    w().Editor->selectAll();
    find(cut)->trigger();
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));
    QVERIFY(w().modified());
    find(paste)->trigger();
    QCOMPARE(w().Editor->model().text(), loaded);
    QCOMPARE(w().seditor->model().text(), loaded);
  }

  void commandLineFileOpensWhenShown() {
    openWindow({path("form1.dfm")});
    QTRY_COMPARE(w().Editor->model().text(), smallFormText());
    QCOMPARE(selectedFile(), path("form1.dfm"));
  }

  void commandLineWildcardBecomesTheMask() {
    openWindow({path("*.txt")});
    QTRY_COMPARE(w().FileListBox1->mask(), QString("*.txt"));
    QCOMPARE(w().FileListBox1->count(), 2);
    QCOMPARE(selectedFile(), QString());
  }

  void commandLineFileThatDoesNotExist() {
    openWindow({path("missing.dfm")});
    QTRY_COMPARE(dialogs().errors, QStringList{"無效的文件名 - " + path("missing.dfm")});
    QCOMPARE(selectedFile(), QString());
  }

  void droppedFilesOpenTheFirstOnly() {
    openWindow();
    drop({path("notes.txt"), path("form1.dfm")});
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
    QCOMPARE(selectedFile(), path("notes.txt"));
    // Dropping the selected file again reloads it.
    w().Editor->model().setText("replaced by code\r\n");
    drop({path("notes.txt")});
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
    // A file from another folder: the panel follows it, and a mask that hides
    // the file becomes its name.
    QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
    writeBytes(path("elsewhere/b.dfmx"), toFormFile(smallFormText()));
    drop({path("elsewhere/b.dfmx")});
    QCOMPARE(w().FileListBox1->directory(), path("elsewhere"));
    QCOMPARE(w().FileListBox1->mask(), QString("b.dfmx"));
    QCOMPARE(w().Editor->model().text(), smallFormText());
    QCOMPARE(QDir::currentPath(), path("elsewhere"));
  }

  void droppedHiddenFileIsNamedInvalid() {
    writeBytes(path(".hidden.txt"), "x\r\n");
    openWindow();
    drop({path(".hidden.txt")});
    QCOMPARE(dialogs().errors, QStringList{"無效的文件名 - " + path(".hidden.txt")});
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));
  }

  void dropWithUnsavedChangesAsksOnce() {
    openWindow();
    drop({path("notes.txt")});
    w().Editor->setFocus();
    QTest::keyClicks(w().Editor, "x");
    dialogs().answers.push_back(Dialogs::Answer::No);
    drop({path("other.txt")});
    QCOMPARE(dialogs().confirmations.size(), 1);
    QCOMPARE(w().Editor->model().lineText(0), std::string("x<b>first</b>"));
  }

  void extractionRowsFollowTheExamples() {
    openWindow();
    const std::string text = "object Form1: TForm1\r\n"
                             "  Left = 127\r\n"
                             "  Caption = 'Hello'\r\n"
                             "  Font.Style = [fsBold]\r\n"
                             "  Hint = ' Save '\r\n"
                             "  Caption = 'It''s'\r\n"
                             "  Caption = 'abc'#13#10'def'\r\n"
                             "  Glyph.Data = {\r\n"
                             "    'a=b'\r\n"
                             "  Caption = '" + big5("中文") + "'\r\n"
                             "end\r\n";
    w().Editor->model().setText(text);
    QVERIFY(!w().stringlist->isEnabled());
    QVERIFY(!w().stringTableChanged());
    QTest::mouseClick(w().getstring, Qt::LeftButton);
    QVERIFY(w().stringlist->isEnabled());
    QCOMPARE(w().page->currentWidget(), w().tab1);  // the page shown stays
    const QStringList expected[] = {
        {"2", "Left", "127"},       {"3", "Caption", "Hello"}, {"4", "Font.Style", "[fsBold]"},
        {"5", "Hint", "Save"},      {"6", "Caption", "It"},    {"7", "Caption", "abc"},
        {"8", "Glyph.Data", "{"},   {"9", "", "a=b"},          {"10", "Caption", "中文"},
    };
    QCOMPARE(w().stringlist->topLevelItemCount(), 9);
    for (int i = 0; i < 9; ++i) {
      QTreeWidgetItem* item = w().stringlist->topLevelItem(i);
      QCOMPARE((QStringList{item->text(0), item->text(1), item->text(2)}), expected[i]);
      QCOMPARE(item->text(3), QString());
      QCOMPARE(item->checkState(0), Qt::Unchecked);
      QVERIFY(!(item->flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(w().stringRow(8).value, big5("中文"));
    QCOMPARE(w().selectedStringRow(), 0);  // the table opens at its first row
    QVERIFY(w().stringTableChanged());

    // Columns: captions, widths, no sorting, one whole row selected.
    QHeaderView* h = w().stringlist->header();
    QCOMPARE(w().stringlist->headerItem()->text(0), QString("行數"));
    QCOMPARE(w().stringlist->headerItem()->text(1), QString("類型"));
    QCOMPARE(w().stringlist->headerItem()->text(2), QString("原始字串"));
    QCOMPARE(w().stringlist->headerItem()->text(3), QString("修改後字串"));
    QCOMPARE(h->sectionSize(0), 84);  // tick, mark and line number
    QCOMPARE(h->sectionSize(1), 100);
    QCOMPARE(h->sectionSize(2), 200);
    QVERIFY(h->stretchLastSection() && h->sectionSize(3) >= 100);  // 修改後字串 takes the room left
    h->resizeSection(2, 20);
    QCOMPARE(h->sectionSize(2), 100);
    QVERIFY(!h->sectionsClickable());
    QVERIFY(!w().stringlist->isSortingEnabled());
    QCOMPARE(w().stringlist->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(w().stringlist->selectionBehavior(), QAbstractItemView::SelectRows);

    // A second extraction drops modified values and ticks, once the user
    // agrees to give up those not written back.
    w().setStringModified(0, "128");
    w().setStringChecked(0, true);
    QVERIFY(w().stringRow(0).checked && w().stringRow(0).hasModified);
    dialogs().answers.push_back(Dialogs::Answer::Yes);
    QTest::mouseClick(w().getstring, Qt::LeftButton);
    QCOMPARE(dialogs().confirmations.size(), 1);
    QVERIFY(!w().stringRow(0).checked && !w().stringRow(0).hasModified);
    QCOMPARE(w().stringRowCount(), 9);

    // An empty text: an enabled table without rows.
    w().Editor->model().clear();
    QTest::mouseClick(w().getstring, Qt::LeftButton);
    QCOMPARE(w().stringRowCount(), 0);
    QCOMPARE(w().selectedStringRow(), -1);
    QVERIFY(w().stringlist->isEnabled());
  }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
