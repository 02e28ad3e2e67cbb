#include "platform/qt/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vc::datafiles {
namespace {

QString& extraRoot() {
  static QString root;
  return root;
}

}  // namespace

QStringList searchRoots() {
  const QString program = QCoreApplication::applicationDirPath();
  QStringList roots{program, QDir::cleanPath(program + QStringLiteral("/" VC_DATA_FROM_BIN))};
  if (!extraRoot().isEmpty()) roots << extraRoot();
  return roots;
}

QString folder(const QString& name) {
  for (const QString& root : searchRoots()) {
    const QString candidate = QDir(root).filePath(name);
    if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
  }
  return {};
}

void setExtraRoot(const QString& root) { extraRoot() = root; }

}  // namespace vc::datafiles
