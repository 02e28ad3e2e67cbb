// Keyboard, mouse and input-method handling of the code editor.
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "editor/widget/CodeEditor.h"
#include "editor/widget/KeyMapping.h"

namespace vc {

// ---- Keys -----------------------------------------------------------------

bool CodeEditor::event(QEvent* event) {
  // Tab is not taken: it moves the focus, but the workbench still hears
  // about the key press (its status bar shows the keyboard's toggles).
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      emit OnKeyDown(key->key(), key->modifiers());
      focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void CodeEditor::keyPressEvent(QKeyEvent* event) {
  emit OnKeyDown(event->key(), event->modifiers());
  const KeyStroke stroke = keyStrokeOf(*event);
  const EditorCommand command =
      stroke.key ? keystrokeCommand(stroke.key, stroke.modifiers) : ecNone;
  if (command != ecNone) {
    executeCommand(command);
    event->accept();
    return;
  }
  // Ctrl or Alt alone with a key is a shortcut of someone else; AltGr
  // (reported as Ctrl+Alt on some systems) still types.
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const bool alt = event->modifiers() & Qt::AltModifier;
  const QString text = event->text();
  const QList<uint> codePoints = text.toUcs4();
  const bool printable =
      !codePoints.isEmpty() && std::all_of(codePoints.begin(), codePoints.end(),
                                           [](uint c) { return QChar::isPrint(char32_t(c)); });
  if (printable && ctrl == alt) {
    typeString(text);
    event->accept();
    return;
  }
  event->ignore();
}

// ---- Mouse ----------------------------------------------------------------

bool CodeEditor::selectionContains(TextPos pos) const {
  if (!m_model->selAvail()) return false;
  const TextPos b = m_model->blockBegin();
  const TextPos e = m_model->blockEnd();
  switch (m_model->selectionMode()) {
    case SelectionMode::Line:
      return pos.line >= b.line && pos.line <= e.line;
    case SelectionMode::Column:
      return pos.line >= b.line && pos.line <= e.line &&
             pos.column >= std::min(b.column, e.column) &&
             pos.column < std::max(b.column, e.column);
    case SelectionMode::Normal:
      break;
  }
  return b <= pos && pos < e;
}

void CodeEditor::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  m_pressPos = m_lastMousePos = at;
  const TextPos pos = positionAt(at);
  const TextPos exact = positionAt(at, false);
  if (!(event->modifiers() & Qt::ShiftModifier) && !isReadOnly() && selectionContains(exact)) {
    // Maybe the start of moving the selection; a release without moving
    // places the caret instead.
    m_mouseAction = MouseAction::MaybeDragMove;
    return;
  }
  if (event->modifiers() & Qt::ShiftModifier) {
    // Extend from the end of the selection that the caret is not on.
    TextPos anchor = m_model->caret();
    if (m_model->selAvail())
      anchor =
          m_model->caret() == m_model->blockBegin() ? m_model->blockEnd() : m_model->blockBegin();
    m_mouseAnchor = anchor;
    m_model->setSelection(anchor, pos);
  } else {
    m_mouseAnchor = pos;
    m_model->setCaret(pos.column, pos.line);
  }
  m_mouseAction = MouseAction::Selecting;
}

void CodeEditor::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  m_lastMousePos = at;
  switch (m_mouseAction) {
    case MouseAction::None:
      return;
    case MouseAction::Selecting:
      m_model->setSelection(m_mouseAnchor, positionAt(at));
      updateAutoScroll(at);
      return;
    case MouseAction::MaybeDragMove:
      if ((at - m_pressPos).manhattanLength() < QApplication::startDragDistance()) return;
      m_mouseAction = MouseAction::DragMove;
      viewport()->setCursor(Qt::DragMoveCursor);
      [[fallthrough]];
    case MouseAction::DragMove:
      m_dropPos = positionAt(at);
      updateAutoScroll(at);
      viewport()->update();
      return;
  }
}

void CodeEditor::updateAutoScroll(QPoint at) {
  if (at.y() < 0 || at.y() >= viewport()->height())
    m_autoScrollTimer.start();
  else
    m_autoScrollTimer.stop();
}

void CodeEditor::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_autoScrollTimer.stop();
  const MouseAction action = m_mouseAction;
  m_mouseAction = MouseAction::None;
  viewport()->setCursor(Qt::IBeamCursor);
  const TextPos pos = positionAt(event->position().toPoint());
  if (action == MouseAction::MaybeDragMove) {
    m_model->setCaret(pos.column, pos.line);
  } else if (action == MouseAction::DragMove) {
    // Dropping the selection onto itself leaves the text alone.
    if (!selectionContains(pos) && !isReadOnly())
      guarded([this, pos] { m_model->moveSelection(pos); });
    viewport()->update();
  }
}

void CodeEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_mouseAction = MouseAction::None;
  m_model->selectWordAt(positionAt(event->position().toPoint(), false));
}

void CodeEditor::autoScroll() {
  if (m_mouseAction != MouseAction::Selecting && m_mouseAction != MouseAction::DragMove) {
    m_autoScrollTimer.stop();
    return;
  }
  if (m_lastMousePos.y() < 0)
    m_window.setTopLine(m_window.topLine() - 1);
  else if (m_lastMousePos.y() >= viewport()->height())
    m_window.setTopLine(m_window.topLine() + 1);
  const QPoint inside(m_lastMousePos.x(),
                      std::clamp(m_lastMousePos.y(), 0, viewport()->height() - 1));
  if (m_mouseAction == MouseAction::Selecting) {
    m_model->setSelection(m_mouseAnchor, positionAt(inside));
  } else {
    m_dropPos = positionAt(inside);
    viewport()->update();
  }
}

void CodeEditor::contextMenuEvent(QContextMenuEvent* event) {
  emit popupRequested(event->globalPos());
  if (m_popupMenu) m_popupMenu->popup(event->globalPos());
  event->accept();
}

// ---- Focus and input methods ---------------------------------------------

void CodeEditor::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  restartCaretBlink();
  viewport()->update();
}

void CodeEditor::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  m_blinkTimer.stop();
  viewport()->update();
}

void CodeEditor::inputMethodEvent(QInputMethodEvent* event) {
  if (isReadOnly()) {
    event->ignore();
    return;
  }
  m_preedit = event->preeditString();
  // The committed text goes in whole or not at all: text that cannot be
  // represented in code page 950 is refused with a message.
  if (!event->commitString().isEmpty()) typeString(event->commitString());
  viewport()->update();
  event->accept();
}

QVariant CodeEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return !isReadOnly();
    case Qt::ImCursorRectangle: {
      const QPoint p = viewport()->mapTo(this, pointOf(m_model->caret()));
      return QRect(p, QSize(2, m_metrics.height));
    }
    case Qt::ImFont:
      return m_font;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
      return QString();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace vc
