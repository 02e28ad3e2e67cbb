#pragma once
// The program's manual: HTML pages from the data folder "manual", shown in a
// window of their own with back, forward and contents.
#include <QMainWindow>

class QTextBrowser;

namespace vc {

class HelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  QTextBrowser* browser = nullptr;

  // The folder the manual is read from, or empty when it is not installed.
  static QString manualFolder();

  // Shows page (a file of the manual) and brings the window to the front.
  // False when the manual cannot be found; nothing is shown then.
  bool openPage(const QString& page = QStringLiteral("index.html"));
};

}  // namespace vc
