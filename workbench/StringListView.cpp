#include "workbench/StringListView.h"

#include <QMouseEvent>

namespace vc {

void StringListView::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  if (!itemAt(at)) clearSelection();
  emit mousePressed(event->button(), event->modifiers(), viewport()->mapTo(this, at));
}

void StringListView::keyboardSearch(const QString& search) {
  if (m_typeAheadOff && m_typeAheadOff()) return;
  QTreeWidget::keyboardSearch(search);
}

}  // namespace vc
