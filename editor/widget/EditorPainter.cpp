#include "editor/widget/EditorPainter.h"

#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <climits>

#include "editor/widget/CodeEditor.h"
#include "editor/widget/LineLayout.h"
#include "platform/Cp950.h"

namespace vc {

namespace {
const QColor kRightEdgeColor(0xC0, 0xC0, 0xC0);
const QColor kBookmarkFill(0x00, 0x60, 0xA0);
}  // namespace

EditorPainter::EditorPainter(const CodeEditor& editor, QPainter& painter, const FontSet& fonts)
    : m_editor(editor), m_painter(painter), m_fonts(fonts) {}

int EditorPainter::paint(const QRect& dirty) {
  const EditorModel& model = m_editor.model();
  const CellMetrics& m = m_editor.m_metrics;
  const QPalette& palette = m_editor.palette();
  const int width = m_editor.viewport()->width();
  const int textLeft = m_editor.textLeft();

  m_painter.fillRect(dirty, palette.color(QPalette::Base));

  const int firstRow = std::max(0, dirty.top() / m.height);
  const int lastRow = std::max(firstRow, dirty.bottom() / m.height);
  const int top = m_editor.topLine() - 1;
  const int lastLine = std::min(model.lineCount() - 1, top + lastRow);

  LinePainter line(m_painter, m_fonts, m, palette);
  const int visibleCells = std::max(0, (width - textLeft) / m.width + 2);
  line.setViewport(textLeft, m_editor.m_leftCell, visibleCells);
  m_painter.save();
  m_painter.setClipRect(
      QRect(textLeft, 0, std::max(0, width - textLeft), m_editor.viewport()->height()));
  int painted = 0;
  for (int index = top + firstRow; index <= lastLine; ++index) {
    const int y = (index - top) * m.height;
    line.paint(y, model.lineText(index), index, model.highlighter(), model.lineRange(index),
               selectionOnLine(index + 1));
    ++painted;
  }
  paintRightEdge(dirty);
  if (m_editor.m_mouseAction == CodeEditor::MouseAction::DragMove)
    paintDropCaret(m_editor.m_dropPos);
  if (!m_editor.m_preedit.isEmpty())
    paintPreedit();
  else if (m_editor.hasFocus() && m_editor.m_caretShown)
    paintCaret();
  m_painter.restore();

  if (dirty.left() < m_editor.gutterWidth()) paintGutter(firstRow, lastRow);
  return painted;
}

void EditorPainter::paintGutter(int firstRow, int lastRow) {
  const EditorModel& model = m_editor.model();
  const CellMetrics& m = m_editor.m_metrics;
  const QPalette& palette = m_editor.palette();
  const int gutter = m_editor.gutterWidth();
  const int height = m_editor.viewport()->height();
  m_painter.fillRect(QRect(0, firstRow * m.height, gutter, (lastRow - firstRow + 1) * m.height)
                         .intersected(QRect(0, 0, gutter, height)),
                     palette.color(QPalette::Button));
  m_painter.setPen(palette.color(QPalette::Mid));
  m_painter.drawLine(gutter - 1, 0, gutter - 1, height);

  // Digits one per cell, right-aligned, so that the numbers line up
  // whatever the font's own digit widths; all of them go out as one run.
  const QRawFont& raw = m_fonts.rawFont(0);
  const QList<quint32> digitGlyphs = raw.glyphIndexesForString(QStringLiteral("0123456789"));
  const QList<QPointF> advances = raw.advancesForGlyphIndexes(digitGlyphs);
  QList<quint32> glyphs;
  QList<QPointF> positions;
  const int top = m_editor.topLine() - 1;
  const int digitsRight = CodeEditor::kGutterLeft + m_editor.m_gutterDigits * m.width;
  for (int row = firstRow; row <= lastRow; ++row) {
    const int index = top + row;
    if (index >= model.lineCount()) break;
    const int y = row * m.height;
    long long number = static_cast<long long>(index) + m_editor.m_firstLineNumber;
    const bool negative = number < 0;
    int x = digitsRight;
    do {
      const int d = static_cast<int>((negative ? -(number % 10) : number % 10));
      x -= m.width;
      if (digitGlyphs.size() == 10) {
        glyphs.append(digitGlyphs[d]);
        positions.append(QPointF(x + (m.width - advances[d].x()) / 2, y + m.ascent));
      }
      number /= 10;
    } while (number != 0);
    const int mark = model.bookmarkOnLine(index + 1);
    if (mark >= 0) paintBookmark(mark, y);
  }
  if (!glyphs.isEmpty()) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    m_painter.setPen(palette.color(QPalette::ButtonText));
    m_painter.drawGlyphRun(QPointF(0, 0), run);
  }
}

