#include "widgets/DriveComboBox.h"

#include <QDir>
#include <QStorageInfo>

namespace vc {

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
  refresh();
  connect(this, &QComboBox::activated, this, [this](int i) {
    if (i >= 0 && i < m_roots.size()) emit driveChanged(m_roots[i]);
  });
}

void DriveComboBox::refresh() {
  QStringList roots;
#ifdef Q_OS_WIN
  for (const QFileInfo& d : QDir::drives()) roots << d.absolutePath();
#else
  roots << QDir::rootPath();
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (!v.isValid() || !v.isReady()) continue;
    QString root = v.rootPath();
    // Kernel and runtime mounts are no place for the user's files.
    if (root.startsWith(QLatin1String("/proc")) || root.startsWith(QLatin1String("/sys")) ||
        root.startsWith(QLatin1String("/dev")) || root.startsWith(QLatin1String("/run")))
      continue;
    if (!roots.contains(root)) roots << root;
  }
  std::sort(roots.begin() + 1, roots.end());
#endif
  QSignalBlocker block(this);
  QString current = drive();
  clear();
  m_roots = roots;
  for (const QString& r : roots) {
#ifdef Q_OS_WIN
    addItem(QDir::toNativeSeparators(r).toUpper());
#else
    addItem(r);
#endif
  }
  if (!current.isEmpty()) setDriveOf(current);
}

void DriveComboBox::setDriveOf(const QString& path) {
  QString clean = QDir::cleanPath(QDir(path).absolutePath());
  int best = -1;
  int bestLength = -1;
  for (int i = 0; i < m_roots.size(); ++i) {
    QString root = QDir::cleanPath(m_roots[i]);
    bool inside = clean.compare(root, Qt::CaseInsensitive) == 0 ||
                  clean.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'),
                                   Qt::CaseInsensitive);
    if (inside && root.size() > bestLength) {
      best = i;
      bestLength = static_cast<int>(root.size());
    }
  }
  QSignalBlocker block(this);
  setCurrentIndex(best);
}

QString DriveComboBox::drive() const {
  int i = currentIndex();
  return i >= 0 && i < m_roots.size() ? m_roots[i] : QString();
}

}  // namespace vc
