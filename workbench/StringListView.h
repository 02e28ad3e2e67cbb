#pragma once
// The string table view `stringlist`: a report list whose mouse presses are
// reported after the press has moved the selection, as the value editors
// need it. A press on the empty area leaves no row selected.
#include <QTreeWidget>
#include <functional>

namespace vc {

class StringListView : public QTreeWidget {
  Q_OBJECT

 public:
  using QTreeWidget::QTreeWidget;

  // While this says so, typed letters do not move the selection to a row
  // that starts with them (a value editor is open and takes the typing).
  void setTypeAheadOff(std::function<bool()> off) { m_typeAheadOff = std::move(off); }
  void keyboardSearch(const QString& search) override;

 signals:
  // pos is in the view's own coordinates (its header included).
  void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::function<bool()> m_typeAheadOff;
};

}  // namespace vc
