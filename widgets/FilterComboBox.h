#pragma once
// A combo box of file filters given as "label|mask|label|mask" (masks may
// hold several patterns separated by ";"). Choosing an entry changes the mask.
#include <QComboBox>
#include <QStringList>

namespace vc {

class FilterComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit FilterComboBox(QWidget* parent = nullptr);
  void setFilter(const QString& filter);
  QString mask() const;

 signals:
  void maskChanged(const QString& mask);

 private:
  QStringList m_masks;
};

}  // namespace vc
