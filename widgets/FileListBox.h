#pragma once
// The file list of the file panel: the ordinary, visible files of one folder
// whose names match the mask ("*.dfm;*.exe", matched regardless of case),
// sorted by name, single selection. Every re-read (folder or mask change)
// reports a selection change with no entry selected.
#include <QListWidget>
#include <functional>

namespace vc {

class FileListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit FileListBox(QWidget* parent = nullptr);

  QString directory() const { return m_directory; }
  QString mask() const { return m_mask; }
  void setDirectory(const QString& dir);
  void setMask(const QString& mask);
  // Re-reads the folder.
  void update();

  // The selected file's full path; empty when none is selected.
  QString fileName() const;
  // Selects the entry named name (the file name without folder); false when
  // the list does not show it.
  bool selectName(const QString& name);
  bool matchesMask(const QString& name) const;

  // Asked before a mouse press is handled; returning false swallows it.
  void setPressFilter(std::function<bool()> filter) { m_pressFilter = std::move(filter); }

 signals:
  void changed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString m_directory;
  QString m_mask = QStringLiteral("*");
  std::function<bool()> m_pressFilter;
};

}  // namespace vc
