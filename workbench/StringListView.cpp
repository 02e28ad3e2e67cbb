#include "workbench/StringListView.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace vc {
namespace {

bool opensEditor(const QKeyEvent* key) {
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F2;
}

bool opensMenu(const QKeyEvent* key) {
  return key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

}  // namespace

bool StringListView::event(QEvent* event) {
  // F2 is also the window's preview key; on the table it opens the editor.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (opensEditor(key) || opensMenu(key)) {
      event->accept();
      return true;
    }
  }
  return QTreeWidget::event(event);
}

void StringListView::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  if (!itemAt(at)) clearSelection();
  emit mousePressed(event->button(), event->modifiers(), viewport()->mapTo(this, at));
}

void StringListView::keyPressEvent(QKeyEvent* event) {
  if (opensEditor(event)) {
    if (!selectedItems().isEmpty()) emit editRequested();
    event->accept();
    return;
  }
  if (opensMenu(event)) {
    // At the selected row, where the mouse would have opened it.
    const QModelIndex current = currentIndex();
    QPoint at = current.isValid() ? visualRect(current.siblingAtColumn(2)).center() : QPoint(4, 4);
    emit customContextMenuRequested(at);
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void StringListView::keyboardSearch(const QString& search) {
  if (m_typeAheadOff && m_typeAheadOff()) return;
  QTreeWidget::keyboardSearch(search);
}

}  // namespace vc
