#include "workbench/SearchOptionsPanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "workbench/Hints.h"

namespace vc {
namespace {

constexpr int kTitleHeight = 18;

QGroupBox* group(QWidget* parent, const QString& caption, QRect at, std::initializer_list<QWidget*> items) {
  auto* box = new QGroupBox(caption, parent);
  box->setGeometry(at);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(6, 2, 4, 2);
  layout->setSpacing(0);
  for (QWidget* w : items) layout->addWidget(w);
  return box;
}

}  // namespace

SearchOptionsPanel::SearchOptionsPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("selpan"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setFixedSize(253, 153);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xE8, 0xE8, 0xE0));
  pal.setColor(QPalette::Button, QColor(0xE8, 0xE8, 0xE0));
  setPalette(pal);

  // The title passes presses through to the panel, which drags itself.
  title = new QLabel(QStringLiteral(" 搜尋選項"), this);
  title->setGeometry(1, 1, width() - 2, kTitleHeight);
  title->setAutoFillBackground(true);
  QPalette titlePal = title->palette();
  titlePal.setColor(QPalette::Window, palette().color(QPalette::Active, QPalette::Highlight));
  titlePal.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::HighlightedText));
  title->setPalette(titlePal);
  title->setAttribute(Qt::WA_TransparentForMouseEvents);
  SpeedButton2 = new QToolButton(this);
  SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
  SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  SpeedButton2->setAutoRaise(true);
  SpeedButton2->setGeometry(width() - kTitleHeight - 1, 1, kTitleHeight, kTitleHeight);
  setHint(SpeedButton2, QStringLiteral("關閉"));
  connect(SpeedButton2, &QToolButton::clicked, this, &SearchOptionsPanel::SpeedButton2Click);

  auto named = [](auto* button, const char* name) {
    button->setObjectName(QLatin1String(name));
    return button;
  };
  casecheck = named(new QCheckBox(QStringLiteral("符合大小寫(&C)")), "casecheck");
  wordcheck = named(new QCheckBox(QStringLiteral("符合整個字詞(&W)")), "wordcheck");
  up = named(new QRadioButton(QStringLiteral("向上搜尋(&U)")), "up");
  down = named(new QRadioButton(QStringLiteral("向下搜尋(&D)")), "down");
  caretstart = named(new QRadioButton(QStringLiteral("游標處(&M)")), "caretstart");
  topstart = named(new QRadioButton(QStringLiteral("從頭開始(&T)")), "topstart");
  all = named(new QRadioButton(QStringLiteral("搜尋全部(&A)")), "all");
  sel = named(new QRadioButton(QStringLiteral("選定文字(&S)")), "sel");
  const int top = kTitleHeight + 2;
  group(this, QStringLiteral("選項"), {4, top, 124, 153 - top - 4}, {casecheck, wordcheck, up, down});
  group(this, QStringLiteral("搜尋起點"), {132, top, 117, 63}, {caretstart, topstart});
  group(this, QStringLiteral("搜尋範圍"), {132, top + 66, 117, 63}, {all, sel});
  down->setChecked(true);
  topstart->setChecked(true);
  all->setChecked(true);

  Timer1 = new QTimer(this);
  Timer1->setInterval(kCloseAfterMs);
  connect(Timer1, &QTimer::timeout, this, &SearchOptionsPanel::SpeedButton2Click);
  hide();
}

SearchOptions SearchOptionsPanel::searchOptions() const {
  SearchOptions options = 0;
  if (casecheck->isChecked()) options |= MatchCase;
  if (wordcheck->isChecked()) options |= WholeWord;
  if (up->isChecked()) options |= Backward;
  if (sel->isChecked()) options |= SelectionOnly;
  if (caretstart->isChecked()) options |= WholeScope;
  return options;
}

void SearchOptionsPanel::open() {
  show();
  raise();
  if (!Timer1->isActive()) Timer1->start();
}

void SearchOptionsPanel::SpeedButton2Click() {
  hide();
  Timer1->stop();
}

void SearchOptionsPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QFrame::mousePressEvent(event);
  m_dragging = true;
  m_grab = event->position().toPoint();
  raise();
}

void SearchOptionsPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging || !parentWidget()) return QFrame::mouseMoveEvent(event);
  // Kept inside the window, so that it can always be caught again.
  QPoint to = mapToParent(event->position().toPoint()) - m_grab;
  const QSize room = parentWidget()->size() - size();
  to.setX(qBound(0, to.x(), qMax(0, room.width())));
  to.setY(qBound(0, to.y(), qMax(0, room.height())));
  move(to);
}

void SearchOptionsPanel::mouseReleaseEvent(QMouseEvent* event) {
  m_dragging = false;
  QFrame::mouseReleaseEvent(event);
}

}  // namespace vc
