#pragma once
// The directory list of the file panel: the folders from the root down to the
// current one, indented, then the current folder's subfolders. Opening an
// entry (double click or Enter) makes it the current folder.
#include <QListWidget>

namespace vc {

class DirectoryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryListBox(QWidget* parent = nullptr);
  QString directory() const { return m_directory; }
  // Shows dir (without reporting a change). False when it is no folder.
  bool setDirectory(const QString& dir);

 signals:
  // The user opened another folder.
  void directoryChanged(const QString& dir);

 private:
  QString m_directory;
};

}  // namespace vc
