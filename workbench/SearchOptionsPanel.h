#pragma once
// `selpan`: the search options panel that floats over the main window. It
// holds the options, start point and scope the search commands read at each
// search, a title to drag it by with its close button `SpeedButton2`, and
// `Timer1`, which closes it 100 seconds after it was opened.
#include <QFrame>
#include <QPoint>

#include "editor/model/SearchOptions.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;
class QToolButton;

namespace vc {

class SearchOptionsPanel : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kCloseAfterMs = 100000;

  explicit SearchOptionsPanel(QWidget* parent);

  QLabel* title = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QCheckBox* casecheck = nullptr;
  QCheckBox* wordcheck = nullptr;
  QRadioButton *up = nullptr, *down = nullptr;
  QRadioButton *caretstart = nullptr, *topstart = nullptr;
  QRadioButton *all = nullptr, *sel = nullptr;
  QTimer* Timer1 = nullptr;

  // The option bits for findReplace, read whether the panel shows or not.
  // "游標處" asks for the whole scope; "從頭開始" leaves the search to start
  // at the caret.
  SearchOptions searchOptions() const;

  // Shows the panel; the 100 seconds run on when it was open already.
  void open();
  // Hides the panel and stops the timer (close button and timer alike).
  void SpeedButton2Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool m_dragging = false;
  QPoint m_grab;  // the press point, relative to the panel's corner
};

}  // namespace vc
