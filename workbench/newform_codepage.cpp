// The source code page of the open module's 8-bit strings (View menu
// "來源字碼頁", kept per module in the settings) and the string page's
// Simplified to Traditional prefill ("簡轉繁").
#include <QActionGroup>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>

#include "editor/widget/CodeEditor.h"
#include "formstream/FormStrings.h"
#include "modres/Module.h"
#include "platform/CodePages.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "platform/qt/Settings.h"
#include "translation/ChineseConversion.h"
#include "translation/StringExtraction.h"
#include "workbench/StringItemRoles.h"
#include "workbench/StringValueEditors.h"
#include "workbench/newform.h"

namespace vc {
namespace {

// The settings value that keeps a module's (or a form file's) code page,
// by its full path.
QString codePageKey(const QString& path) {
  const QByteArray full = QFileInfo(path).absoluteFilePath().toUtf8();
  return QStringLiteral("SourceCodePage-") +
         QString::fromLatin1(QCryptographicHash::hash(full, QCryptographicHash::Sha1).toHex().left(16));
}

QString fromUtf16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void Tnewdfm::createSourceCodePageMenu(QMenu* view) {
  sourceCodePageMenu = view->addMenu(QStringLiteral("來源字碼頁"));
  sourceCodePageMenu->setObjectName(QStringLiteral("sourceCodePageMenu"));
  auto* group = new QActionGroup(sourceCodePageMenu);
  group->setExclusive(true);
  auto add = [&](int codePage, const QString& caption) {
    QAction* a = sourceCodePageMenu->addAction(caption);
    a->setObjectName(QStringLiteral("sourceCodePage%1").arg(codePage ? QString::number(codePage) : QStringLiteral("Auto")));
    a->setCheckable(true);
    a->setData(codePage);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, codePage] { setSourceCodePage(codePage); });
  };
  add(0, QStringLiteral("自動"));
  sourceCodePageMenu->actions().constLast()->setStatusTip(
      QStringLiteral("模組的窗體字型多數指定的字元集（例如 GB2312_CHARSET）之字碼頁，否則 950"));
  sourceCodePageMenu->addSeparator();
  struct Named {
    int codePage;
    const char* script;
  };
  static constexpr Named kNames[] = {{950, "繁體中文"}, {936, "簡體中文"},  {932, "日文"},     {949, "韓文"},
                                     {1250, "中歐"},    {1251, "斯拉夫語系"}, {1252, "西歐"},   {1253, "希臘文"},
                                     {1254, "土耳其文"}, {1255, "希伯來文"},  {1256, "阿拉伯文"}, {1257, "波羅的海語系"},
                                     {1258, "越南文"},  {874, "泰文"}};
  for (int page : sourceCodePages()) {
    QString caption = QString::number(page);
    for (const Named& n : kNames)
      if (n.codePage == page) caption += QLatin1Char(' ') + QString::fromUtf8(n.script);
    add(page, caption);
  }
  sourceCodePageMenu->setToolTip(
      QStringLiteral("ANSI_CHARSET 與 DEFAULT_CHARSET 字型下 8 位元字串的字碼頁；自動：依模組字型判斷，否則 950"));
  syncSourceCodePageMenu();
}

QString Tnewdfm::sourceCodePageSubject() const {
  if (hasOpenModule()) return QFile::decodeName(m_doc.modulePath().c_str());
  return currentFileName();
}

void Tnewdfm::loadSourceCodePage() {
  if (modres::Module* module = m_doc.module()) {
    std::vector<std::string> names, streams;
    module->listFormNames(names);
    for (const std::string& name : names) {
      try {
        std::string stream(module->readFormResource(name)->bytes());
        if (stream.starts_with("TPF0")) streams.push_back(std::move(stream));
      } catch (const std::exception&) {
      }
    }
    m_guessedCodePage = guessedAnsiCodePage(std::vector<std::string_view>(streams.begin(), streams.end()));
  } else {
    const EditorModel& model = Editor->model();
    m_guessedCodePage = guessedAnsiCodePage(static_cast<std::size_t>(model.lineCount()), [&model](std::size_t i) {
      return std::string_view(model.lineText(static_cast<int>(i)));
    });
  }
  const QString subject = sourceCodePageSubject();
  m_sourceCodePageChoice =
      subject.isEmpty() ? 0 : parseSourceCodePage(m_settings->value(codePageKey(subject)).toStdString()).value_or(0);
  syncSourceCodePageMenu();
}

