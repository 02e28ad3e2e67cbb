#include "editor/widget/LinePainter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <algorithm>

#include "editor/widget/LineLayout.h"
#include "platform/Cp950.h"

namespace vc {

void FontSet::reset(const QFont& base) {
  for (int i = 0; i < 4; ++i) {
    QFont f = base;
    f.setBold((i & fsBold) != 0);
    f.setItalic((i & fsItalic) != 0);
    m_fonts[static_cast<std::size_t>(i)] = f;
    m_raw[static_cast<std::size_t>(i)] = QRawFont::fromFont(f);
  }
  m_hex = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_hex.setPixelSize(std::max(5, base.pixelSize() / 2));
}

LinePainter::LinePainter(QPainter& painter, const FontSet& fonts, const CellMetrics& metrics,
                         const QPalette& palette)
    : m_painter(painter), m_fonts(fonts), m_metrics(metrics), m_palette(palette) {}

void LinePainter::setViewport(int textLeft, int leftCell, int visibleCells) {
  m_textLeft = textLeft;
  m_leftCell = leftCell;
  m_visibleCells = visibleCells;
}

QColor LinePainter::resolve(Color color, bool background) const {
  switch (color.kind) {
    case Color::Kind::Window:
      return m_palette.color(QPalette::Base);
    case Color::Kind::WindowText:
      return m_palette.color(QPalette::Text);
    case Color::Kind::Rgb:
      return QColor::fromRgb(static_cast<QRgb>(color.rgb));
  }
  return m_palette.color(background ? QPalette::Base : QPalette::Text);
}

void LinePainter::paint(int y, const std::string& line, int index, Highlighter* highlighter,
                        RangeState range, CellSpan selection) {
  // Nothing right of the window is drawn, so the rest of a long line is
  // neither expanded nor scanned (a few cells more keep tokens that straddle
  // the edge, such as a keyword, classified as on a full line).
  LineLayout::expandTabs(line, m_expanded, m_leftCell + m_visibleCells + 16);
  scanTokens(index, highlighter, range);
  paintBackgrounds(y, selection);
  paintCharacters(y, selection);
}

void LinePainter::scanTokens(int index, Highlighter* highlighter, RangeState range) {
  // Attributes are kept for the visible cells only: a long line costs its
  // scan, not a table as long as itself.
  m_attrs.assign(static_cast<std::size_t>(std::max(0, m_visibleCells)), nullptr);
  if (!highlighter) return;
  highlighter->setRangeState(range);
  highlighter->startLine(m_expanded, index);
  const int size = static_cast<int>(m_expanded.size());
  // Each token is at least one byte long, so this bounds a faulty scanner.
  for (int guard = 0; !highlighter->atLineEnd() && guard <= size; ++guard) {
    const int start = std::max(m_leftCell, highlighter->tokenStart());
    const int end =
        std::min({size, m_leftCell + m_visibleCells,
                  highlighter->tokenStart() + static_cast<int>(highlighter->tokenText().size())});
    if (highlighter->tokenStart() >= m_leftCell + m_visibleCells) break;
    HighlightAttributes* attrs = highlighter->tokenAttributes();
    for (int c = start; c < end; ++c) m_attrs[static_cast<std::size_t>(c - m_leftCell)] = attrs;
    highlighter->advance();
  }
}

LinePainter::Style LinePainter::styleAt(int cell, const CellSpan& selection) const {
  Style s;
  const HighlightAttributes* a =
      cell >= m_leftCell && cell - m_leftCell < static_cast<int>(m_attrs.size())
          ? m_attrs[static_cast<std::size_t>(cell - m_leftCell)]
          : nullptr;
  if (a) {
    s.foreground = resolve(a->foreground(), false);
    s.background = resolve(a->background(), true);
    s.style = a->style();
  } else {
    s.foreground = m_palette.color(QPalette::Text);
    s.background = m_palette.color(QPalette::Base);
  }
  if (selection.contains(cell)) {
    s.foreground = m_palette.color(QPalette::HighlightedText);
    s.background = m_palette.color(QPalette::Highlight);
  }
  return s;
}

void LinePainter::paintBackgrounds(int y, const CellSpan& selection) {
  // The row is already cleared in the window colour: only cells of another
  // background are filled, in runs.
  const QColor base = m_palette.color(QPalette::Base);
  const int first = m_leftCell;
  const int last = m_leftCell + m_visibleCells;  // exclusive
  int runStart = first;
  QColor runColor = styleAt(first, selection).background;
  for (int c = first + 1; c <= last; ++c) {
    const QColor color = c < last ? styleAt(c, selection).background : QColor();
    if (c < last && color == runColor) continue;
    if (runColor != base)
      m_painter.fillRect(cellX(runStart), y, (c - runStart) * m_metrics.width, m_metrics.height,
                         runColor);
    runStart = c;
    runColor = color;
  }
}

void LinePainter::paintCharacters(int y, const CellSpan& selection) {
  const std::string_view text = m_expanded;
  const int lastCell = m_leftCell + m_visibleCells;
  m_batchChars.clear();
  m_batchPositions.clear();
  for (std::size_t i = 0; i < text.size() && static_cast<int>(i) < lastCell;) {
    const std::size_t len = cp950::charLength(text, i);
    const int cell = static_cast<int>(i);  // tabs are expanded: byte offset == cell
    if (cell + static_cast<int>(len) > m_leftCell) {
      const unsigned char b = static_cast<unsigned char>(text[i]);
      const Style style = styleAt(cell, selection);
      char16_t ch = 0;
      if (len == 2)
        ch = cp950::decodePair(b, static_cast<unsigned char>(text[i + 1]));
      else if (b >= 0x20 && b < 0x7F)
        ch = b;
      else if (b >= 0x80) {
        const std::u16string one = cp950::decode(text.substr(i, 1));
        if (one.size() == 1 && (one[0] < 0xD800 || one[0] > 0xDFFF)) ch = one[0];
      }
      if (ch == 0)
        paintHex(cell, static_cast<int>(len), text.substr(i, len), style, y);
      else if (ch != u' ')
        queueGlyph(ch, cell, style, y);
    }
    i += len;
  }
  flushGlyphs();
}

void LinePainter::queueGlyph(char16_t ch, int cell, const Style& style, int y) {
  if (!m_batchChars.isEmpty() &&
      (style.foreground != m_batchStyle.foreground || style.style != m_batchStyle.style))
    flushGlyphs();
  m_batchStyle = style;
  m_batchChars.append(QChar(ch));
  m_batchPositions.emplace_back(cellX(cell), y + m_metrics.ascent);
}

void LinePainter::flushGlyphs() {
  if (m_batchChars.isEmpty()) return;
  const QRawFont& raw = m_fonts.rawFont(m_batchStyle.style);
  QList<quint32> glyphs = raw.glyphIndexesForString(m_batchChars);
  m_painter.setPen(m_batchStyle.foreground);
  // Characters the font lacks go through QPainter, whose font fallback
  // finds another face for them; the rest are drawn as one glyph run.
  QList<quint32> found;
  QList<QPointF> positions;
  found.reserve(glyphs.size());
  positions.reserve(glyphs.size());
  for (qsizetype k = 0; k < glyphs.size() && k < qsizetype(m_batchPositions.size()); ++k) {
    if (glyphs[k] != 0) {
      found.append(glyphs[k]);
      positions.append(m_batchPositions[static_cast<std::size_t>(k)]);
    } else {
      m_painter.setFont(m_fonts.font(m_batchStyle.style));
      m_painter.drawText(m_batchPositions[static_cast<std::size_t>(k)], QString(m_batchChars[k]));
    }
  }
  if (!found.isEmpty()) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(found);
    run.setPositions(positions);
    run.setUnderline((m_batchStyle.style & fsUnderline) != 0);
    run.setStrikeOut((m_batchStyle.style & fsStrikeOut) != 0);
    m_painter.drawGlyphRun(QPointF(0, 0), run);
  }
  m_batchChars.clear();
  m_batchPositions.clear();
}

