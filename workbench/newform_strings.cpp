// The string table page: extraction of the property lines of `Editor`.
#include <QHeaderView>
#include <QTabWidget>
#include <QTreeWidget>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "workbench/core/StringExtraction.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr int kBytesRole = Qt::UserRole + 1;     // CP950 bytes of a cell
constexpr int kModifiedRole = Qt::UserRole + 2;  // column 4 holds a value

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
  stringlist = new QTreeWidget;
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
  return stringlist;
}

void Tnewdfm::stringlistChange() {
  if (!m_fillingStrings) m_stringTableChanged = true;
}

void Tnewdfm::getstringClick() {
  stringlist->setEnabled(true);
  page->setTabVisible(page->indexOf(tab2), true);
  m_fillingStrings = true;
  stringlist->clear();
  const std::vector<ExtractedString> rows = extractStrings(
      static_cast<std::size_t>(Editor->lineCount()),
      [this](std::size_t i) { return std::string_view(Editor->lineText(static_cast<int>(i))); });
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const ExtractedString& row : rows) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setText(0, QString::number(row.lineNumber));
    item->setCheckState(0, Qt::Unchecked);
    item->setText(1, fromCp950(row.name));
    item->setData(1, kBytesRole, QByteArray::fromStdString(row.name));
    item->setText(2, fromCp950(row.value));
    item->setData(2, kBytesRole, QByteArray::fromStdString(row.value));
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
  return row;
}

int Tnewdfm::selectedStringRow() const {
  QList<QTreeWidgetItem*> selected = stringlist->selectedItems();
  return selected.isEmpty() ? -1 : stringlist->indexOfTopLevelItem(selected.first());
}

void Tnewdfm::setStringModified(int index, const std::string& value) {
  if (QTreeWidgetItem* item = stringlist->topLevelItem(index)) {
    item->setData(3, kBytesRole, QByteArray::fromStdString(value));
    item->setData(3, kModifiedRole, true);
    item->setText(3, fromCp950(value));
  }
}

void Tnewdfm::setStringChecked(int index, bool checked) {
  if (QTreeWidgetItem* item = stringlist->topLevelItem(index))
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void Tnewdfm::deleteStringRow(int index) { delete stringlist->takeTopLevelItem(index); }

}  // namespace vc
