#pragma once
// The page "字串編輯區": the string table, the value editor panels over it
// and the filter below it. For assistive technology the table's context
// menu is one of the page's children: a popup window is no child of any
// widget in Qt's accessibility tree, so a screen reader walking the tree
// would never reach it.
#include <QPointer>
#include <QWidget>

class QMenu;

namespace vc {

class StringPage : public QWidget {
  Q_OBJECT

 public:
  explicit StringPage(QWidget* parent = nullptr);

  void setContextMenu(QMenu* menu);
  QMenu* contextMenu() const;

 private:
  QPointer<QObject> m_menu;
};

}  // namespace vc
