// The string table page: extraction of the property lines of `Editor`, the
// value editors over the table and write-back into `Editor`.
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"
#include "platform/CodePages.h"
#include "workbench/StringItemRoles.h"
#include "workbench/StringListView.h"
#include "workbench/StringPage.h"
#include "workbench/StringRowRule.h"
#include "workbench/StringValueEditors.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"
#include "workbench/newform.h"

namespace vc {
namespace {

using namespace stringroles;

enum class RowState { Untranslated = 1, Modified, WrittenBack };

QString stateName(RowState state) {
  switch (state) {
    case RowState::Modified:
      return QStringLiteral("已修改，未回寫");
    case RowState::WrittenBack:
      return QStringLiteral("已回寫");
    default:
      return QStringLiteral("未翻譯");
  }
}

// A hollow circle, an orange dot, a green dot: readable without colour too.
QIcon stateIcon(RowState state) {
  static QIcon icons[3];
  QIcon& icon = icons[static_cast<int>(state) - 1];
  if (icon.isNull()) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (state == RowState::Untranslated) {
      p.setPen(QPen(QColor(128, 128, 128), 1.5));
      p.drawEllipse(QRectF(2, 2, 8, 8));
    } else {
      p.setPen(Qt::NoPen);
      p.setBrush(state == RowState::Modified ? QColor(230, 130, 0) : QColor(0, 150, 60));
      p.drawEllipse(QRectF(1, 1, 10, 10));
    }
    p.end();
    icon = QIcon(pixmap);
  }
  return icon;
}

}  // namespace

// A warning sign: the stored value has a problem (its tip says which).
QIcon problemIcon() {
  static QIcon icon;
  if (icon.isNull()) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 60, 0), 1));
    p.setBrush(QColor(250, 190, 0));
    p.drawPolygon(QPolygonF({QPointF(6, 0.5), QPointF(11.5, 11.5), QPointF(0.5, 11.5)}));
    p.setPen(QPen(Qt::black, 1.6));
    p.drawLine(QPointF(6, 4), QPointF(6, 7.5));
    p.drawPoint(QPointF(6, 9.8));
    p.end();
    icon = QIcon(pixmap);
  }
  return icon;
}

namespace {

QString fromCp950(std::string_view bytes) {
  std::u16string text = cp950::decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string bytesOf(const QTreeWidgetItem* item, int column) {
  return item->data(column, kBytesRole).toByteArray().toStdString();
}

// Minimum widths of the columns. The first one is fixed, wide enough for
// the tick, the row's mark and a four-digit line number.
constexpr int kMinWidth[4] = {84, 50, 100, 100};

}  // namespace

QWidget* Tnewdfm::createStringPage() {
  // The table fills the page from its top left corner (the value editors
  // are placed in its coordinates); the filter lies below it.
  auto* stringPage = new StringPage;
  stringPage->setObjectName(QStringLiteral("stringpage"));
  auto* pageLayout = new QVBoxLayout(stringPage);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->setSpacing(0);
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
  header->setStretchLastSection(true);  // 修改後字串 takes the room left
  header->setMinimumSectionSize(50);
  header->resizeSection(0, kMinWidth[0]);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(1, 100);
  header->resizeSection(2, 200);
  header->resizeSection(3, 100);
  connect(header, &QHeaderView::sectionResized, this, [header](int index, int, int size) {
    if (index > 0 && index < 4 && size < kMinWidth[index]) header->resizeSection(index, kMinWidth[index]);
  });
  stringlist->setEnabled(false);
  stringlist->setAccessibleName(QStringLiteral("字串列表"));
  pageLayout->addWidget(stringlist, 1);
  stringsOnly = new QCheckBox(QStringLiteral("只顯示字串"));
  stringsOnly->setObjectName(QStringLiteral("stringsOnly"));
  stringsOnly->setToolTip(QStringLiteral("只顯示值為字串的列（Caption、Hint、Text…）：要翻譯的列"));
  auto* filterBar = new QHBoxLayout;
  filterBar->setContentsMargins(4, 2, 4, 2);
  filterBar->addWidget(stringsOnly);
  filterBar->addStretch(1);
  toTraditional = new QPushButton(QStringLiteral("簡轉繁"));
  toTraditional->setObjectName(QStringLiteral("toTraditional"));
  toTraditional->setToolTip(
      QStringLiteral("以 OpenCC（s2twp）把每個含漢字的原始字串轉為繁體，填入修改後字串並勾選；檢查後再回寫"));
  filterBar->addWidget(toTraditional);
  connect(toTraditional, &QPushButton::clicked, this, &Tnewdfm::toTraditionalClick);
  pageLayout->addLayout(filterBar);
  connect(stringsOnly, &QCheckBox::toggled, this, &Tnewdfm::applyStringFilter);
  translatedCount = new QLabel;
  translatedCount->setObjectName(QStringLiteral("translatedCount"));
  translatedCount->hide();

  connect(stringlist, &QTreeWidget::itemSelectionChanged, this, &Tnewdfm::stringlistChange);
  connect(stringlist, &QTreeWidget::itemChanged, this, &Tnewdfm::stringlistChange);
  // A tick set or cleared by hand changes the row's state.
  connect(stringlist, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    if (m_fillingStrings) return;
    showRowState(item);
    updateTranslatedCount();
  });
  connect(stringlist->model(), &QAbstractItemModel::rowsRemoved, this, &Tnewdfm::updateTranslatedCount);
  connect(view, &StringListView::mousePressed, this, &Tnewdfm::stringlistMouseDown);
  valueEditors = new StringValueEditors(*this, m_dialogs, stringlist, stringPage);
  connect(stringlist, &QTreeWidget::itemSelectionChanged, valueEditors, &StringValueEditors::followSelection);
  connect(view, &StringListView::editRequested, valueEditors, &StringValueEditors::openSelectedRow);
  view->setTypeAheadOff([this] { return valueEditors->isOpen(); });

