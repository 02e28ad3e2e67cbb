#include "auxwindows/aboutfrm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "auxwindows/BuildInfo.h"
#include "auxwindows/Pictures.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/FontMapping.h"

namespace vc {
namespace {

QLabel* titleCopy(QWidget* parent, const QColor& colour, int x, int y) {
  auto* label = new QLabel(QStringLiteral("VELLUMCRAFT"), parent);
  QFont font(QStringLiteral("Verdana"));
  font.setPixelSize(37);
  label->setFont(font);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->adjustSize();
  label->move(x, y);
  return label;
}

}  // namespace

QString TAboutForm::credits() {
  return QStringLiteral(
             "作者:\n"
             "    Vellumcraft 開發小組，主筆 墨羽  https://vellumcraft.org/\n"
             "軟件升級：\n"
             "    新版本與變更紀錄  https://vellumcraft.org/releases/\n"
             "使用指南:\n"
             "    按 F1 或「說　明」開啟程式內附的使用指南\n"
             "提供支援:\n"
             "    譯者論壇  https://forum.vellumcraft.org/\n"
             "致謝:\n"
             "    Qt 6 (The Qt Company)：LGPL 3.0\n"
             "    GoogleTest、Google Benchmark (Google)：BSD 3-Clause、Apache 2.0\n"
             "    CLI11 (Henry Schreiner 等)：BSD 3-Clause\n"
             "    GNU libgettextpo、iconv (自由軟體基金會)：GPL 3.0+、LGPL 2.1+\n"
             "    OpenCC 簡繁轉換 (BYVoid 等)：Apache 2.0\n"
             "    AR PL UMing 字型 (文鼎科技)：Arphic Public License\n"
             "繁體中文化:\n"
             "    墨羽與譯者論壇的朋友們  https://forum.vellumcraft.org/\n"
             "\n"
             "Vellumcraft %1 (%2)\n"
             "原始碼以 MIT 授權條款發行，可自由使用、修改與散布；授權全文見隨附的 LICENSE。\n"
             "本程式連結 GPL 3.0+ 的 GNU libgettextpo，故建置出的程式整體依 GPL 3.0+ 散布。")
      .arg(QString::fromLatin1(buildinfo::version()), QString::fromLatin1(buildinfo::releaseDate()));
}

TAboutForm::TAboutForm(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("關於 Form 輔助編輯工具"));
  setFont(FontMapping::mapFont(QStringLiteral("新細明體"), 12));
  setFixedSize(370, 233);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xE6, 0xE6, 0xE6));
  setPalette(pal);

  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap::fromImage(pictures::aboutPicture()));
  picture->setGeometry(8, 6, 37, 33);
  titleCopy(this, QColor(0x00, 0x80, 0x00), 56, 0);
  title = titleCopy(this, QColor(0x00, 0x00, 0x80), 53, -3);
  title->setObjectName(QStringLiteral("title"));
  title->setCursor(Qt::PointingHandCursor);
  title->installEventFilter(this);

  auto* version = new QLabel(QStringLiteral("版本 %1\n發行日期 %2")
                                 .arg(QString::fromLatin1(buildinfo::version()),
                                      QString::fromLatin1(buildinfo::releaseDate())),
                             this);
  version->setObjectName(QStringLiteral("version"));
  version->setGeometry(56, 54, 200, 36);

  BitBtn1 = new QPushButton(QStringLiteral("確定(&O)"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(276, 86, 84, 28);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

  Memo1 = new QPlainTextEdit(credits(), this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setGeometry(0, 233 - 109, 369, 109);
}

void TAboutForm::titleClick() {
  if (Memo1->textCursor().selectedText() == QString::fromUtf8(kPrizeName))
    m_dialogs.information(this, QString::fromUtf8(kPrizeMessage));
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title && event->type() == QEvent::MouseButtonRelease) titleClick();
  return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen rather than over the main window.
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  BitBtn1->setFocus();
}

}  // namespace vc
