#pragma once
// A main window per test, in a temporary folder of its own holding copies of
// the test modules and form files made from text, with scripted dialogs.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <memory>

#include "editor/widget/CodeEditor.h"
#include "formstream/FormFile.h"
#include "formstream/Stream.h"
#include "platform/Cp950.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/DataFiles.h"
#include "platform/qt/Settings.h"
#include "platform/qt/Shell.h"
#include "widgets/DirectoryListBox.h"
#include "widgets/DriveComboBox.h"
#include "widgets/FileListBox.h"
#include "widgets/FilterComboBox.h"
#include "workbench/newform.h"

namespace vc::test {

inline std::string big5(const char* utf8) { return *cp950::fromUtf8(utf8); }

inline QByteArray readBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

inline void writeBytes(const QString& path, std::string_view bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The form text of a form file (what `formtext dfm2txt` prints).
inline std::string formFileText(const QString& path) {
  QByteArray bytes = readBytes(path);
  TReadOnlyMemoryStream in(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  TMemoryStream out;
  FormFileToText(in, out);
  return out.data();
}

inline std::string toFormFile(const std::string& text) {
  TReadOnlyMemoryStream in(text);
  TMemoryStream out;
  TextToFormFile(in, out);
  return out.data();
}

// A small form with Big5 captions.
inline std::string smallFormText() {
  return "object Form1: TForm1\r\n"
         "  Left = 10\r\n"
         "  Caption = '" + big5("中文視窗") + "'\r\n"
         "  object Button1: TButton\r\n"
         "    Caption = 'OK'\r\n"
         "  end\r\n"
         "end\r\n";
}

class WorkbenchFixture : public QObject {
 protected:
  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<ScriptedDialogs> m_dialogs;
  std::unique_ptr<Tnewdfm> m_window;
  QString m_oldCurrent;
  QList<QUrl> m_opened;
  // Modules copied into the folder, with their bytes and times at the start.
  struct Snapshot {
    QByteArray bytes;
    QDateTime modified;
  };
  std::map<QString, Snapshot> m_modules;

  QString path(const QString& name) const { return m_dir->filePath(name); }
  Tnewdfm& w() { return *m_window; }
  ScriptedDialogs& dialogs() { return *m_dialogs; }

  void copyModule(const QString& from, const QString& name) {
    QVERIFY(QFile::copy(from, path(name)));
    // Old times make a change of the time visible.
    QFile f(path(name));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
    f.close();
    m_modules[path(name)] = {readBytes(path(name)), QFileInfo(path(name)).lastModified()};
  }

  void openWindow(const QStringList& commandLine = {}) {
    m_window = std::make_unique<Tnewdfm>(*m_dialogs, commandLine);
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    QCoreApplication::processEvents();
  }

  void setUpFolder() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    Settings::useFolder(path("settings"));
    datafiles::setExtraRoot(QStringLiteral(VC_DATA_ROOT));
    m_opened.clear();
    shell::setOpenHandler([this](const QUrl& u) {
      m_opened << u;
      return true;
    });
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_modules.clear();
    copyModule(QStringLiteral(VC_SOURCE_DIR "/samples/sample.exe"), "sample.exe");
    copyModule(QStringLiteral(VC_SOURCE_DIR "/tests/modres/fixtures/forms32.exe"), "forms32.exe");
    copyModule(QStringLiteral(VC_SOURCE_DIR "/tests/modres/fixtures/noforms64.exe"), "noforms64.exe");
    writeBytes(path("form1.dfm"), toFormFile(smallFormText()));
    writeBytes(path("notes.txt"), "<b>first</b>\r\nsecond line\r\n");
    writeBytes(path("other.txt"), "other text\r\n");
  }

  void tearDownFolder() {
    if (m_window) {
      // Close without the questions of the close check.
      m_dialogs->answers.clear();
      m_window.reset();
    }
    // Modules are only ever read.
    for (const auto& [file, snap] : m_modules) {
      QCOMPARE(readBytes(file), snap.bytes);
      QCOMPARE(QFileInfo(file).lastModified(), snap.modified);
    }
    QDir::setCurrent(m_oldCurrent);
    Settings::useFolder(QString());
    datafiles::setExtraRoot(QString());
    shell::setOpenHandler({});
    m_dir.reset();
  }

  // The end of every test: no question was asked that the test did not
  // script, and the folder is torn down even when that check fails.
  void finishTest() {
    const QStringList unexpected = m_dialogs ? m_dialogs->unexpected : QStringList();
    if (m_dir) tearDownFolder();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(" / ")));
  }

  // The user clicks an entry of a list.
  void clickItem(QListWidget* list, const QString& text) {
    QCoreApplication::processEvents();
    auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable("no entry " + text));
    list->scrollToItem(found.first());
    QRect r = list->visualItemRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QCoreApplication::processEvents();
  }
  void clickFile(const QString& name) { clickItem(w().FileListBox1, name); }
  void clickForm(const QString& name) { clickItem(w().ListBox1, name); }

  // The user types at (column, line) of `Editor`.
  void typeAt(int column, int line, const QString& text) {
    w().Editor->setFocus();
    w().Editor->model().setCaret(column, line);
    QTest::keyClicks(w().Editor, text);
  }

  void pressCtrlS() { QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier); }

  QString selectedFile() const { return m_window->FileListBox1->fileName(); }
};

}  // namespace vc::test
