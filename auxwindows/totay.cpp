#include "auxwindows/totay.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "auxwindows/Pictures.h"
#include "auxwindows/TipStrings.h"
#include "platform/qt/FontMapping.h"
#include "platform/qt/Settings.h"

namespace vc {
namespace {

const QString kShow = QStringLiteral("show");

QPalette background(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, colour);
  return pal;
}

QLabel* picture(const QImage& image, QWidget* parent, int x, int y) {
  auto* label = new QLabel(parent);
  label->setPixmap(QPixmap::fromImage(image));
  label->setGeometry(x, y, image.width(), image.height());
  return label;
}

}  // namespace

Ttadayform::Ttadayform(Settings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_settings(settings) {
  setObjectName(QStringLiteral("tadayform"));
  setWindowTitle(QStringLiteral("每日小秘訣..."));
  setFont(FontMapping::mapFont(QStringLiteral("新細明體"), 12));
  setFixedSize(429, 235);
  setAutoFillBackground(true);
  setPalette(background(this, QColor(0xE8, 0xE8, 0xE0)));

  picture(pictures::tipHeader(), this, 12, 6);

  auto* panel = new QFrame(this);
  panel->setGeometry(12, 46, 300, 134);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setAutoFillBackground(true);
  panel->setPalette(background(panel, QColor(0xFD, 0xFD, 0xE8)));
  picture(pictures::lightBulb(), panel, 8, 10);
  auto* heading = new QLabel(QStringLiteral("如何使用，您知道嗎？"), panel);
  QFont bold = font();
  bold.setBold(true);
  heading->setFont(bold);
  heading->setGeometry(48, 10, 245, 18);
  showlabel = new QLabel(panel);
  showlabel->setObjectName(QStringLiteral("showlabel"));
  showlabel->setGeometry(48, 34, 245, 93);
  showlabel->setWordWrap(true);
  showlabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto button = [this](const char* name, const QString& caption, int y) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(322, y, 95, 25);
    b->setAutoDefault(false);
    return b;
  };
  ubtn = button("ubtn", QStringLiteral("上一提示(&U)"), 46);
  nbtn = button("nbtn", QStringLiteral("下一提示(&N)"), 77);
  closebtn = button("closebtn", QStringLiteral("關閉(&X)"), 155);
  ubtn->setEnabled(false);
  nbtn->setDefault(true);
  connect(ubtn, &QPushButton::clicked, this, &Ttadayform::ubtnClick);
  connect(nbtn, &QPushButton::clicked, this, &Ttadayform::nbtnClick);
  connect(closebtn, &QPushButton::clicked, this, &QDialog::accept);

  showtd = new QCheckBox(QStringLiteral("每次啟動程式時顯示(&P)"), this);
  showtd->setObjectName(QStringLiteral("showtd"));
  showtd->setGeometry(12, 184, 300, 20);
  auto* line = new QFrame(this);
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  line->setGeometry(12, 206, 405, 2);
  Label1 = new QLabel(QStringLiteral("總共提供 %1 項不同的使用技巧。").arg(kLastTip), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(12, 211, 405, 20);
  Label1->setAlignment(Qt::AlignCenter);

  showTip(0);
  showtd->setChecked(m_settings.value(kShow) == QLatin1String("True"));
}

// The first start stores "True" after the window was made: the box follows
// the stored value whenever the window opens.
void Ttadayform::showEvent(QShowEvent* event) {
  showtd->setChecked(m_settings.value(kShow) == QLatin1String("True"));
  QDialog::showEvent(event);
}

void Ttadayform::showTip(int index) {
  showlabel->setText(QStringLiteral("\u3000\u3000") + tipString(index));
}

// Both directions move by exactly one tip and stop at the ends, so every tip
// is reachable from its neighbours.
void Ttadayform::pagedTo(int index) {
  m_index = index;
  ubtn->setEnabled(m_index > 0);
  nbtn->setEnabled(m_index < kLastTip);
  showTip(m_index);
  Label1->setText(QStringLiteral("第%1項技巧/共%2項").arg(m_index).arg(kLastTip));
}

void Ttadayform::nbtnClick() { pagedTo(qMin(m_index + 1, kLastTip)); }

void Ttadayform::ubtnClick() { pagedTo(qMax(m_index - 1, 0)); }

void Ttadayform::done(int result) {
  m_settings.setValue(kShow, showtd->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
  QDialog::done(result);
}

}  // namespace vc