  PopupMenu1 = new QMenu(stringPage);
  stringPage->setContextMenu(PopupMenu1);
  PopupMenu1->setAccessibleName(QStringLiteral("字串編輯區選單"));
  D3 = PopupMenu1->addAction(QStringLiteral("刪除(&D)"), this, &Tnewdfm::D3Click);
  B1 = PopupMenu1->addAction(QStringLiteral("回寫(&B)"), this, &Tnewdfm::B1Click);
  A5 = PopupMenu1->addAction(QStringLiteral("全部回寫(&A)"), this, &Tnewdfm::A5Click);
  // Also from the keyboard anywhere on the page, an open editor included.
  B1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  A5->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
  for (QAction* a : {B1, A5}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    stringPage->addAction(a);
  }
  stringlist->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(stringlist, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(stringlist->viewport()->mapToGlobal(pos)); });
  return stringPage;
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
  computeLineCodePages();
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
    // The value in the source code page of its line.
    const int codePage = m_lineCodePages[row.lineNumber - 1];
    const std::u16string value = codepage::decode(row.value, codePage);
    item->setText(2, QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())));
    item->setData(2, kBytesRole, QByteArray::fromStdString(row.value));
    // The extracted value is the first quoted piece only; the tip shows it all.
    const std::u16string whole =
        wholeValue(static_cast<std::size_t>(Editor->model().lineCount()), lineAt, row.lineNumber - 1, 4096, codePage);
    const QString tip = QString::fromUtf16(whole.data(), static_cast<qsizetype>(whole.size()));
    for (int c = 1; c < 4; ++c) item->setToolTip(c, tip);
    item->setData(0, kStringRole, holdsStringValue(Editor->model(), row.lineNumber - 1));
    showRowState(item);
    items << item;
  }
  stringlist->addTopLevelItems(items);
  const bool stringsOnlyShown = stringsOnly->isChecked();
  for (QTreeWidgetItem* item : items) item->setHidden(stringsOnlyShown && !item->data(0, kStringRole).toBool());
  m_fillingStrings = false;
  updateTranslatedCount();
  // The table opens at its first row shown; selecting it counts as a change
  // of the table.
  for (QTreeWidgetItem* item : items) {
    if (item->isHidden()) continue;
    stringlist->setCurrentItem(item);
    break;
  }
  stringlist->scrollToTop();
}

void Tnewdfm::applyStringFilter() {
  const bool on = stringsOnly->isChecked();
  QTreeWidgetItem* current = stringlist->currentItem();
  for (int i = 0; i < stringRowCount(); ++i) {
    QTreeWidgetItem* item = stringlist->topLevelItem(i);
    item->setHidden(on && !item->data(0, kStringRole).toBool());
  }
  if (!current || !current->isHidden()) {
    if (current) stringlist->scrollToItem(current);
    return;
  }
  // The selection goes to the next row shown, else to the one before.
  valueEditors->closeAll();
  const int at = stringlist->indexOfTopLevelItem(current);
  for (int step : {1, -1})
    for (int i = at + step; i >= 0 && i < stringRowCount(); i += step)
      if (!stringlist->topLevelItem(i)->isHidden()) {
        stringlist->setCurrentItem(stringlist->topLevelItem(i));
        stringlist->scrollToItem(stringlist->topLevelItem(i));
        return;
      }
  stringlist->clearSelection();
}