void Tnewdfm::syncSourceCodePageMenu() {
  if (!sourceCodePageMenu) return;
  for (QAction* a : sourceCodePageMenu->actions())
    if (a->isCheckable()) a->setChecked(a->data().toInt() == m_sourceCodePageChoice);
}

SourceCodePageOptions Tnewdfm::sourceCodePage() const {
  return SourceCodePageOptions{m_sourceCodePageChoice ? m_sourceCodePageChoice : m_guessedCodePage};
}

void Tnewdfm::setSourceCodePage(int codePage) {
  m_sourceCodePageChoice = codePage;
  syncSourceCodePageMenu();
  const QString subject = sourceCodePageSubject();
  if (!subject.isEmpty())
    m_settings->setValue(codePageKey(subject), codePage ? QString::number(codePage) : QString());
  refreshSourceColumn();
}

void Tnewdfm::computeLineCodePages() {
  const EditorModel& model = Editor->model();
  m_lineCodePages = lineCodePages(
      static_cast<std::size_t>(model.lineCount()),
      [&model](std::size_t i) { return std::string_view(model.lineText(static_cast<int>(i))); }, sourceCodePage());
}

int Tnewdfm::stringRowCodePage(int index) const {
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item || item->data(0, stringroles::kRemovedRole).toInt()) return sourceCodePage().ansi();
  const int line = item->text(0).toInt();
  if (line < 1 || static_cast<std::size_t>(line) > m_lineCodePages.size()) return sourceCodePage().ansi();
  return m_lineCodePages[static_cast<std::size_t>(line - 1)];
}

QString Tnewdfm::stringRowSource(int index) const {
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item) return {};
  const EditorModel& model = Editor->model();
  const int line = item->text(0).toInt();
  if (line < 1 || line > model.lineCount()) return {};
  return fromUtf16(wholeValue(
      static_cast<std::size_t>(model.lineCount()),
      [&model](std::size_t i) { return std::string_view(model.lineText(static_cast<int>(i))); },
      static_cast<std::size_t>(line - 1), std::size_t(1) << 24, stringRowCodePage(index)));
}

void Tnewdfm::refreshSourceColumn() {
  if (!stringlist->isEnabled() || resourceStringsShown()) return;
  computeLineCodePages();
  const bool filling = std::exchange(m_fillingStrings, true);
  for (int i = 0; i < stringRowCount(); ++i) {
    QTreeWidgetItem* item = stringlist->topLevelItem(i);
    if (item->data(0, stringroles::kRemovedRole).toInt()) continue;
    const std::string value = item->data(2, stringroles::kBytesRole).toByteArray().toStdString();
    item->setText(2, fromUtf16(codepage::decode(value, stringRowCodePage(i))));
    const EditorModel& model = Editor->model();
    const QString tip = fromUtf16(wholeValue(
        static_cast<std::size_t>(model.lineCount()),
        [&model](std::size_t l) { return std::string_view(model.lineText(static_cast<int>(l))); },
        static_cast<std::size_t>(item->text(0).toInt() - 1), 4096, stringRowCodePage(i)));
    for (int c = 1; c < 4; ++c) item->setToolTip(c, tip);
  }
  m_fillingStrings = filling;
}

void Tnewdfm::toTraditionalClick() {
  if (!stringlist->isEnabled() || resourceStringsShown()) return;
  valueEditors->closeAll();
  int filled = 0, unencodable = 0;
  try {
    const ChineseConverter converter("s2twp");
    for (int i = 0; i < stringRowCount(); ++i) {
      const StringRow row = stringRow(i);
      // Names (Font.Name, DataField...) are what the program finds things by.
      if (!row.stringValue || row.lineRemoved || !leftOutReason(row.name).empty()) continue;
      const std::string source = stringRowSource(i).toStdString();
      if (!holdsHan(source)) continue;
      const std::string converted = converter.convert(source);
      std::optional<std::string> bytes = cp950::encode(utf::utf8ToUtf16(converted));
      if (!bytes) {
        ++unencodable;
        continue;
      }
      setStringModified(i, *bytes, true);
      setStringChecked(i, true);
      ++filled;
    }
  } catch (const std::exception& e) {
    m_dialogs.error(this, QString::fromUtf8(e.what()));
    return;
  }
  QString text = QStringLiteral("簡轉繁：填入 %1 列").arg(filled);
  if (unencodable) text += QStringLiteral("，%1 列含有無法以 Big5 碼表示的字元，未填入").arg(unencodable);
  panels[1]->setText(text);
  if (filled) m_doc.stringTableEdited();
}

}  // namespace vc
