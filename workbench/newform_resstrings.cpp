// The open module's resource strings (its string tables): the "字串資源"
// entry of the form list shows them read-only in the code editor, one per
// line, and on the string page one row per string (id, language, original,
// translation), translated with the string editor as a Caption is. The
// translations are kept in STRINGTABLE.po in the module's form folder, where
// "寫出翻譯後的模組" finds them with the form files.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "editor/widget/CodeEditor.h"
#include "modres/Module.h"
#include "modres/ResourceName.h"
#include "platform/Utf.h"
#include "translation/ResourceStringTranslation.h"
#include "workbench/ListRoles.h"
#include "workbench/newform.h"

namespace vc {
namespace {


std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString shown(const std::string& utf8) { return QString::fromStdString(escapedLine(utf8)); }

const QStringList kResourceColumns = {QStringLiteral("編號"), QStringLiteral("語言"), QStringLiteral("原始字串"),
                                      QStringLiteral("翻譯")};
const QStringList kFormColumns = {QStringLiteral("行數"), QStringLiteral("類型"), QStringLiteral("原始字串"),
                                  QStringLiteral("修改後字串")};

}  // namespace

void Tnewdfm::restoreStringColumns() {
  if (stringlist->headerItem()->text(0) == kFormColumns[0]) return;
  stringlist->setHeaderLabels(kFormColumns);
  for (QAction* a : {D3, B1, A5}) a->setEnabled(true);
}

void Tnewdfm::showResourceStrings() {
  modres::Module* module = m_doc.module();
  if (!module) return;
  const QString modulePath = QFile::decodeName(m_doc.modulePath().c_str());
  // Built anew each time: edits that were not saved are gone with the answer
  // No to the save prompt; what was saved is read back.
  m_resourceStrings = std::make_unique<ResourceStringTranslation>(*module, m_doc.modulePath());
  const QString folder = knownFormFolder();
  const QString po = folder.isEmpty() ? QString() : QDir(folder).filePath(QString::fromLatin1(kStringTableFile));
  if (!po.isEmpty() && QFileInfo(po).isFile()) {
    try {
      m_resourceStrings->load(localPath(po));
    } catch (const std::exception& e) {
      showError(e);
    }
  }

  // The code editor: "ID<TAB>LANG<TAB>TEXT" per string, read-only; what
  // CP950 cannot hold is written as {U+XXXX}.
  std::string text;
  for (std::size_t i = 0; i < m_resourceStrings->size(); ++i) {
    const ExchangeResourceString& s = m_resourceStrings->string(i);
    text += std::to_string(s.id) + "\t" + std::to_string(s.language) + "\t" +
            modres::shownResourceName(utf::utf8ToUtf16(escapedLine(s.text))) + "\r\n";
  }
  seditor->model().clear();
  Editor->model().loadFromBytes(text);
  seditor->model().setText(Editor->model().text());
  Editor->model().setHighlighter(nullptr);
  seditor->model().setHighlighter(nullptr);
  Editor->setReadOnly(true);
  m_doc.openResourceStrings();
  titleFor(modulePath, QString::fromUtf8(kResourceStringsEntry));

  // The string page.
  stringlist->setEnabled(true);
  page->setTabVisible(page->indexOf(tab2), true);
  m_fillingStrings = true;
  stringlist->clear();
  stringlist->setHeaderLabels(kResourceColumns);
  // Rows of resource strings are not lines of the code editor.
  for (QAction* a : {D3, B1, A5}) a->setEnabled(false);
  QList<QTreeWidgetItem*> items;
  for (std::size_t i = 0; i < m_resourceStrings->size(); ++i) {
    const ExchangeResourceString& s = m_resourceStrings->string(i);
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setText(0, QString::number(s.id));
    item->setText(1, QString::number(s.language));
    item->setText(2, shown(s.text));
    item->setText(3, shown(m_resourceStrings->translation(i)));
    item->setData(0, kResourceIndexRole, static_cast<qulonglong>(i));
    for (int c = 2; c < 4; ++c) item->setToolTip(c, QString::fromStdString(c == 2 ? s.text : m_resourceStrings->translation(i)));
    items << item;
  }
  stringlist->addTopLevelItems(items);
  m_fillingStrings = false;
  page->setCurrentWidget(tab2);
}

QString Tnewdfm::resourceStringOriginal(int index) const {
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item || !m_resourceStrings) return {};
  return shown(m_resourceStrings->string(item->data(0, kResourceIndexRole).toULongLong()).text);
}

QString Tnewdfm::resourceStringTranslation(int index) const {
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item || !m_resourceStrings) return {};
  return shown(m_resourceStrings->translation(item->data(0, kResourceIndexRole).toULongLong()));
}

void Tnewdfm::setResourceStringTranslation(int index, const QString& text) {
  QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item || !m_resourceStrings) return;
  const std::size_t i = item->data(0, kResourceIndexRole).toULongLong();
  std::string translation = unescapedLine(text.toStdString());
  // The original itself is no translation.
  if (translation == m_resourceStrings->string(i).text) translation.clear();
  if (translation == m_resourceStrings->translation(i)) return;
  m_resourceStrings->setTranslation(i, translation);
  m_fillingStrings = true;
  item->setText(3, shown(translation));
  item->setToolTip(3, QString::fromStdString(translation));
  // The translation checked against the original as soon as it is stored.
  const QString problems = rowProblems(index);
  item->setIcon(0, problems.isEmpty() ? QIcon() : problemIcon());
  item->setToolTip(0, problems);
  item->setData(0, Qt::AccessibleDescriptionRole, problems);
  m_fillingStrings = false;
  // Unsaved like an edit of the text: the save prompt asks for it.
  m_doc.edited();
  Tsavebtn->setEnabled(true);
  S1->setEnabled(true);
}

SaveOutcome Tnewdfm::saveResourceStrings() {
  if (!m_resourceStrings) return SaveOutcome::Failed;
  QString folder = knownFormFolder();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = chooseFormFolder();
  if (folder.isEmpty()) return SaveOutcome::Cancelled;
  const QString po = QDir(folder).filePath(QString::fromLatin1(kStringTableFile));
  try {
    // Translations kept there before, of strings not translated here, stay.
    if (QFileInfo(po).isFile()) m_resourceStrings->load(localPath(po), true);
    m_resourceStrings->save(localPath(po), localPath(QFileInfo(QFile::decodeName(m_doc.modulePath().c_str())).fileName()));
  } catch (const std::exception& e) {
    showError(e);
    return SaveOutcome::Failed;
  }
  // Rows whose translation came from the file.
  m_fillingStrings = true;
  for (int r = 0; r < stringlist->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = stringlist->topLevelItem(r);
    item->setText(3, shown(m_resourceStrings->translation(item->data(0, kResourceIndexRole).toULongLong())));
  }
  m_fillingStrings = false;
  SaveRoute route;
  route.target = localPath(po);
  markSaved(route);
  return SaveOutcome::Saved;
}

}  // namespace vc
