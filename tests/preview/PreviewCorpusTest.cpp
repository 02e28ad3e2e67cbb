// Every form of the corpus (form text, form files and the forms inside
// modules) previews: built, or refused with a message, never a crash. The
// summary names how many list unknown properties.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/Exception.h"
#include "preview/PreviewWindow.h"

using namespace vc;

class PreviewCorpusTest : public QObject {
  Q_OBJECT

  int m_forms = 0, m_built = 0, m_withUnknown = 0, m_stopped = 0;
  QMap<QString, int> m_unknownBySource;  // text, binary, module: forms listing unknown properties
  QMap<QString, int> m_unknownNames;     // "Class.Property" (object names dropped): how many times

  void preview(const std::string& stream, const QString& what, const QString& source) {
    ++m_forms;
    preview::PreviewWindow window;
    QStringList messages;
    preview::ReaderHooks hooks;
    hooks.findMethod = [](const std::string&) { return false; };
    hooks.error = [&](const QString& m) {
      messages << m;
      return true;
    };
    TReadOnlyMemoryStream in(stream);
    try {
      window.read(in, hooks);
      ++m_built;
      QVERIFY2(!window.renderClient().isNull(), qPrintable(what));
    } catch (const Exception& e) {
      ++m_stopped;
      qInfo("%s: reading stopped: %s", qPrintable(what), e.what());
    }
    bool unknown = false;
    for (const QString& m : messages) {
      if (!m.endsWith(QStringLiteral("屬性不存在"))) continue;
      unknown = true;
      // "讀取錯誤 OBJECT.PATH: 屬性不存在": the path is what tells why.
      const QString path = m.section(' ', 1).section(':', 0, 0).section('.', 1);
      ++m_unknownNames[path];
    }
    if (unknown) ++m_withUnknown, ++m_unknownBySource[source];
  }

  static std::string bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
  }

 private slots:
  void everyCorpusForm() {
    const QDir corpus(QStringLiteral(VC_CORPUS_DIR));
    if (!corpus.exists("MANIFEST.tsv")) QSKIP("no corpus");
    for (const QString& f : QDir(corpus.filePath("text")).entryList(QDir::Files)) {
      const std::string text = bytesOf(corpus.filePath("text/" + f));
      TReadOnlyMemoryStream in(text);
      TMemoryStream binary;
      try {
        TextToBinary(in, binary);
      } catch (const Exception&) {
        continue;  // text the converter refuses is no form to preview
      }
      preview(binary.data(), f, "text");
    }
    for (const QString& f : QDir(corpus.filePath("binary")).entryList(QDir::Files)) {
      const std::string file = bytesOf(corpus.filePath("binary/" + f));
      TReadOnlyMemoryStream in(file);
      try {
        ReadFormFileHeader(in);
      } catch (const Exception&) {
        continue;
      }
      preview(file.substr(static_cast<std::size_t>(in.position())), f, "binary");
    }
    for (const QString& f : QDir(corpus.filePath("modules")).entryList(QDir::Files)) {
      std::unique_ptr<modres::Module> module;
      try {
        module = modres::Module::open(corpus.filePath("modules/" + f).toStdString());
      } catch (const modres::EModuleError&) {
        continue;
      }
      std::vector<std::string> names;
      module->listFormNames(names);
      for (const std::string& n : names) {
        std::string stream;
        try {
          auto res = module->readFormResource(n);
          char buf[65536];
          for (std::size_t k; (k = res->read(buf, sizeof buf)) > 0;) stream.append(buf, k);
        } catch (const Exception&) {
          continue;
        }
        preview(stream, f + "/" + QString::fromStdString(n), "module");
      }
    }
    qInfo("forms %d, built %d, stopped %d, listing unknown properties %d", m_forms, m_built, m_stopped,
          m_withUnknown);
    for (auto it = m_unknownBySource.cbegin(); it != m_unknownBySource.cend(); ++it)
      qInfo("  from %s forms: %d", qPrintable(it.key()), it.value());
    for (auto it = m_unknownNames.cbegin(); it != m_unknownNames.cend(); ++it)
      qInfo("  unknown property %s: %d", qPrintable(it.key()), it.value());
    QVERIFY(m_forms > 500);
  }
};

QTEST_MAIN(PreviewCorpusTest)
#include "PreviewCorpusTest.moc"
