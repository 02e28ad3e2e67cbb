#include "auxwindows/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

#include "auxwindows/Pictures.h"
#include "platform/qt/DataFiles.h"
#include "platform/qt/FontMapping.h"
#include "platform/qt/Shell.h"

namespace vc {

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(QStringLiteral("Vellumcraft 使用指南"));
  setWindowIcon(QIcon(QPixmap::fromImage(pictures::programIcon(32))));
  resize(760, 600);

  browser = new QTextBrowser;
  browser->setObjectName(QStringLiteral("browser"));
  browser->setFont(FontMapping::mapFont(QStringLiteral("新細明體"), 14));
  // Pages of the manual open here; addresses outside it go to the browser.
  browser->setOpenLinks(false);
  connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    const QUrl target = browser->source().resolved(url);
    if (target.isLocalFile())
      browser->setSource(target);
    else
      shell::openUrl(target);
  });
  connect(browser, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Vellumcraft 使用指南")
                                   : title + QStringLiteral(" - Vellumcraft 使用指南"));
  });
  setCentralWidget(browser);

  auto* bar = addToolBar(QStringLiteral("瀏覽"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("上一頁"),
                                 browser, &QTextBrowser::backward);
  QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                    QStringLiteral("下一頁"), browser, &QTextBrowser::forward);
  bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("目錄"), this,
                 [this] { openPage(); });
  back->setEnabled(false);
  forward->setEnabled(false);
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
}

QString HelpWindow::manualFolder() {
  const QString folder = datafiles::folder(QStringLiteral("manual"));
  return !folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/index.html")) ? folder : QString();
}

bool HelpWindow::openPage(const QString& page) {
  const QString folder = manualFolder();
  if (folder.isEmpty()) return false;
  browser->setSource(QUrl::fromLocalFile(QDir(folder).filePath(page)));
  show();
  raise();
  activateWindow();
  return true;
}

}  // namespace vc
