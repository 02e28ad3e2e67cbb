#include "preview/PreviewContent.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <cmath>
#include <cstdint>
#include <optional>

#include "preview/PreviewCharset.h"
#include "preview/PreviewLook.h"

namespace vc::preview {

namespace {

// No form shows more cells, items or images than this; a hostile count is
// cut down.
constexpr int kMaxGridLines = 200;
constexpr int kMaxItems = 5000;
constexpr int kMaxItemDepth = 32;
constexpr int kMaxImages = 1000;

// Little-endian values read from bytes that may be hostile: every read is
// checked against what is left, and a failed one stops all that follow.
class Bytes {
 public:
  Bytes(const std::string& d, std::size_t begin = 0, std::size_t end = std::string::npos)
      : m_d(d), m_pos(begin), m_end(std::min(end, d.size())) {}
  bool ok() const { return m_ok; }
  std::size_t pos() const { return m_pos; }
  std::size_t left() const { return m_ok && m_pos < m_end ? m_end - m_pos : 0; }
  std::uint8_t u8() { return m_ok && need(1) ? static_cast<std::uint8_t>(m_d[m_pos++]) : 0; }
  std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | u8() << 8); }
  std::int32_t i32() {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(u8()) << (8 * k);
    return static_cast<std::int32_t>(v);
  }
  std::string take(std::size_t n) {
    if (!need(n)) return {};
    std::string out = m_d.substr(m_pos, n);
    m_pos += n;
    return out;
  }
  void skip(std::size_t n) { if (need(n)) m_pos += n; }

 private:
  bool need(std::size_t n) {
    if (m_pos > m_end || n > m_end - m_pos) m_ok = false;
    return m_ok;
  }
  const std::string& m_d;
  std::size_t m_pos, m_end;
  bool m_ok = true;
};

// A tree view's Items.Data node: its record size, six integers (image,
// selected image, state, overlay, data, child count) and a short string.
// Items.NodeData keeps one more integer before the count, a byte after
// it, and the text as a count of UTF-16 units.
struct TreeReader {
  const std::string& data;
  bool nodeData;
  int codePage;
  int count = 0;

  bool node(Bytes& in, ViewItem& item, int& children) {
    const std::int32_t size = in.i32();
    if (!in.ok() || size < 0 || static_cast<std::size_t>(size) > in.left()) return false;
    Bytes rec(data, in.pos(), in.pos() + static_cast<std::size_t>(size));
    in.skip(static_cast<std::size_t>(size));
    item.image = rec.i32();
    rec.skip(16);  // selected image, state, overlay, data
    if (nodeData) {
      rec.skip(4);
      children = rec.i32();
      rec.u8();
      const std::size_t n = rec.u8();
      const std::string raw = rec.take(2 * n);
      std::u16string w;
      for (std::size_t k = 0; k + 1 < raw.size(); k += 2)
        w.push_back(static_cast<char16_t>(static_cast<unsigned char>(raw[k]) | static_cast<unsigned char>(raw[k + 1]) << 8));
      item.text = QString::fromStdU16String(w);
    } else {
      children = rec.i32();
      const std::size_t n = rec.u8();
      item.text = decode8(rec.take(std::min(n, rec.left())), codePage);
    }
    return rec.ok() && children >= 0;
  }

  void nodes(Bytes& in, int n, std::vector<ViewItem>& out, int depth) {
    for (int k = 0; k < n && count < kMaxItems && in.ok(); ++k) {
      ViewItem item;
      int children = 0;
      if (!node(in, item, children)) return;
      ++count;
      if (depth < kMaxItemDepth) nodes(in, std::min(children, kMaxItems), item.children, depth + 1);
      out.push_back(std::move(item));
      if (depth >= kMaxItemDepth) return;
    }
  }
};

std::optional<QImage> bitmapAt(const std::string& data, std::size_t at, std::size_t* size) {
  Bytes in(data, at);
  if (in.u8() != 'B' || in.u8() != 'M') return std::nullopt;
  const std::int32_t bytes = in.i32();
  if (!in.ok() || bytes < 14 || static_cast<std::size_t>(bytes) > data.size() - at) return std::nullopt;
  QImage img = QImage::fromData(reinterpret_cast<const uchar*>(data.data() + at), bytes, "BMP");
  if (img.isNull()) return std::nullopt;
  *size = static_cast<std::size_t>(bytes);
  return img;
}

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

std::vector<ViewItem> readTreeItems(const std::string& data, bool nodeData, int codePage) {
  std::vector<ViewItem> out;
  Bytes in(data);
  if (nodeData) in.u8();
  const std::int32_t n = in.i32();
  if (!in.ok() || n <= 0) return out;
  TreeReader r{data, nodeData, codePage};
  r.nodes(in, std::min(n, kMaxItems), out, 0);
  return out;
}

