#include "workbench/AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

namespace vc {
namespace {

QString plain(QString caption) {
  caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  caption.remove(QLatin1Char('&'));
  return caption.trimmed();
}

bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w);
}

}  // namespace

void nameUnnamedControls(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!isControl(w) || !w->accessibleName().isEmpty()) continue;
    // The line edit inside a combo or spin box is read as its owner.
    if (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QAbstractSpinBox*>(w->parentWidget())) continue;
    QString name;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) name = plain(button->text());
    if (name.isEmpty()) name = plain(w->toolTip().section(QLatin1Char('|'), 0, 0));
    if (!name.isEmpty()) w->setAccessibleName(name);
  }
}

}  // namespace vc