void LinePainter::paintHex(int cell, int cells, std::string_view bytes, const Style& style, int y) {
  flushGlyphs();
  const int w = cells * m_metrics.width;
  const int h = m_metrics.height;
  const QRect box(cellX(cell), y + 1, w - 1, h - 3);
  m_painter.setPen(style.foreground);
  m_painter.drawRect(box);
  m_painter.setFont(m_fonts.hexFont());
  static const char digits[] = "0123456789ABCDEF";
  // Two hex digits per byte in two rows: a byte on one cell stacks its
  // digits, a pair on two cells puts one byte in each row.
  const int rowH = (h - 3) / 2;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const unsigned char b = static_cast<unsigned char>(bytes[k]);
    const QString hi = QChar(digits[b >> 4]);
    const QString lo = QChar(digits[b & 15]);
    if (bytes.size() == 1) {
      m_painter.drawText(QRect(box.x(), box.y(), box.width() + 1, rowH + 1), Qt::AlignCenter, hi);
      m_painter.drawText(QRect(box.x(), box.y() + rowH, box.width() + 1, rowH + 1), Qt::AlignCenter,
                         lo);
    } else {
      const QRect row(box.x(), box.y() + static_cast<int>(k) * rowH, box.width() + 1, rowH + 1);
      m_painter.drawText(row, Qt::AlignCenter, hi + lo);
    }
  }
}

}  // namespace vc
