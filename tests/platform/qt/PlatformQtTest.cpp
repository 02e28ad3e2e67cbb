// The Qt adapters: settings in a folder of their own, the message boxes' real
// titles and buttons, the save dialog's filters, the shell hook.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/qt/Dialogs.h"
#include "platform/qt/KeyboardState.h"
#include "platform/qt/Settings.h"
#include "platform/qt/Shell.h"

using namespace vc;

class PlatformQtTest : public QObject {
  Q_OBJECT

 private:
  // Runs after the box opens: records its title and button texts and presses
  // the button whose text is `press`.
  void answerNextBox(const QString& press, QString* title, QStringList* buttons) {
    QTimer::singleShot(0, this, [=] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      *title = box->windowTitle();
      for (QAbstractButton* b : box->buttons()) {
        *buttons << b->text();
        if (b->text() == press) b->click();
      }
    });
  }

 private slots:
  void settingsLiveInTheirFolder() {
    QTemporaryDir dir;
    Settings::useFolder(dir.path());
    {
      Settings s;
      QVERIFY(s.isWritable());
      QCOMPARE(s.value("show"), QString());  // absent reads as empty
      QVERIFY(s.setValue("show", "True"));
    }
    Settings again;
    QCOMPARE(again.value("show"), QString("True"));
    QVERIFY(QFile::exists(dir.path() + "/Delphi/Vellumcraft.ini"));
    Settings::useFolder(QString());
  }

  void settingsReportAFailedWrite() {
    QTemporaryDir dir;
    // A file where the folder of the INI file should be: nothing can be stored.
    QFile blocker(dir.path() + "/Delphi");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings::useFolder(dir.path());
    Settings s;
    QVERIFY(!s.setValue("show", "True"));
    Settings::useFolder(QString());
  }

  void confirmationHasItsTitleAndButtons() {
    QtDialogs dialogs;
    QString title;
    QStringList buttons;
    answerNextBox("否(&N)", &title, &buttons);
    QCOMPARE(dialogs.confirm(nullptr, "檔案已經修改，您要儲存變更嗎？"), Dialogs::Answer::No);
    QCOMPARE(title, QString("確認"));
    buttons.sort();
    QStringList expected{"是(&Y)", "否(&N)", "取消"};
    expected.sort();
    QCOMPARE(buttons, expected);

    answerNextBox("取消", &title, &buttons);
    QCOMPARE(dialogs.confirm(nullptr, "x"), Dialogs::Answer::Cancel);
    answerNextBox("是(&Y)", &title, &buttons);
    QCOMPARE(dialogs.confirm(nullptr, "x"), Dialogs::Answer::Yes);
  }

  void informationHasTheApplicationTitleAndOneButton() {
    QGuiApplication::setApplicationDisplayName("Vellumcraft 漢化輔助編輯器");
    QtDialogs dialogs;
    QString title;
    QStringList buttons;
    answerNextBox("確定", &title, &buttons);
    dialogs.information(nullptr, "無法開啟不支援的文件！");
    QCOMPARE(title, QString("Vellumcraft 漢化輔助編輯器"));
    QCOMPARE(buttons, QStringList{"確定"});
  }

  // The save dialog asks before it replaces a file.
  void saveDialogConfirmsOverwriting() {
    QTemporaryDir dir;
    QFile existing(dir.filePath("TFORM1.dfm"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QtDialogs dialogs;
    SaveDialogState state;
    state.filter = "窗體文件(*.DFM)|*.dfm";
    state.fileName = existing.fileName();
    bool seen = false, confirms = false;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      seen = true;
      confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      dialog->reject();
    });
    QVERIFY(!dialogs.save(nullptr, state));
    QVERIFY(seen);
    QVERIFY(confirms);
  }

  void saveFilterBecomesQtNameFilters() {
    QCOMPARE(QtDialogs::nameFilters("支援格式(*.DFM;*.TXT)|*.dfm;*.txt|文字文件(*.TXT)|*.txt|窗體文件(*.DFM)|*.dfm"),
             (QStringList{"支援格式(*.DFM;*.TXT) (*.dfm *.txt)", "文字文件(*.TXT) (*.txt)",
                          "窗體文件(*.DFM) (*.dfm)"}));
    QCOMPARE(QtDialogs::nameFilters("odd|"), QStringList{"odd ()"});
    QCOMPARE(QtDialogs::nameFilters(""), QStringList{});
  }

  void scriptedDialogsRecordUnexpectedQuestions() {
    ScriptedDialogs d;
    d.answers.push_back(Dialogs::Answer::Yes);
    QCOMPARE(d.confirm(nullptr, "a"), Dialogs::Answer::Yes);
    QCOMPARE(d.confirm(nullptr, "b"), Dialogs::Answer::Cancel);
    QCOMPARE(d.unexpected, QStringList{"b"});
    SaveDialogState state;
    state.fileName = "窗體文件.dfm";
    d.saveAnswers.push_back({"/tmp/x.txt", 2});
    QVERIFY(d.save(nullptr, state));
    QCOMPARE(state.fileName, QString("/tmp/x.txt"));
    QCOMPARE(state.filterIndex, 2);
    QCOMPARE(d.saveDialogs.first().fileName, QString("窗體文件.dfm"));
    d.saveAnswers.push_back({});
    QVERIFY(!d.save(nullptr, state));
    QCOMPARE(state.fileName, QString("/tmp/x.txt"));
  }

  void shellOpensRelativeToTheCurrentDirectory() {
    QUrl opened;
    shell::setOpenHandler([&](const QUrl& u) { opened = u; return true; });
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(shell::openFile("quorlent.hlp"));
    QDir::setCurrent(old);
    QCOMPARE(opened, QUrl::fromLocalFile(QDir(dir.path()).absoluteFilePath("quorlent.hlp")));
    shell::setOpenHandler({});
  }

  void togglesReadOffWithoutX11() {
    // The offscreen platform cannot tell; both read as off.
    KeyboardToggles t = keyboardToggles();
    QVERIFY(!t.numLock);
    QVERIFY(!t.capsLock);
  }
};

QTEST_MAIN(PlatformQtTest)
#include "PlatformQtTest.moc"
