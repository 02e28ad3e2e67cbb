#pragma once
// `TAboutForm`: the about window with the title, version, release date and
// the credits. Created once and kept, so the credits keep their scroll
// position and selection between openings.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vc {

class Dialogs;

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(Dialogs& dialogs, QWidget* parent = nullptr);

  // The name in the credits that, selected, makes the title answer a click.
  static constexpr const char* kPrizeName = "墨羽";
  static constexpr const char* kPrizeMessage = "恭喜你啊，你中了特等獎，趕快前來領取吧！";

  QLabel* title = nullptr;  // the navy copy of the title; it takes the clicks
  QPushButton* BitBtn1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;

  // The credits text shown in Memo1.
  static QString credits();

  void titleClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Dialogs& m_dialogs;
};

}  // namespace vc