void EditorPainter::paintBookmark(int digit, int y) {
  const CellMetrics& m = m_editor.m_metrics;
  const int x = CodeEditor::kGutterLeft + m_editor.m_gutterDigits * m.width + 1;
  const QRect box(x, y + 1, CodeEditor::kGutterRight - 2, m.height - 3);
  m_painter.save();
  m_painter.fillRect(box, kBookmarkFill);
  m_painter.setPen(Qt::white);
  QFont f = m_fonts.hexFont();
  f.setPixelSize(std::max(6, m.height - 5));
  f.setBold(true);
  m_painter.setFont(f);
  m_painter.drawText(box.adjusted(0, 0, 1, 1), Qt::AlignCenter, QString::number(digit));
  m_painter.restore();
}

void EditorPainter::paintRightEdge(const QRect& dirty) {
  const int x = m_editor.textLeft() +
                (CodeEditor::kRightEdgeColumn - m_editor.m_leftCell) * m_editor.m_metrics.width;
  if (x < m_editor.textLeft() || x < dirty.left() || x > dirty.right()) return;
  m_painter.setPen(kRightEdgeColor);
  m_painter.drawLine(x, dirty.top(), x, dirty.bottom());
}

CellSpan EditorPainter::selectionOnLine(int line1) const {
  const EditorModel& model = m_editor.model();
  if (!model.selAvail()) return {};
  const TextPos b = model.blockBegin();
  const TextPos e = model.blockEnd();
  if (line1 < b.line || line1 > e.line) return {};
  const std::string& text = model.lineText(line1 - 1);
  switch (model.selectionMode()) {
    case SelectionMode::Line:
      return {0, INT_MAX};
    case SelectionMode::Column: {
      const int c1 = std::min(b.column, e.column), c2 = std::max(b.column, e.column);
      return {LineLayout::cellOfColumn(text, c1 - 1), LineLayout::cellOfColumn(text, c2 - 1)};
    }
    case SelectionMode::Normal:
      break;
  }
  // A selected line break shows as one cell after the line's text.
  const int begin = line1 == b.line ? LineLayout::cellOfColumn(text, b.column - 1) : 0;
  const int end = line1 == e.line ? LineLayout::cellOfColumn(text, e.column - 1)
                                  : std::max(LineLayout::cellCount(text), begin) + 1;
  return {begin, end};
}

void EditorPainter::paintCaret() {
  const EditorModel& model = m_editor.model();
  const CellMetrics& m = m_editor.m_metrics;
  const QPoint p = m_editor.pointOf(model.caret());
  const QColor ink = m_editor.palette().color(QPalette::Text);
  if (model.insertMode()) {
    m_painter.fillRect(p.x(), p.y(), 2, m.height, ink);
    return;
  }
  // Overwrite mode: a block over the character under the caret.
  const std::string& text = model.lineText(model.caretLine() - 1);
  const std::size_t at = static_cast<std::size_t>(model.caretColumn() - 1);
  int cells = 1;
  if (at < text.size())
    cells = LineLayout::cellOfColumn(text, static_cast<int>(at + cp950::charLength(text, at))) -
            LineLayout::cellOfColumn(text, static_cast<int>(at));
  m_painter.save();
  m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  m_painter.fillRect(p.x(), p.y(), cells * m.width, m.height, ink);
  m_painter.restore();
}

void EditorPainter::paintDropCaret(TextPos pos) {
  const QPoint p = m_editor.pointOf(pos);
  QPen pen(m_editor.palette().color(QPalette::Text), 1, Qt::DotLine);
  m_painter.setPen(pen);
  m_painter.drawLine(p.x(), p.y(), p.x(), p.y() + m_editor.m_metrics.height - 1);
}

void EditorPainter::paintPreedit() {
  const QPoint p = m_editor.pointOf(m_editor.model().caret());
  const QFont& font = m_fonts.font(0);
  const int w = QFontMetrics(font).horizontalAdvance(m_editor.m_preedit);
  const QRect r(p.x(), p.y(), w + 2, m_editor.m_metrics.height);
  m_painter.fillRect(r, m_editor.palette().color(QPalette::Base));
  m_painter.setFont(font);
  m_painter.setPen(m_editor.palette().color(QPalette::Text));
  m_painter.drawText(QPointF(p.x(), p.y() + m_editor.m_metrics.ascent), m_editor.m_preedit);
  m_painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

}  // namespace vc
