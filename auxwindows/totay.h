#pragma once
// `Ttadayform`: the tip of the day. Shows one tip at a time, pages through
// tips 0 … kLastTip one step at a time, and stores in the settings value
// "show" whether it opens at start-up.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vc {

class Settings;

class Ttadayform : public QDialog {
  Q_OBJECT

 public:
  // settings is the workbench's open settings key; it outlives the window.
  explicit Ttadayform(Settings& settings, QWidget* parent = nullptr);

  QLabel* showlabel = nullptr;
  QPushButton* ubtn = nullptr;
  QPushButton* nbtn = nullptr;
  QPushButton* closebtn = nullptr;
  QCheckBox* showtd = nullptr;
  QLabel* Label1 = nullptr;

  int currentTip() const { return m_index; }

  void nbtnClick();
  void ubtnClick();

 protected:
  // Every close (button, close box, Esc) stores the check box in "show".
  void done(int result) override;
  void showEvent(QShowEvent* event) override;

 private:
  void showTip(int index);
  void pagedTo(int index);

  Settings& m_settings;
  int m_index = 0;
};

}  // namespace vc
