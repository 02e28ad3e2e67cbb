#pragma once
// Hints: "short|long". The short part is the control's tooltip, the long part
// goes to the status bar; a hint without "|" serves as both.
#include <QString>
#include <QWidget>

namespace vc {

inline void setHint(QWidget* w, const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  w->setToolTip(bar < 0 ? hint : hint.left(bar));
  w->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

}  // namespace vc
