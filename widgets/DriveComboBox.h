#pragma once
// The drive box of the file panel. Where there are no drive letters it lists
// the file system root and the mounted volumes.
#include <QComboBox>
#include <QStringList>

namespace vc {

class DriveComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveComboBox(QWidget* parent = nullptr);
  // Re-reads the volumes.
  void refresh();
  // Selects the volume that holds path (without reporting a change).
  void setDriveOf(const QString& path);
  QString drive() const;
  QStringList drives() const { return m_roots; }

 signals:
  // The user chose another volume; root is its root folder.
  void driveChanged(const QString& root);

 private:
  QStringList m_roots;
};

}  // namespace vc
