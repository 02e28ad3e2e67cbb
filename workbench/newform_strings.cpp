// The string table page: extraction of the property lines of `Editor`, the
// value editors over the table and write-back into `Editor`.
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "workbench/StringListView.h"
#include "workbench/StringValueEditors.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr int kBytesRole = Qt::UserRole + 1;     // CP950 bytes of a cell
constexpr int kModifiedRole = Qt::UserRole + 2;  // column 4 holds a value
constexpr int kRemovedRole = Qt::UserRole + 3;   // the number of the row's line that a write-back removed
constexpr int kPendingRole = Qt::UserRole + 4;   // stored by an editor, not yet written back
constexpr int kDecodedRole = Qt::UserRole + 5;   // column 4 holds a string's text, unquoted

QString fromCp950(std::string_view bytes) {
  std::u16string text = cp950::decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string bytesOf(const QTreeWidgetItem* item, int column) {
  return item->data(column, kBytesRole).toByteArray().toStdString();
}

// Minimum widths of the columns (the first one is fixed).
constexpr int kMinWidth[4] = {60, 50, 100, 100};

}  // namespace

QWidget* Tnewdfm::createStringPage() {
  auto* view = new StringListView;
  stringlist = view;
  stringlist->setObjectName(QStringLiteral("stringlist"));
  stringlist->setColumnCount(4);
  stringlist->setHeaderLabels({QStringLiteral("行數"), QStringLiteral("類型"), QStringLiteral("原始字串"),
                               QStringLiteral("修改後字串")});
  stringlist->setRootIsDecorated(false);
  stringlist->setUniformRowHeights(true);
  stringlist->setSelectionMode(QAbstractItemView::SingleSelection);
  stringlist->setSelectionBehavior(QAbstractItemView::SelectRows);
  stringlist->setEditTriggers(QAbstractItemView::NoEditTriggers);
  stringlist->setSortingEnabled(false);
  stringlist->setAllColumnsShowFocus(true);
  QHeaderView* header = stringlist->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(50);
  header->resizeSection(0, 60);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(1, 100);
  header->resizeSection(2, 200);
  header->resizeSection(3, 100);
  connect(header, &QHeaderView::sectionResized, this, [header](int index, int, int size) {
    if (index > 0 && index < 4 && size < kMinWidth[index]) header->resizeSection(index, kMinWidth[index]);
  });
  stringlist->setEnabled(false);
  connect(stringlist, &QTreeWidget::itemSelectionChanged, this, &Tnewdfm::stringlistChange);
  connect(stringlist, &QTreeWidget::itemChanged, this, &Tnewdfm::stringlistChange);
  connect(view, &StringListView::mousePressed, this, &Tnewdfm::stringlistMouseDown);
  valueEditors = new StringValueEditors(*this, m_dialogs, stringlist);
  connect(stringlist, &QTreeWidget::itemSelectionChanged, valueEditors, &StringValueEditors::followSelection);
  view->setTypeAheadOff([this] { return valueEditors->isOpen(); });

  PopupMenu1 = new QMenu(this);
  D3 = PopupMenu1->addAction(QStringLiteral("刪除(&D)"), this, &Tnewdfm::D3Click);
  B1 = PopupMenu1->addAction(QStringLiteral("回寫(&B)"), this, &Tnewdfm::B1Click);
  A5 = PopupMenu1->addAction(QStringLiteral("全部回寫(&A)"), this, &Tnewdfm::A5Click);
  stringlist->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(stringlist, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(stringlist->viewport()->mapToGlobal(pos)); });
  return stringlist;
}

void Tnewdfm::stringlistMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
  valueEditors->stringlistMouseDown(button, shift, pos);
}

void Tnewdfm::stringlistChange() {
  if (!m_fillingStrings) m_doc.stringTableEdited();
}

void Tnewdfm::getstringClick() {
  restoreStringColumns();
  stringlist->setEnabled(true);
  page->setTabVisible(page->indexOf(tab2), true);
  // The rows are replaced: an editor open on one of them closes unstored.
  valueEditors->closeAll();
  m_fillingStrings = true;
  stringlist->clear();
  const std::vector<ExtractedString> rows = extractStrings(
      static_cast<std::size_t>(Editor->model().lineCount()),
      [this](std::size_t i) { return std::string_view(Editor->model().lineText(static_cast<int>(i))); });
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  auto lineAt = [this](std::size_t i) { return std::string_view(Editor->model().lineText(static_cast<int>(i))); };
  for (const ExtractedString& row : rows) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setText(0, QString::number(row.lineNumber));
    item->setCheckState(0, Qt::Unchecked);
    item->setText(1, fromCp950(row.name));
    item->setData(1, kBytesRole, QByteArray::fromStdString(row.name));
    item->setText(2, fromCp950(row.value));
    item->setData(2, kBytesRole, QByteArray::fromStdString(row.value));
    // The extracted value is the first quoted piece only; the tip shows it all.
    const std::u16string whole =
        wholeValue(static_cast<std::size_t>(Editor->model().lineCount()), lineAt, row.lineNumber - 1);
    const QString tip = QString::fromUtf16(whole.data(), static_cast<qsizetype>(whole.size()));
    for (int c = 1; c < 4; ++c) item->setToolTip(c, tip);
    items << item;
  }
  stringlist->addTopLevelItems(items);
  m_fillingStrings = false;
  // Each row is selected as it is added, so the last one stays selected and
  // the table counts as changed.
  if (!items.isEmpty()) stringlist->setCurrentItem(items.last());
}

int Tnewdfm::stringRowCount() const { return stringlist->topLevelItemCount(); }

