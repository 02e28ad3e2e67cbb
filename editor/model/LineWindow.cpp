#include "editor/model/LineWindow.h"

#include <algorithm>

namespace vc {

LineWindow::LineWindow(EditorModel& model) : m_model(model), m_caretSeen(model.caret()) {
  m_model.addClient(this);
}

LineWindow::~LineWindow() { m_model.removeClient(this); }

void LineWindow::setTopLine(int line) {
  line = std::clamp(line, 1, m_model.lineCount());
  if (line == m_topLine) return;
  m_topLine = line;
  if (m_onTopLineChange) m_onTopLineChange();
}

void LineWindow::setLinesInWindow(int lines) { m_linesInWindow = std::max(lines, 1); }

int LineWindow::lastTopLine() const { return std::max(m_model.lineCount() - m_linesInWindow + 1, 1); }

void LineWindow::ensureCaretVisible() {
  const int line = m_model.caretLine();
  int top = m_topLine;
  if (line < top) top = line;
  if (line >= top + m_linesInWindow) top = line - m_linesInWindow + 1;
  setTopLine(top);
}

bool LineWindow::executeCommand(EditorCommand command) {
  const TextPos c = m_model.caret();
  const int page = m_linesInWindow;
  bool select = false;
  int line = c.line;
  switch (command) {
    case ecSelPageUp: select = true; [[fallthrough]];
    case ecPageUp:
      setTopLine(m_topLine - page);
      line = c.line - page;
      break;
    case ecSelPageDown: select = true; [[fallthrough]];
    case ecPageDown:
      setTopLine(std::min(m_topLine + page, lastTopLine()));
      line = c.line + page;
      break;
    case ecSelPageTop: select = true; [[fallthrough]];
    case ecPageTop: line = m_topLine; break;
    case ecSelPageBottom: select = true; [[fallthrough]];
    case ecPageBottom: line = std::min(m_model.lineCount(), m_topLine + page - 1); break;
    case ecScrollUp: setTopLine(m_topLine - 1); return true;
    case ecScrollDown: setTopLine(std::min(m_topLine + 1, lastTopLine())); return true;
    default: return false;
  }
  m_model.moveCaret({c.column, line}, select);
  return true;
}

// ---- Following the model

void LineWindow::linesDeleted(int, int) { setTopLine(m_topLine); }

void LineWindow::textReset() {
  m_caretSeen = m_model.caret();
  setTopLine(1);
}

void LineWindow::repaintAll() { setTopLine(m_topLine); }

void LineWindow::caretMoved() {
  // Also heard when painting was held back, whether or not the caret moved;
  // only a real move scrolls, so a window scrolled away from a still caret stays.
  if (m_model.caret() == m_caretSeen) return;
  m_caretSeen = m_model.caret();
  ensureCaretVisible();
}

}  // namespace vc
