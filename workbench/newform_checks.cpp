// The translation check of the open module: the form files saved for it and
// its resource strings against the module's own strings, with the checks
// `formtext check` runs (the preview's fit check among them), listed in a
// dockable panel. Also the marks of the string table: a stored value whose
// text has a problem gets a warning mark and the problem as its tip.
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QDir>
#include <QTabWidget>
#include <QTreeWidget>
#include <map>

#include "editor/widget/CodeEditor.h"
#include "formstream/FormStrings.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "platform/WholeFile.h"
#include "preview/PreviewFit.h"
#include "translation/ResourceStringTranslation.h"
#include "translation/StringRows.h"
#include "translation/TranslationChecks.h"
#include "workbench/ListRoles.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr int kFormRole = Qt::UserRole + 1;      // the problem's form as the module names it (CP950), empty: a resource string
constexpr int kLineRole = Qt::UserRole + 2;      // the line of the saved form's text
constexpr int kIdRole = Qt::UserRole + 3;        // a resource string's id
constexpr int kLanguageRole = Qt::UserRole + 4;  // and language

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A check's name as the panel shows it, beside the name scripts see.
QString checkTitle(CheckKind kind) {
  const char* title = "";
  switch (kind) {
    case CheckKind::HotkeyDuplicate: title = "快速鍵重複"; break;
    case CheckKind::HotkeyLost: title = "快速鍵遺失"; break;
    case CheckKind::HotkeyAdded: title = "多了快速鍵"; break;
    case CheckKind::Placeholder: title = "格式指令不符"; break;
    case CheckKind::Overflow: title = "文字超出控制項"; break;
    case CheckKind::LineBreaks: title = "換行數不同"; break;
    case CheckKind::Whitespace: title = "前後空白不同"; break;
    case CheckKind::Punctuation: title = "結尾標點不同"; break;
    case CheckKind::Untranslated: title = "未翻譯"; break;
  }
  return QString::fromUtf8(title) + QStringLiteral(" (") + QString::fromUtf8(checkName(kind).data(), checkName(kind).size()) +
         QLatin1Char(')');
}

// The key of a string within its form: its msgctxt without the form's name.
std::string keyInForm(const ExchangeForm& form, std::size_t i) {
  const std::string& context = form.contexts[i];
  return context.size() > form.name.size() ? context.substr(form.name.size() + 1) : context;
}

}  // namespace

void Tnewdfm::createCheckPanel() {
  checkDock = new QDockWidget(QStringLiteral("翻譯檢查"), this);
  checkDock->setObjectName(QStringLiteral("checkDock"));
  checkList = new QTreeWidget(checkDock);
  checkList->setObjectName(QStringLiteral("checkList"));
  checkList->setAccessibleName(QStringLiteral("翻譯檢查結果"));
  checkList->setColumnCount(4);
  checkList->setHeaderLabels({QStringLiteral("窗體"), QStringLiteral("元件"), QStringLiteral("檢查"), QStringLiteral("訊息")});
  checkList->setRootIsDecorated(false);
  checkList->setUniformRowHeights(true);
  checkList->setSelectionBehavior(QAbstractItemView::SelectRows);
  checkList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  checkList->header()->setStretchLastSection(true);
  checkList->header()->resizeSection(0, 110);
  checkList->header()->resizeSection(1, 180);
  checkList->header()->resizeSection(2, 215);
  checkDock->setWidget(checkList);
  addDockWidget(Qt::BottomDockWidgetArea, checkDock);
  checkDock->hide();
  // A double click or Enter on a problem goes to its row.
  connect(checkList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { openCheckProblem(item); });
}

