#pragma once
// The string table view `stringlist`: a report list whose mouse presses are
// reported after the press has moved the selection, as the value editors
// need it. A press on the empty area leaves no row selected.
#include <QTreeWidget>

namespace vc {

class StringListView : public QTreeWidget {
  Q_OBJECT

 public:
  using QTreeWidget::QTreeWidget;

 signals:
  // pos is in the view's own coordinates (its header included).
  void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vc
