#pragma once
// One paint of the editor's viewport: the gutter, the visible lines, the
// right edge, the caret. Only the lines that the paint's rectangle touches
// are read, scanned and drawn.
#include <QRect>

#include "editor/model/TextPos.h"
#include "editor/widget/LinePainter.h"

class QPainter;

namespace vc {

class CodeEditor;

class EditorPainter {
 public:
  EditorPainter(const CodeEditor& editor, QPainter& painter, const FontSet& fonts);

  // Paints the rows inside `dirty` and returns how many lines it drew.
  int paint(const QRect& dirty);

 private:
  void paintGutter(int firstRow, int lastRow);
  void paintBookmark(int digit, int y);
  void paintRightEdge(const QRect& dirty);
  CellSpan selectionOnLine(int line1) const;
  void paintCaret();
  void paintDropCaret(TextPos pos);
  void paintPreedit();

  const CodeEditor& m_editor;
  QPainter& m_painter;
  const FontSet& m_fonts;
};

}  // namespace vc