void Tnewdfm::showRowState(QTreeWidgetItem* item) {
  RowState state = RowState::Untranslated;
  if (item->checkState(0) == Qt::Checked && item->data(0, kPendingRole).toBool() && item->data(3, kModifiedRole).toBool())
    state = RowState::Modified;
  else if (item->data(0, kWrittenRole).toBool())
    state = RowState::WrittenBack;
  // A value stored and not yet written back is checked against the text it
  // replaces.
  const QString problems = item->data(0, kPendingRole).toBool() && item->data(3, kModifiedRole).toBool()
                               ? rowProblems(stringlist->indexOfTopLevelItem(item))
                               : QString();
  if (item->data(0, kStateRole).toInt() == static_cast<int>(state) && item->data(0, kProblemsRole).toString() == problems)
    return;
  const QSignalBlocker quiet(stringlist);  // a mark is no change of the row
  item->setData(0, kStateRole, static_cast<int>(state));
  item->setData(0, kProblemsRole, problems);
  item->setIcon(0, problems.isEmpty() ? stateIcon(state) : problemIcon());
  const QString tip = problems.isEmpty() ? stateName(state) : stateName(state) + QLatin1Char('\n') + problems;
  item->setToolTip(0, tip);
  item->setData(0, Qt::AccessibleDescriptionRole, tip);
}

void Tnewdfm::updateTranslatedCount() {
  int strings = 0, translated = 0;
  for (int i = 0; i < stringRowCount(); ++i) {
    const QTreeWidgetItem* item = stringlist->topLevelItem(i);
    if (!item->data(0, kStringRole).toBool()) continue;
    ++strings;
    if (item->data(0, kStateRole).toInt() != static_cast<int>(RowState::Untranslated)) ++translated;
  }
  translatedCount->setText(QStringLiteral("已翻譯 %1 / %2").arg(translated).arg(strings));
  translatedCount->setVisible(stringlist->isEnabled() && strings > 0);
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
  row.stringValue = item->data(0, kStringRole).toBool();
  row.writtenBack = item->data(0, kWrittenRole).toBool();
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
    showRowState(item);
    updateTranslatedCount();
  }
}

void Tnewdfm::clearStringModified(int index) {
  if (QTreeWidgetItem* item = stringlist->topLevelItem(index)) {
    item->setData(3, kBytesRole, QVariant());
    item->setData(3, kModifiedRole, false);
    item->setData(3, kDecodedRole, false);
    item->setData(0, kPendingRole, false);
    item->setText(3, QString());
    showRowState(item);
    updateTranslatedCount();
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
  int skipped = 0;
  writeBackRows({index}, &skipped);
}

void Tnewdfm::A5Click() {
  const int selected = selectedStringRow();
  if (selected < 0) return;
  // Rows written back are unticked, and the keyboard route leaves the
  // selection on the next row to translate: the ticked rows are written
  // whichever row is selected.
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
  std::vector<std::size_t> translated;  // strings rewritten under another script's code page
  for (int index : rows) {
    const StringRow row = stringRow(index);
    WriteBackRow wb{static_cast<std::size_t>(row.lineNumber), row.name, std::nullopt, row.lineRemoved};
    if (row.hasModified) wb.modified = row.modified;
    // An unchanged string compares as read in its source code page.
    wb.codePage = stringRowCodePage(index);
    if (Outcome<> done = writeBack.write(wb); !done) {
      messages << QString::fromUtf8(done.reason());
    } else {
      ++written;
      if (writeBack.lastWriteChanged() && row.stringValue && wb.codePage != 950 && !row.lineRemoved)
        translated.push_back(static_cast<std::size_t>(row.lineNumber - 1));
      QTreeWidgetItem* item = stringlist->topLevelItem(index);
      item->setData(0, kPendingRole, false);
      item->setData(0, kWrittenRole, true);
      item->setCheckState(0, Qt::Unchecked);  // done: its mark says written back
      showRowState(item);
    }
  }
  *skipped = static_cast<int>(messages.size());
  // The fonts of translated strings are made to show Big5, in the same step.
  const bool fontsChanged = !translated.empty();
  if (fontsChanged) {
    const FormTextFonts fonts = readFormTextFonts(
        static_cast<std::size_t>(model.lineCount()),
        [&model](std::size_t i) { return std::string_view(model.lineText(static_cast<int>(i))); }, sourceCodePage());
    for (const WriteBackRow& row : traditionalFontRows(fonts, translated, FontNameMap::shipped())) writeBack.write(row);
  }
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
  // Later write-backs read the lines under their new fonts; the source
  // column keeps the originals as they were read.
  if (fontsChanged) computeLineCodePages();
  updateTranslatedCount();
  if (!messages.isEmpty()) m_dialogs.information(this, messages.join(QLatin1Char('\n')));
  return written;
}

}  // namespace vc
