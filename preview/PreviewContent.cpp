#include "preview/PreviewContent.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "preview/PreviewLook.h"

namespace vc::preview {

namespace {

// No form shows more cells than this; a hostile count is cut down.
constexpr int kMaxGridLines = 200;

int scaledBy(double scale, int v) { return static_cast<int>(std::lround(v * scale)); }

QTableWidget* bareGrid(int rows, int cols, QWidget* host) {
  auto* t = new QTableWidget(rows, cols, host);
  t->horizontalHeader()->hide();
  t->verticalHeader()->hide();
  t->verticalHeader()->setMinimumSectionSize(1);
  t->horizontalHeader()->setMinimumSectionSize(1);
  return t;
}

QTableWidgetItem* fixedCell(const QString& text = QString()) {
  auto* item = new QTableWidgetItem(text);
  item->setBackground(systemColor(15));
  item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return item;
}

bool hasOption(const Component& c, const char* option) {
  const Value* v = findProperty(c, "Options");
  if (!v || v->type != Value::Type::Set) return true;  // the default set holds it
  return std::find(v->set.begin(), v->set.end(), option) != v->set.end();
}

}  // namespace

QTableWidget* makeStringGrid(const Component& c, double scale, QWidget* host) {
  const int cols = std::clamp(intProperty(c, "ColCount", 5), 0, kMaxGridLines);
  const int rows = std::clamp(intProperty(c, "RowCount", 5), 0, kMaxGridLines);
  QTableWidget* t = bareGrid(rows, cols, host);
  t->horizontalHeader()->setDefaultSectionSize(std::max(1, scaledBy(scale, intProperty(c, "DefaultColWidth", 64)) + 1));
  t->verticalHeader()->setDefaultSectionSize(std::max(1, scaledBy(scale, intProperty(c, "DefaultRowHeight", 24)) + 1));
  const int fixedRows = std::clamp(intProperty(c, "FixedRows", 1), 0, rows);
  const int fixedCols = std::clamp(intProperty(c, "FixedCols", 1), 0, cols);
  for (int r = 0; r < rows; ++r)
    for (int col = 0; col < cols; ++col)
      if (r < fixedRows || col < fixedCols) t->setItem(r, col, fixedCell());
  return t;
}

QTableWidget* makeDataGrid(const Component& c, const QFont& font, double scale, QWidget* host, QString& titles) {
  struct Column {
    QString title;
    int width = 64;
  };
  std::vector<Column> columns;
  if (const Value* v = findProperty(c, "Columns"); v && v->type == Value::Type::Collection) {
    for (const auto& item : v->items) {
      Column col;
      bool visible = true;
      for (const Property& p : item) {
        if (p.name == "Title.Caption" && p.value.isString()) col.title = p.value.text;
        else if (p.name == "FieldName" && p.value.isString() && col.title.isEmpty()) col.title = p.value.text;
        else if (p.name == "Width" && p.value.isInt())
          col.width = scaledBy(scale, static_cast<int>(std::clamp<std::int64_t>(p.value.integer, 0, 4000)));
        else if (p.name == "Visible" && p.value.type == Value::Type::Bool) visible = p.value.boolean;
      }
      if (visible && static_cast<int>(columns.size()) < kMaxGridLines) columns.push_back(col);
    }
  }
  if (columns.empty()) columns.push_back({QString(), scaledBy(scale, 64)});
  const bool indicator = hasOption(c, "dgIndicator");
  const bool title = hasOption(c, "dgTitles");
  const int first = indicator ? 1 : 0;
  QTableWidget* t = bareGrid(title ? 2 : 1, first + static_cast<int>(columns.size()), host);
  t->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  if (indicator) {
    t->setColumnWidth(0, scaledBy(scale, 11) + 1);
    for (int r = 0; r < t->rowCount(); ++r) t->setItem(r, 0, fixedCell());
  }
  QStringList captions;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const int col = first + static_cast<int>(k);
    t->setColumnWidth(col, columns[k].width + 1);
    if (title) t->setItem(0, col, fixedCell(columns[k].title));
    captions << columns[k].title;
  }
  titles = captions.join(QLatin1Char('\t'));
  return t;
}

}  // namespace vc::preview
