// Writes the program icon into a hicolor icon theme folder at the sizes that
// desktops look for: OUTDIR/hicolor/NxN/apps/vellumcraft.png.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "auxwindows/Pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: iconmaker OUTDIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
    if (!QDir().mkpath(dir) || !vc::pictures::programIcon(size).save(dir + QStringLiteral("/vellumcraft.png"))) {
      std::fprintf(stderr, "iconmaker: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
