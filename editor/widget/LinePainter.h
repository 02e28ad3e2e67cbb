#pragma once
// Draws the text of one line: the highlighter's tokens in their attribute
// sets' colours and styles, the selection over them in the highlight
// colours, every character on its cells, undecodable bytes as boxed hex.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRawFont>
#include <array>
#include <string>
#include <vector>

#include "editor/highlight/Highlighter.h"
#include "editor/widget/CellMetrics.h"

class QPainter;

namespace vc {

// The fonts of the four weight/slant combinations, kept between paints.
class FontSet {
 public:
  void reset(const QFont& base);
  const QFont& font(FontStyles style) const { return m_fonts[index(style)]; }
  const QRawFont& rawFont(FontStyles style) const { return m_raw[index(style)]; }
  const QFont& hexFont() const { return m_hex; }

 private:
  static int index(FontStyles style) { return style & (fsBold | fsItalic); }
  std::array<QFont, 4> m_fonts;
  std::array<QRawFont, 4> m_raw;
  QFont m_hex;
};

// Cells [begin, end) of a line that are selected; end may be "to the right
// edge of the window".
struct CellSpan {
  int begin = 0;
  int end = 0;
  bool empty() const { return end <= begin; }
  bool contains(int cell) const { return cell >= begin && cell < end; }
};

class LinePainter {
 public:
  LinePainter(QPainter& painter, const FontSet& fonts, const CellMetrics& metrics,
              const QPalette& palette);

  // Where cell `leftCell` starts on screen and how many cells are visible.
  void setViewport(int textLeft, int leftCell, int visibleCells);

  // Draws line `index` (its bytes `line`, its start state `range`) in the
  // row whose top is at y.
  void paint(int y, const std::string& line, int index, Highlighter* highlighter, RangeState range,
             CellSpan selection);

  QColor resolve(Color color, bool background) const;

 private:
  struct Style {
    QColor foreground;
    QColor background;
    FontStyles style = 0;
  };
  void scanTokens(int index, Highlighter* highlighter, RangeState range);
  Style styleAt(int cell, const CellSpan& selection) const;
  void paintBackgrounds(int y, const CellSpan& selection);
  void paintCharacters(int y, const CellSpan& selection);
  void queueGlyph(char16_t ch, int cell, const Style& style, int y);
  void flushGlyphs();
  void paintHex(int cell, int cells, std::string_view bytes, const Style& style, int y);
  int cellX(int cell) const { return m_textLeft + (cell - m_leftCell) * m_metrics.width; }

  QPainter& m_painter;
  const FontSet& m_fonts;
  const CellMetrics& m_metrics;
  const QPalette& m_palette;
  int m_textLeft = 0;
  int m_leftCell = 0;
  int m_visibleCells = 0;

  std::string m_expanded;                     // the line with tabs expanded
  std::vector<HighlightAttributes*> m_attrs;  // per visible cell, null: editor's own

  // Glyphs waiting to be drawn in one style.
  Style m_batchStyle;
  QString m_batchChars;
  std::vector<QPointF> m_batchPositions;
};

}  // namespace vc
