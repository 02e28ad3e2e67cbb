#include "widgets/DirectoryListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include "widgets/WholeGlyphDelegate.h"

namespace vc {
namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new WholeGlyphDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Enter opens the entry, and so does a double click whatever the style
  // says about activating items. The list is rebuilt once the view has
  // finished with the event: its items must outlive the signal.
  auto open = [this](QListWidgetItem* item) {
    QString dir = item->data(kPathRole).toString();
    if (dir.isEmpty() || dir == m_directory) return;
    QMetaObject::invokeMethod(this, [this, dir] {
      if (dir != m_directory && setDirectory(dir)) emit directoryChanged(m_directory);
    }, Qt::QueuedConnection);
  };
  connect(this, &QListWidget::itemActivated, this, open);
  connect(this, &QListWidget::itemDoubleClicked, this, open);
}

bool DirectoryListBox::setDirectory(const QString& dirPath) {
  QFileInfo info(dirPath);
  if (!info.isDir()) return false;
  m_directory = QDir::cleanPath(info.absoluteFilePath());
  QSignalBlocker block(this);
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

  // The chain from the root to the current folder.
  QStringList chain;
  for (QDir d(m_directory);; ) {
    chain.prepend(d.absolutePath());
    if (d.isRoot() || !d.cdUp()) break;
  }
  int depth = 0;
  for (const QString& path : chain) {
    QString name = QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
    auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
    item->setData(kPathRole, path);
    ++depth;
  }
  setCurrentRow(count() - 1);
  const QFileInfoList subdirs =
      QDir(m_directory).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& sub : subdirs) {
    auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub.fileName(), this);
    item->setData(kPathRole, sub.absoluteFilePath());
  }
  return true;
}

}  // namespace vc