std::vector<ViewItem> readListItems(const std::string& data, int codePage) {
  // The whole size, the count, then per item: image, state, overlay,
  // sub-item count and data, the caption and the sub-items as short strings.
  std::vector<ViewItem> out;
  Bytes in(data);
  in.i32();
  const std::int32_t n = in.i32();
  for (int k = 0; k < std::min(n, kMaxItems) && in.ok(); ++k) {
    ViewItem item;
    item.image = in.i32();
    in.skip(8);
    const std::int32_t subs = in.i32();
    in.skip(4);
    item.text = decode8(in.take(in.u8()), codePage);
    for (int j = 0; j < std::min(subs, 64) && in.ok(); ++j) item.subItems << decode8(in.take(in.u8()), codePage);
    if (!in.ok() || subs < 0) break;
    out.push_back(std::move(item));
  }
  return out;
}

std::vector<QPixmap> decodeImageList(const std::string& data) {
  std::vector<QPixmap> out;
  // Behind a 4-byte size or at the start.
  const std::size_t at = data.compare(0, 2, "IL") == 0 ? 0 : data.size() >= 6 && data.compare(4, 2, "IL") == 0 ? 4 : std::string::npos;
  if (at == std::string::npos) return out;
  Bytes in(data, at + 2);
  in.u16();  // version
  const int count = in.u16();
  in.u16();  // room
  in.u16();  // growth
  const int cx = in.u16(), cy = in.u16();
  in.i32();  // background colour
  const int flags = in.u16();
  in.skip(8);  // overlay images
  if (!in.ok() || cx <= 0 || cy <= 0 || cx > 256 || cy > 256) return out;
  std::size_t size = 0;
  std::optional<QImage> image = bitmapAt(data, in.pos(), &size);
  if (!image || image->width() < cx) return out;
  QImage img = image->convertToFormat(QImage::Format_ARGB32);
  if (flags & 1) {  // a mask follows: its set bits are transparent
    std::size_t maskSize = 0;
    if (std::optional<QImage> mask = bitmapAt(data, in.pos() + size, &maskSize); mask && mask->size() == img.size()) {
      const QImage m = mask->convertToFormat(QImage::Format_Mono);
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (m.pixelIndex(x, y) != 0 && qGray(m.pixel(x, y)) > 127) img.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  const int perRow = img.width() / cx;
  for (int k = 0; k < std::min(count, kMaxImages); ++k) {
    const int x = (k % perRow) * cx, y = (k / perRow) * cy;
    if (y + cy > img.height()) break;
    out.push_back(QPixmap::fromImage(img.copy(x, y, cx, cy)));
  }
  return out;
}

QTreeWidget* makeItemView(const Component& c, Kind kind, double scale, const std::vector<QPixmap>& images,
                          int codePage, QWidget* host, QString& text) {
  auto* t = new QTreeWidget(host);
  t->setRootIsDecorated(kind == Kind::TreeView);
  const Value* cols = findProperty(c, "Columns");
  const bool report = identProperty(c, "ViewStyle") == QLatin1String("vsReport");
  QStringList shown;
  if (kind == Kind::ListView && report && cols && cols->type == Value::Type::Collection) {
    QStringList labels;
    std::vector<int> widths;
    for (const auto& item : cols->items) {
      QString cap;
      int width = 50;
      for (const Property& pr : item) {
        if (pr.name == "Caption" && pr.value.isString()) cap = pr.value.text;
        if (pr.name == "Width" && pr.value.isInt()) width = static_cast<int>(std::clamp<std::int64_t>(pr.value.integer, 0, 4000));
      }
      labels << cap;
      widths.push_back(scaledBy(scale, width));
      if (static_cast<int>(labels.size()) >= kMaxGridLines) break;
    }
    t->setColumnCount(std::max<int>(1, static_cast<int>(labels.size())));
    t->setHeaderLabels(labels);
    for (std::size_t k = 0; k < widths.size(); ++k) t->setColumnWidth(static_cast<int>(k), widths[k]);
    if (!boolProperty(c, "ShowColumnHeaders", true)) t->header()->hide();
    shown << labels;
  } else {
    t->header()->hide();
  }
  const Value* data = findProperty(c, "Items.Data");
  const Value* nodeData = findProperty(c, "Items.NodeData");
  std::vector<ViewItem> items;
  if (kind == Kind::TreeView && (nodeData || data))
    items = readTreeItems((nodeData ? nodeData : data)->bytes, nodeData != nullptr, codePage);
  else if (kind == Kind::ListView && data)
    items = readListItems(data->bytes, codePage);
  auto icon = [&](int k) { return k >= 0 && static_cast<std::size_t>(k) < images.size() ? QIcon(images[static_cast<std::size_t>(k)]) : QIcon(); };
  std::function<void(const std::vector<ViewItem>&, QTreeWidgetItem*)> add = [&](const std::vector<ViewItem>& level, QTreeWidgetItem* parent) {
    for (const ViewItem& v : level) {
      auto* it = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(t);
      it->setText(0, v.text);
      it->setIcon(0, icon(v.image));
      for (int k = 0; k < v.subItems.size() && k + 1 < t->columnCount(); ++k) it->setText(k + 1, v.subItems[k]);
      shown << v.text;
      add(v.children, it);
      it->setExpanded(true);
    }
  };
  add(items, nullptr);
  if (!images.empty()) t->setIconSize(images.front().size());
  text = shown.join(QLatin1Char('\t'));
  return t;
}

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
