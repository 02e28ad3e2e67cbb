// The window as a user meets it: paths typed on the command line, damaged
// modules, clicks that must land where they were aimed, rows that show every
// glyph, the open command, the title and the layout kept between runs.
#include <QAction>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>

#include "workbench/Startup.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

namespace {

// The darkness of the ink in a part of an image: the sum over its pixels of
// how far each is from the background.
qint64 inkIn(const QImage& image, const QRect& area) {
  const QRgb background = image.pixel(area.topLeft());
  qint64 ink = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      ink += qAbs(qGray(image.pixel(x, y)) - qGray(background));
  return ink;
}

// The same, for text drawn with all the room it needs.
qint64 inkOfText(const QFont& font, const QString& text) {
  const QFontMetrics fm(font);
  QImage image(fm.horizontalAdvance(text) + 20, fm.height() * 3, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(10, fm.height() + fm.ascent(), text);
  p.end();
  return inkIn(image, image.rect());
}

}  // namespace

class WindowUseTest : public WorkbenchFixture {
  Q_OBJECT

  // A click where the user points, on whatever lies there at that moment.
  void clickInWindow(const QPoint& at, bool secondOfDouble = false) {
    if (secondOfDouble) QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
    QTest::mouseClick(w().windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
  }

  QPoint inWindow(QListWidget* list, const QString& name) {
    QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).value(0);
    return item ? list->viewport()->mapTo(&w(), list->visualItemRect(item).center()) : QPoint();
  }

 private slots:
  void init() { setUpFolder(); }
  void cleanup() { finishTest(); }

  void commandLinePathsAreResolvedAgainstTheCurrentFolder_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("error");
    QTest::newRow("relative") << "samples/sample.exe" << QString();
    QTest::newRow("dot") << "./samples/sample.exe" << QString();
    QTest::newRow("missing") << "samples/missing.exe" << "無效的文件名 - samples/missing.exe";
  }
  void commandLinePathsAreResolvedAgainstTheCurrentFolder() {
    QFETCH(QString, argument);
    QFETCH(QString, error);
    QVERIFY(QDir(m_dir->path()).mkdir("samples"));
    copyModule(path("sample.exe"), "samples/sample.exe");
    openWindow({argument});
    if (error.isEmpty()) {
      QTRY_COMPARE(w().ListBox1->count(), 3);
      QCOMPARE(selectedFile(), path("samples/sample.exe"));
      QVERIFY(dialogs().messages().isEmpty());
    } else {
      QTRY_COMPARE(dialogs().errors, QStringList{error});
    }
  }

