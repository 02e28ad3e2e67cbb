#include "workbench/StringPage.h"

#include <QAccessibleWidget>
#include <QMenu>

namespace vc {
namespace {

// The page's own children, then its context menu.
class StringPageAccessible : public QAccessibleWidget {
 public:
  explicit StringPageAccessible(StringPage* page) : QAccessibleWidget(page, QAccessible::Pane) {}

  int childCount() const override { return QAccessibleWidget::childCount() + (menu() ? 1 : 0); }

  QAccessibleInterface* child(int index) const override {
    const int own = QAccessibleWidget::childCount();
    if (index == own && menu()) return QAccessible::queryAccessibleInterface(menu());
    return QAccessibleWidget::child(index);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child && menu() && child->object() == menu()) return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
  }

 private:
  QMenu* menu() const { return static_cast<StringPage*>(widget())->contextMenu(); }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
  if (className == QLatin1String("vc::StringPage") && object && object->isWidgetType())
    return new StringPageAccessible(static_cast<StringPage*>(object));
  return nullptr;
}

}  // namespace

StringPage::StringPage(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(factory), true);
  (void)installed;
  setAccessibleName(QStringLiteral("字串編輯區"));
}

void StringPage::setContextMenu(QMenu* menu) { m_menu = menu; }

QMenu* StringPage::contextMenu() const { return qobject_cast<QMenu*>(m_menu.data()); }

}  // namespace vc
