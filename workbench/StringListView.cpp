#include "workbench/StringListView.h"

#include <QMouseEvent>

namespace vc {

void StringListView::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  if (!itemAt(at)) clearSelection();
  emit mousePressed(event->button(), event->modifiers(), viewport()->mapTo(this, at));
}

}  // namespace vc