StringRow Tnewdfm::stringRow(int index) const {
  StringRow row;
  const QTreeWidgetItem* item = stringlist->topLevelItem(index);
  if (!item) return row;
  row.lineNumber = item->text(0).toInt();
  row.name = bytesOf(item, 1);
  row.value = bytesOf(item, 2);
  row.hasModified = item->data(3, kModifiedRole).toBool();
  row.modified = bytesOf(item, 3);
  row.checked = item->checkState(0) == Qt::Checked;
  row.decoded = item->data(3, kDecodedRole).toBool();
  if (const int removed = item->data(0, kRemovedRole).toInt()) {
    row.lineNumber = removed;
    row.lineRemoved = true;
  }
  return row;
}

int Tnewdfm::selectedStringRow() const {
  QList<QTreeWidgetItem*> selected = stringlist->selectedItems();
  return selected.isEmpty() ? -1 : stringlist->indexOfTopLevelItem(selected.first());
}

void Tnewdfm::setStringModified(int index, const std::string& value, bool decoded) {
  if (QTreeWidgetItem* item = stringlist->topLevelItem(index)) {
    item->setData(3, kBytesRole, QByteArray::fromStdString(value));
    item->setData(3, kModifiedRole, true);
    item->setData(3, kDecodedRole, decoded);
    item->setData(0, kPendingRole, true);
    // One row a value: line breaks are shown as marks.
    QString shown = fromCp950(value);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\u21B5")).replace(QLatin1Char('\n'), QStringLiteral("\u21B5"));
    item->setText(3, shown);
  }
}

int Tnewdfm::pendingStringRows() const {
  int pending = 0;
  for (int i = 0; i < stringRowCount(); ++i) {
    const QTreeWidgetItem* item = stringlist->topLevelItem(i);
    if (item->checkState(0) == Qt::Checked && item->data(0, kPendingRole).toBool()) ++pending;
  }
  return pending;
}

bool Tnewdfm::mayDropPendingRows() {
  const int pending = pendingStringRows();
  if (pending == 0) return true;
  if (m_dialogs.confirm(this, QString::fromUtf8(kDropRowsPrompt).arg(pending)) != Dialogs::Answer::Yes) return false;
  // Given up: the load that follows does not ask again.
  for (int i = 0; i < stringRowCount(); ++i) stringlist->topLevelItem(i)->setData(0, kPendingRole, false);
  return true;
}

void Tnewdfm::setStringChecked(int index, bool checked) {
  if (QTreeWidgetItem* item = stringlist->topLevelItem(index))
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void Tnewdfm::deleteStringRow(int index) { delete stringlist->takeTopLevelItem(index); }

void Tnewdfm::D3Click() {
  const int index = selectedStringRow();
  if (index < 0) {
    m_dialogs.information(this, QStringLiteral("尚未選擇，請選擇一個您要刪除的標題！"));
    return;
  }
  deleteStringRow(index);
  stringlist->clearSelection();
}

void Tnewdfm::B1Click() {
  const int index = selectedStringRow();
  if (index < 0) {
    m_dialogs.information(this, QStringLiteral("尚未選擇，請選擇一個您要回寫的標題！"));
    return;
  }
  page->setCurrentWidget(tab1);
  int skipped = 0;
  writeBackRows({index}, &skipped);
}

void Tnewdfm::A5Click() {
  const int selected = selectedStringRow();
  if (selected < 0) return;
  page->setCurrentWidget(tab1);
  if (!stringRow(selected).checked) return;
  QList<int> ticked;
  for (int i = 0; i < stringRowCount(); ++i)
    if (stringlist->topLevelItem(i)->checkState(0) == Qt::Checked) ticked << i;
  int skipped = 0;
  const int written = writeBackRows(ticked, &skipped);
  panels[1]->setText(QStringLiteral("全部回寫：寫入 %1 列，略過 %2 列").arg(written).arg(skipped));
}

int Tnewdfm::writeBackRows(const QList<int>& rows, int* skipped) {
  const EditorModel& model = Editor->model();
  WriteBack writeBack(static_cast<std::size_t>(model.lineCount()),
                      [&model](std::size_t i) { return std::string_view(model.lineText(static_cast<int>(i))); });
  QStringList messages;
  int written = 0;
  for (int index : rows) {
    const StringRow row = stringRow(index);
    WriteBackRow wb{static_cast<std::size_t>(row.lineNumber), row.name, std::nullopt, row.lineRemoved};
    if (row.hasModified) wb.modified = row.modified;
    if (std::optional<std::string> message = writeBack.write(wb)) {
      messages << QString::fromUtf8(*message);
    } else {
      ++written;
      stringlist->topLevelItem(index)->setData(0, kPendingRole, false);
    }
  }
  *skipped = static_cast<int>(messages.size());
  if (writeBack.changed()) {
    const std::vector<std::string> lines = writeBack.changedLines();
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) text += "\r\n";
      text += lines[i];
    }
    Editor->model().replaceLines(static_cast<int>(writeBack.firstChanged()), static_cast<int>(writeBack.changedCount()),
                         text);
    m_doc.edited();
    // Rows below removed lines follow their lines.
    if (writeBack.removedLines()) {
      m_fillingStrings = true;
      for (int i = 0; i < stringRowCount(); ++i) {
        QTreeWidgetItem* item = stringlist->topLevelItem(i);
        if (item->data(0, kRemovedRole).toInt()) continue;
        const int was = item->text(0).toInt();
        const std::size_t now = writeBack.lineAfter(static_cast<std::size_t>(was));
        if (now == 0) {
          item->setData(0, kRemovedRole, was);
          item->setText(0, QString());
        } else {
          item->setText(0, QString::number(now));
        }
      }
      m_fillingStrings = false;
    }
  }
  if (!messages.isEmpty()) m_dialogs.information(this, messages.join(QLatin1Char('\n')));
  return written;
}

}  // namespace vc