  void damagedModulesCannotBeLoaded_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<int>("kept");
    // A cut real module: CorpusTest.
    QTest::newRow("first 4000 bytes") << QStringLiteral(VC_SOURCE_DIR "/samples/sample.exe") << 4000;
  }
  void damagedModulesCannotBeLoaded() {
    QFETCH(QString, module);
    QFETCH(int, kept);
    const QByteArray whole = readBytes(module);
    QVERIFY(whole.size() > kept);
    writeBytes(path("cut.exe"), std::string_view(whole.constData(), static_cast<std::size_t>(kept)));
    openWindow();
    clickFile("notes.txt");
    clickFile("cut.exe");
    QCOMPARE(dialogs().informations, QStringList{Tnewdfm::kCannotLoadModule});
    QCOMPARE(w().ListBox1->count(), 0);
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
  }

  void panelsStayUnderThePointerWhenAModuleOpens() {
    openWindow();
    const QRect folders = w().DirectoryListBox1->geometry();
    const QPoint sample = inWindow(w().FileListBox1, "sample.exe");
    clickInWindow(sample);
    QVERIFY(w().list->isVisible());
    QCOMPARE(w().ListBox1->count(), 3);
    QCOMPARE(w().DirectoryListBox1->geometry(), folders);
    QCOMPARE(inWindow(w().FileListBox1, "sample.exe"), sample);
  }

  void doubleClickOnAModuleOpensItLikeOneClick() {
    // Enough files that the module sits at the bottom of the list, where the
    // form list is about to appear.
    for (int i = 0; i < 40; ++i) writeBytes(path(QStringLiteral("a%1.txt").arg(i, 2, 10, QLatin1Char('0'))), "x");
    copyModule(path("sample.exe"), "zz.exe");
    openWindow();
    w().FileListBox1->scrollToBottom();
    const QPoint at = inWindow(w().FileListBox1, "zz.exe");
    clickInWindow(at);
    clickInWindow(at, true);
    QTRY_VERIFY(w().list->isVisible());
    QCOMPARE(selectedFile(), path("zz.exe"));
    QCOMPARE(w().ListBox1->count(), 3);
    QCOMPARE(w().Editor->model().text(), std::string("\r\n"));  // no form chosen by the second click
    const QRect row = w().FileListBox1->visualItemRect(w().FileListBox1->currentItem());
    QVERIFY(w().FileListBox1->viewport()->rect().contains(row));
    QVERIFY(dialogs().messages().isEmpty());
  }

  void listRowsShowEveryGlyph() {
    for (const char* name : {"ab", "a__b"}) {
      QVERIFY(QDir(m_dir->path()).mkdir(name));
      writeBytes(path(QString(name) + ".txt"), "x");
    }
    openWindow();
    w().list->show();
    w().ListBox1->addItems({"ab.txt", "a__b.txt"});
    QCoreApplication::processEvents();
    for (QListWidget* list : {static_cast<QListWidget*>(w().FileListBox1), static_cast<QListWidget*>(w().ListBox1),
                              static_cast<QListWidget*>(w().DirectoryListBox1)}) {
      list->setCurrentItem(nullptr);
      list->clearSelection();
      const QImage image = list->viewport()->grab().toImage();
      auto rowInk = [&](const QString& name) {
        for (int i = 0; i < list->count(); ++i)
          if (list->item(i)->text().trimmed() == name || list->item(i)->text() == name + ".txt")
            return inkIn(image, list->visualItemRect(list->item(i)));
        return qint64{-1};
      };
      // The underscores add all their ink: the row cuts none of it off.
      const qint64 underscores = inkOfText(list->font(), QStringLiteral("__"));
      QVERIFY2(rowInk("a__b") - rowInk("ab") > underscores * 8 / 10, qPrintable(list->objectName()));
    }
  }

  void openCommandOpensAsTheFilePanelWould() {
    QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
    writeBytes(path("elsewhere/b.dfm"), toFormFile(smallFormText()));
    openWindow();
    dialogs().openAnswers = {path("elsewhere/b.dfm")};
    QTest::keyClick(&w(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialogs().openDialogs.value(0).directory, m_dir->path());
    QCOMPARE(w().Editor->model().text(), smallFormText());
    QCOMPARE(selectedFile(), path("elsewhere/b.dfm"));
    QCOMPARE(w().windowTitle(), QString("Delphi 窗體文件編輯輔助程式新界面 - b.dfm"));

    w().setSelectedPath(path("sample.exe"));
    clickForm("TMAINFORM");
    QCOMPARE(w().windowTitle(), QString("Delphi 窗體文件編輯輔助程式新界面 - sample.exe - TMAINFORM"));
    // The dialog starts in the folder of the last file it opened, wherever
    // the file panel went since, in this run and the next.
    dialogs().openAnswers = {QString()};
    w().O1->trigger();
    QCOMPARE(dialogs().openDialogs.value(1).directory, path("elsewhere"));
    m_window.reset();
    openWindow();
    dialogs().openAnswers = {QString()};
    w().O1->trigger();
    QCOMPARE(dialogs().openDialogs.value(2).directory, path("elsewhere"));
  }

  void layoutIsKeptBetweenRuns() {
    openWindow();
    w().resize(1100, 720);
    w().Sp->setSizes({300, 800});
    QCoreApplication::processEvents();
    const int panel = w().Panel1->width();
    w().T2->trigger();
    w().F2->trigger();
    QVERIFY(w().close());
    m_window = std::make_unique<Tnewdfm>(*m_dialogs, QStringList());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(w().size(), QSize(1100, 720));
    QVERIFY(w().TT1->isHidden() && !w().T2->isChecked());
    QVERIFY(w().Panel1->isHidden() && !w().F2->isChecked());
    w().F2->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(w().Panel1->width(), panel);
  }

  void firstStartHasARoomyWindow() {
    Tnewdfm window(dialogs(), {});
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(window.width() >= qMin(1024, room.width()) && window.height() >= qMin(700, room.height()));
    QVERIFY(room.contains(window.geometry()));
  }

  void qtDialogsSpeakTraditionalChinese() {
    QVERIFY(installQtTranslations());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("取消"));
  }

  void readmeCommandStartsWithoutAnError() {
    QProcess app;
    app.setWorkingDirectory(QStringLiteral(VC_SOURCE_DIR));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VC_STARTUP_CHECK", "1");
    env.insert("XDG_CONFIG_HOME", path("config"));
    app.setProcessEnvironment(env);
    app.start(QStringLiteral(VC_VELLUMCRAFT), {"samples/sample.exe"});
    QVERIFY(app.waitForFinished(60000));
    const QString output = QString::fromUtf8(app.readAllStandardOutput());
    QVERIFY2(app.exitCode() == 0, qPrintable(output + app.readAllStandardError()));
    QVERIFY2(output.contains(" - sample.exe"), qPrintable(output));
  }
};

QTEST_MAIN(WindowUseTest)
#include "WindowUseTest.moc"
