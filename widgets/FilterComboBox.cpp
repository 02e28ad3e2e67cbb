#include "widgets/FilterComboBox.h"

namespace vc {

FilterComboBox::FilterComboBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit maskChanged(mask()); });
}

void FilterComboBox::setFilter(const QString& filter) {
  QStringList parts = filter.split(QLatin1Char('|'));
  QSignalBlocker block(this);
  clear();
  m_masks.clear();
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    addItem(parts[i]);
    m_masks << parts[i + 1];
  }
  setCurrentIndex(m_masks.isEmpty() ? -1 : 0);
}

QString FilterComboBox::mask() const {
  int i = currentIndex();
  return i >= 0 && i < m_masks.size() ? m_masks[i] : QStringLiteral("*");
}

}  // namespace vc