void Tnewdfm::checkTranslationClick() {
  if (!hasOpenModule()) {
    m_dialogs.information(this, QStringLiteral("請先開啟一個模組，再檢查它的翻譯。"));
    return;
  }
  ExchangeSource source;
  try {
    source = openExchangeSource(m_doc.modulePath(), {}, sourceCodePage());
  } catch (const std::exception& e) {
    showError(e);
    return;
  }

  // The saved form files as entries: each string beside the module's string
  // of the same component and property; one left as it was is untranslated.
  std::vector<PoEntry> entries;
  std::map<std::string, std::string> resourceOf;  // shown form name -> the module's name
  QStringList unreadable;                          // saved form files that could not be read: not checked
  for (const ExchangeForm& form : source.forms) {
    resourceOf[form.name] = form.resource;
    if (!form.read) continue;
    const QString saved = savedFormFile(form.resource);
    if (saved.isEmpty()) continue;
    ExchangeSource file;
    try {
      file = formFileExchangeSource(localPath(saved), readWholeFile(localPath(saved)));
    } catch (const std::exception&) {
    }
    if (file.forms.empty() || !file.forms[0].read) {
      unreadable << QFileInfo(saved).fileName();
      continue;
    }
    const ExchangeForm& translated = file.forms[0];
    std::map<std::string, std::size_t> byKey;
    for (std::size_t i = 0; i < form.strings.size(); ++i) byKey[keyInForm(form, i)] = i;
    for (std::size_t j = 0; j < translated.strings.size(); ++j) {
      auto it = byKey.find(keyInForm(translated, j));
      if (it == byKey.end()) continue;
      PoEntry e;
      e.context = form.contexts[it->second];
      e.hasContext = true;
      e.msgid = form.strings[it->second].text;
      e.msgstr = translated.strings[j].text == e.msgid ? std::string() : translated.strings[j].text;
      e.line = translated.strings[j].line;
      entries.push_back(std::move(e));
    }
  }
  // The resource strings: those on the string page now, else as saved.
  std::unique_ptr<ResourceStringTranslation> loaded;
  const ResourceStringTranslation* strings = resourceStringsShown() ? m_resourceStrings.get() : nullptr;
  if (!strings && !source.resourceStrings.empty()) {
    loaded = std::make_unique<ResourceStringTranslation>(*m_doc.module(), m_doc.modulePath());
    const QString folder = knownFormFolder();
    const QString po = folder.isEmpty() ? QString() : QDir(folder).filePath(QString::fromLatin1(kStringTableFile));
    try {
      if (!po.isEmpty() && QFileInfo(po).isFile()) loaded->load(localPath(po));
    } catch (const std::exception& e) {
      showError(e);
    }
    strings = loaded.get();
  }
  std::map<std::string, const ExchangeResourceString*> resourceByContext;
  if (strings)
    for (std::size_t i = 0; i < strings->size(); ++i) {
      PoEntry e;
      e.context = strings->string(i).context;
      e.hasContext = true;
      e.msgid = strings->string(i).text;
      e.msgstr = strings->translation(i);
      entries.push_back(std::move(e));
    }
  for (const ExchangeResourceString& r : source.resourceStrings) resourceByContext[r.context] = &r;

  CheckOptions options;
  options.overflow = [](std::string_view stream) { return preview::formOverflows(stream); };
  const std::vector<CheckProblem> problems = checkTranslation(source, entries, options);

  checkList->clear();
  QList<QTreeWidgetItem*> items;
  for (const CheckProblem& p : problems) {
    auto* item = new QTreeWidgetItem;
    const bool resource = p.form.empty();
    item->setText(0, resource ? QString::fromUtf8(kResourceStringsEntry) : QString::fromStdString(p.form));
    item->setText(1, QString::fromStdString(p.component.empty() ? p.property : p.component + "." + p.property));
    item->setText(2, checkTitle(p.check));
    item->setText(3, QString::fromStdString(p.message));
    item->setToolTip(3, item->text(3));
    if (resource) {
      if (auto it = resourceByContext.find(p.context); it != resourceByContext.end()) {
        item->setData(0, kIdRole, it->second->id);
        item->setData(0, kLanguageRole, it->second->language);
      }
    } else {
      item->setData(0, kFormRole, QByteArray::fromStdString(resourceOf[p.form]));
      item->setData(0, kLineRole, static_cast<qulonglong>(p.line));
    }
    items << item;
  }
  checkList->addTopLevelItems(items);
  checkDock->show();
  checkDock->raise();
  QString said = problems.empty() ? QString::fromUtf8(kNoProblems) : QStringLiteral("翻譯檢查：%1 個問題").arg(problems.size());
  if (!unreadable.isEmpty()) said += QStringLiteral("（無法讀取、未檢查：%1）").arg(unreadable.join(QStringLiteral("、")));
  panels[1]->setText(said);
  if (!items.isEmpty()) checkList->setCurrentItem(items.first());
}

void Tnewdfm::openCheckProblem(QTreeWidgetItem* problem) {
  if (!problem || !hasOpenModule()) return;
  const QByteArray form = problem->data(0, kFormRole).toByteArray();
  // Its entry in the form list: chosen as a click chooses it, unless it is
  // what is shown already.
  QListWidgetItem* entry = nullptr;
  for (int i = 0; i < ListBox1->count() && !entry; ++i) {
    QListWidgetItem* it = ListBox1->item(i);
    if (form.isEmpty() ? it->data(kResourceStringsRole).toBool() : it->data(kFormNameRole).toByteArray() == form) entry = it;
  }
  if (!entry) return;
  // The module's form, or the translation saved for it.
  const bool shownAlready = form.isEmpty() ? resourceStringsShown() : m_doc.formName() == form.toStdString();
  if (!shownAlready) {
    if (entry->isSelected())
      ListBox1Click();
    else
      ListBox1->setCurrentItem(entry);
  }
  // The row: by the line of the form's text, or by id and language.
  for (int r = 0; r < stringlist->topLevelItemCount(); ++r) {
    QTreeWidgetItem* row = stringlist->topLevelItem(r);
    const bool match = form.isEmpty() ? row->text(0) == QString::number(problem->data(0, kIdRole).toUInt()) &&
                                            row->text(1) == QString::number(problem->data(0, kLanguageRole).toUInt())
                                      : row->text(0) == QString::number(problem->data(0, kLineRole).toULongLong());
    if (!match) continue;
    row->setHidden(false);
    page->setCurrentWidget(tab2);
    stringlist->setCurrentItem(row);
    stringlist->scrollToItem(row);
    stringlist->setFocus();
    return;
  }
}

