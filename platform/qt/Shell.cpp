#include "platform/qt/Shell.h"

#include <QDesktopServices>
#include <QDir>

namespace vc::shell {
namespace {

std::function<bool(const QUrl&)>& handler() {
  static std::function<bool(const QUrl&)> h;
  return h;
}

}  // namespace

bool openUrl(const QUrl& url) {
  if (handler()) return handler()(url);
  return QDesktopServices::openUrl(url);
}

bool openFile(const QString& name) {
  return openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(name)));
}

void setOpenHandler(std::function<bool(const QUrl&)> h) { handler() = std::move(h); }

}  // namespace vc::shell
