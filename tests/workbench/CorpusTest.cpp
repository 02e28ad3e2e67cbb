// Real modules and form files of our users in the window: every form of every
// module loads as the converter renders it (or its error is shown), every
// binary form file loads and saves back to the same text, and no module is
// touched.
#include <QDirIterator>
#include <QListWidget>

#include "formstream/BinaryToText.h"
#include "modres/Module.h"
#include "translation/ExtensionRule.h"
#include "translation/StringExtraction.h"
#include "WorkbenchFixture.h"

using namespace vc;
using namespace vc::test;

class CorpusTest : public WorkbenchFixture {
  Q_OBJECT

  QString corpus(const QString& sub) const { return QStringLiteral(VC_CORPUS_DIR "/") + sub; }

 private slots:
  void init() {
    if (!QDir(corpus("modules")).exists()) QSKIP("no corpus");
    setUpFolder();
    openWindow();
  }
  void cleanup() { finishTest(); }

  void everyFormOfEveryModule() {
    int forms = 0, failures = 0, opened = 0;
    const QStringList modules = QDir(corpus("modules")).entryList(QDir::Files, QDir::Name);
    for (const QString& name : modules) {
      const QString file = corpus("modules/" + name);
      if (documentKind(file.toStdString()) != DocumentKind::Module) continue;  // .bpl: refused
      ++opened;
      const QByteArray before = readBytes(file);
      const QDateTime time = QFileInfo(file).lastModified();
      dialogs().clearRecords();
      w().setSelectedPath(file);
      std::unique_ptr<modres::Module> module;
      try {
        module = modres::Module::open(QFile::encodeName(file).toStdString());
      } catch (const modres::EModuleError&) {
      }
      std::vector<std::string> names;
      // The resource strings are one more entry, after the forms.
      const int strings = module && !module->stringTables().empty() ? 1 : 0;
      if (!module || !module->listFormNames(names)) {
        QCOMPARE(w().ListBox1->count(), static_cast<int>(names.size()) + strings);
        continue;
      }
      QVERIFY2(dialogs().messages().isEmpty(), qPrintable(name + ": " + dialogs().messages().join("/")));
      QCOMPARE(w().ListBox1->count(), static_cast<int>(names.size()) + strings);
      for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const std::string shownBefore = w().Editor->model().text();
        dialogs().clearRecords();
        w().ListBox1->setCurrentRow(i);
        auto resource = module->readFormResource(names[static_cast<std::size_t>(i)]);
        TMemoryStream text;
        bool converts = true;
        try {
          BinaryToText(*resource, text);
        } catch (const std::exception&) {
          converts = false;
        }
        ++forms;
        if (converts) {
          QVERIFY2(dialogs().messages().isEmpty(), qPrintable(name + ": " + dialogs().messages().join("/")));
          QCOMPARE(w().Editor->model().text(), text.data());
          QCOMPARE(w().seditor->model().text(), text.data());
          QCOMPARE(w().stringRowCount(), static_cast<int>(extractStrings(splitTextLines(text.data())).size()));
        } else {
          ++failures;
          QCOMPARE(dialogs().messages().size(), 1);
          QCOMPARE(w().Editor->model().text(), shownBefore);
        }
        QVERIFY(!w().modified());
      }
      if (strings) {
        w().ListBox1->setCurrentRow(w().ListBox1->count() - 1);
        QVERIFY(w().resourceStringsShown());
        QCOMPARE(static_cast<std::size_t>(w().stringRowCount()), module->stringTables().count());
        QVERIFY(!w().modified());
      }
      QCOMPARE(readBytes(file), before);
      QCOMPARE(QFileInfo(file).lastModified(), time);
    }
    // The refused ones are RCDATA entries that are no forms (images, tables).
    qInfo("%d resources from %d modules, %d refused by the converter", forms, opened, failures);
    QVERIFY(forms > 0);
  }

  void binaryFormFilesLoadAndSaveBack() {
    int files = 0, same = 0;
    QDirIterator it(corpus("binary"), {"*.dfm"}, QDir::Files);
    while (it.hasNext()) {
      const QString source = it.next();
      const QString copy = path(QString("copy%1.dfm").arg(files++));
      QVERIFY(QFile::copy(source, copy));
      dialogs().clearRecords();
      w().setSelectedPath(copy);
      if (!dialogs().messages().isEmpty()) continue;  // the converter's own message
      const std::string loaded = w().Editor->model().text();
      // An edit, undone, leaves the text as loaded but unsaved.
      w().Editor->setFocus();
      w().Editor->model().setCaret(1, 1);
      QTest::keyClick(w().Editor, Qt::Key_Space);
      QTest::keyClick(w().Editor, Qt::Key_Backspace);
      QVERIFY(w().modified());
      w().TsavebtnClick();
      QVERIFY2(!w().modified(), qPrintable(source + ": " + dialogs().messages().join("/")));
      QCOMPARE(formFileText(copy), loaded);
      ++same;
    }
    qInfo("%d of %d binary form files saved back to the same text", same, files);
    QVERIFY(same > 0);
  }

  // The first 200 KB of a real module: refused, and the text shown stays.
  void aCutRealModuleCannotBeLoaded() {
    const QByteArray whole = readBytes(corpus("modules/10-Kirito__ObjectPascalDemo__Draw.exe"));
    const int kept = 200 * 1024;
    QVERIFY(whole.size() > kept);
    writeBytes(path("cut.exe"), std::string_view(whole.constData(), static_cast<std::size_t>(kept)));
    w().setSelectedPath(path("notes.txt"));
    dialogs().clearRecords();
    w().setSelectedPath(path("cut.exe"));
    QCOMPARE(dialogs().informations, QStringList{Tnewdfm::kCannotLoadModule});
    QCOMPARE(w().ListBox1->count(), 0);
    QCOMPARE(w().Editor->model().text(), std::string("<b>first</b>\r\nsecond line\r\n"));
  }
};

QTEST_MAIN(CorpusTest)
#include "CorpusTest.moc"
