// The window's size, splitters and panels kept between runs, the room the
// form list takes when it appears, and the title.
#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "platform/qt/Settings.h"
#include "widgets/DirectoryListBox.h"
#include "widgets/FileListBox.h"
#include "workbench/newform.h"

namespace vc {
namespace {

constexpr QSize kSmallestFirstSize(1024, 700);

QString asText(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }
QByteArray fromText(const QString& text) { return QByteArray::fromBase64(text.toLatin1()); }
QString flag(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

// The height the form list takes from a file list files pixels high.
int formListRoom(const QWidget* list, int files) {
  return qMax(list->minimumSizeHint().height(), files * 2 / 5);
}

}  // namespace

void Tnewdfm::restoreLayout() {
  const QByteArray geometry = fromText(m_settings->value(QStringLiteral("Geometry")));
  if (geometry.isEmpty() || !restoreGeometry(geometry)) {
    // First start: four fifths of the screen, but no less than a size that
    // shows the panels and a form's text side by side, where the screen has it.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size = (room.size() * 4 / 5).expandedTo(kSmallestFirstSize).boundedTo(room.size());
    resize(size);
    move(room.x() + (room.width() - size.width()) / 2, room.y() + (room.height() - size.height()) / 2);
  }
  restoreState(fromText(m_settings->value(QStringLiteral("ToolBars"))));
  Sp->restoreState(fromText(m_settings->value(QStringLiteral("FilePanelSplit"))));
  sp1->restoreState(fromText(m_settings->value(QStringLiteral("FileListSplit"))));
  if (m_settings->value(QStringLiteral("FilePanel")) == QLatin1String("False")) F2Click();
  if (m_settings->value(QStringLiteral("TextLabels")) == QLatin1String("False")) A3Click();
  T2->setChecked(!TT1->isHidden());
  R2->setChecked(!rptoolbar->isHidden());
  m_openDialog.directory = m_settings->value(QStringLiteral("OpenFolder"));
}

void Tnewdfm::saveLayout() {
  m_settings->setValue(QStringLiteral("Geometry"), asText(saveGeometry()));
  m_settings->setValue(QStringLiteral("ToolBars"), asText(saveState()));
  m_settings->setValue(QStringLiteral("FilePanelSplit"), asText(Sp->saveState()));
  m_settings->setValue(QStringLiteral("FileListSplit"), asText(sp1->saveState()));
  m_settings->setValue(QStringLiteral("FilePanel"), flag(!Panel1->isHidden()));
  m_settings->setValue(QStringLiteral("TextLabels"), flag(A3->isChecked()));
}

void Tnewdfm::showFormList() {
  if (!list->isHidden()) return;
  // The list appears below the file list, taking room from its bottom only:
  // the folder list and the rows above stay where they are. When the room
  // would cover the row just clicked, the second click of a double click may
  // still be coming, and must find that row where the first one left it.
  const int files = FileListBox1->height();
  const QListWidgetItem* current = FileListBox1->currentItem();
  const bool covers =
      current && FileListBox1->viewport()->mapTo(FileListBox1, FileListBox1->visualItemRect(current).bottomLeft()).y() >=
                     files - formListRoom(list, files) - sp1->handleWidth();
  const qint64 pressed = m_filePress.isValid() ? m_filePress.elapsed() : -1;
  const int wait = QApplication::doubleClickInterval();
  if (covers && pressed >= 0 && pressed < wait) {
    m_formListDue = true;
    QTimer::singleShot(static_cast<int>(wait - pressed) + 1, this, [this] {
      if (m_formListDue) placeFormList();
    });
    return;
  }
  placeFormList();
}

void Tnewdfm::placeFormList() {
  m_formListDue = false;
  if (!list->isHidden()) return;
  const QList<int> before = sp1->sizes();  // folders, files, the hidden form list
  const int files = before.value(1);
  const int room = formListRoom(list, files);
  list->show();
  if (files > room + sp1->handleWidth())
    sp1->setSizes({before.value(0), files - room - sp1->handleWidth(), room});
  if (QListWidgetItem* current = FileListBox1->currentItem()) FileListBox1->scrollToItem(current);
}

void Tnewdfm::titleFor(const QString& file, const QString& form) {
  QString title = QString::fromUtf8(kCaption);
  if (!file.isEmpty()) title += QStringLiteral(" - ") + QFileInfo(file).fileName();
  if (!form.isEmpty()) title += QStringLiteral(" - ") + form;
  setWindowTitle(title);
}

}  // namespace vc