QString Tnewdfm::rowProblems(int index) const {
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item) return {};
  std::string source, translation;
  bool hotkeys = true;
  if (resourceStringsShown()) {
    if (!m_resourceStrings) return {};
    const std::size_t i = item->data(0, kResourceIndexRole).toULongLong();
    if (i >= m_resourceStrings->size() || m_resourceStrings->translation(i).empty()) return {};
    source = m_resourceStrings->string(i).text;
    translation = m_resourceStrings->translation(i);
  } else {
    const StringRow row = stringRow(index);
    if (!row.hasModified || !row.stringValue || row.lineRemoved) return {};
    const EditorModel& model = Editor->model();
    const auto value = stringRowValue(static_cast<std::size_t>(model.lineCount()),
                                      [&model](std::size_t i) { return std::string_view(model.lineText(static_cast<int>(i))); },
                                      static_cast<std::size_t>(row.lineNumber - 1));
    if (!value) return {};
    source = utf::utf16ToUtf8(*value);
    translation = cp950::toUtf8(row.modified);
    normalizedBreaks(source);
    normalizedBreaks(translation);
    // Captions of components have hotkeys; the form's own title (its
    // properties stand two blanks in) has none.
    const std::string_view line = model.lineText(row.lineNumber - 1);
    const std::size_t indent = line.find_first_not_of(' ');
    std::string name = row.name;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    hotkeys = name == "Caption" && indent != std::string_view::npos && indent > 2;
  }
  QStringList messages;
  auto add = [&messages](CheckKind check, const std::string& message) {
    messages << QString::fromUtf8(checkName(check).data(), checkName(check).size()) + QStringLiteral(": ") +
                    QString::fromStdString(message);
  };
  for (const TextProblem& p : compareTexts(source, translation, hotkeys)) add(p.check, p.message);
  if (hotkeys && hotkeyOf(translation))
    for (const std::string& clash : hotkeyClashes(index, translation)) add(CheckKind::HotkeyDuplicate, clash);
  return messages.join(QLatin1Char('\n'));
}

std::vector<std::string> Tnewdfm::hotkeyClashes(int index, const std::string& translation) const {
  // The form's strings as the exchange reads the text shown; a string is
  // the row's when it stands on the row's line with the row's original text
  // (a text edited by hand may have moved lines: those rows are passed over).
  ExchangeSource form;
  try {
    form = formFileExchangeSource("form.txt", Editor->model().text());
  } catch (const std::exception&) {
    return {};
  }
  if (form.forms.empty() || !form.forms[0].read) return {};
  const std::vector<FormString>& strings = form.forms[0].strings;
  std::map<std::size_t, int> rowOfLine;  // pending string rows by line
  for (int r = 0; r < stringRowCount(); ++r) {
    const StringRow row = stringRow(r);
    if (row.hasModified && row.stringValue && !row.lineRemoved)
      rowOfLine[static_cast<std::size_t>(row.lineNumber)] = r;
  }
  const std::size_t line = static_cast<std::size_t>(stringRow(index).lineNumber);
  std::size_t self = strings.size();
  for (std::size_t i = 0; i < strings.size() && self == strings.size(); ++i)
    if (strings[i].line == line && strings[i].property == "Caption") self = i;
  if (self == strings.size()) return {};
  auto finalText = [&](std::size_t i) -> std::string {
    if (i == self) return translation;
    auto it = rowOfLine.find(strings[i].line);
    if (it == rowOfLine.end()) return strings[i].text;
    std::string text = cp950::toUtf8(stringRow(it->second).modified);
    normalizedBreaks(text);
    return text;
  };
  std::string key;
  utf::appendUtf8(key, hotkeyOf(translation).value_or(U'?'));
  std::vector<std::string> out;
  for (std::size_t other : hotkeyPartners(strings, self, finalText))
    out.push_back("\"&" + key + "\" is also the hotkey of " + strings[other].component + ".Caption (\"" +
                  escapedLine(finalText(other)) + "\")");
  return out;
}

}  // namespace vc
