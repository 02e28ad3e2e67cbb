#pragma once
// The string table view `stringlist`: a report list whose mouse presses are
// reported after the press has moved the selection, as the value editors
// need it. A press on the empty area leaves no row selected. From the
// keyboard, Enter or F2 opens the editor of the selected row and the menu
// key or Shift+F10 opens the context menu at that row.
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
  // Enter or F2 on the selected row.
  void editRequested();

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<bool()> m_typeAheadOff;
};

}  // namespace vc
