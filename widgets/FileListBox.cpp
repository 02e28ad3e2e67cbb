#include "widgets/FileListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QRegularExpression>

#include "widgets/WholeGlyphDelegate.h"

namespace vc {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new WholeGlyphDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemSelectionChanged, this, &FileListBox::changed);
}

void FileListBox::setDirectory(const QString& dir) {
  m_directory = QDir::cleanPath(QDir(dir).absolutePath());
  update();
}

void FileListBox::setMask(const QString& mask) {
  m_mask = mask.isEmpty() ? QStringLiteral("*") : mask;
  update();
}

bool FileListBox::matchesMask(const QString& name) const {
  for (const QString& pattern : m_mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    QRegularExpression re(QRegularExpression::wildcardToRegularExpression(
                              pattern.trimmed(), QRegularExpression::UnanchoredWildcardConversion),
                          QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m = re.match(name);
    if (m.hasMatch() && m.capturedStart() == 0 && m.capturedLength() == name.size()) return true;
  }
  return false;
}

void FileListBox::update() {
  {
    QSignalBlocker block(this);
    clear();
    if (!m_directory.isEmpty()) {
      const QFileInfoList files = QDir(m_directory).entryInfoList(
          QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
      for (const QFileInfo& f : files)
        if (!f.isHidden() && matchesMask(f.fileName())) addItem(f.fileName());
    }
    setCurrentRow(-1);
  }
  emit changed();
}

QString FileListBox::fileName() const {
  QList<QListWidgetItem*> selected = selectedItems();
  if (selected.isEmpty()) return {};
  return QDir(m_directory).filePath(selected.first()->text());
}

bool FileListBox::selectName(const QString& name) {
  for (int i = 0; i < count(); ++i) {
    if (item(i)->text() == name) {
      setCurrentRow(i);
      return true;
    }
  }
  return false;
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
  if (m_pressFilter && !m_pressFilter()) {
    event->accept();
    return;
  }
  QListWidget::mousePressEvent(event);
}

}  // namespace vc
