#include "platform/qt/FontMapping.h"

#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <algorithm>

namespace vc {

namespace {

// Ming (serif) faces first, then any CJK face that covers Big5, so that a
// Traditional Chinese form never falls back to boxes.
const QStringList& mingFallbacks() {
  static const QStringList list = {
      QStringLiteral("AR PL UMing TW"),      QStringLiteral("AR PL UMing HK"),
      QStringLiteral("AR PL New Sung"),      QStringLiteral("AR PL UMing CN"),
      QStringLiteral("Noto Serif CJK TC"),   QStringLiteral("Noto Sans Mono CJK TC"),
      QStringLiteral("Noto Sans CJK TC"),    QStringLiteral("WenQuanYi Zen Hei Mono"),
      QStringLiteral("Droid Sans Fallback"),
  };
  return list;
}

const QStringList& sansFallbacks() {
  static const QStringList list = {
      QStringLiteral("AR PL UKai TW"),     QStringLiteral("Noto Sans CJK TC"),
      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback"),
      QStringLiteral("AR PL UMing TW"),
  };
  return list;
}

bool isMingName(const QString& family) {
  static const QStringList names = {
      QStringLiteral("細明體"),   QStringLiteral("新細明體"),     QStringLiteral("MingLiU"),
      QStringLiteral("PMingLiU"), QStringLiteral("細明體_HKSCS"), QStringLiteral("MingLiU_HKSCS"),
      QStringLiteral("標楷體"),   QStringLiteral("DFKai-SB"),
  };
  return names.contains(family, Qt::CaseInsensitive);
}

bool isCjkSansName(const QString& family) {
  static const QStringList names = {
      QStringLiteral("微軟正黑體"),
      QStringLiteral("Microsoft JhengHei"),
  };
  return names.contains(family, Qt::CaseInsensitive);
}

bool installed(const QString& family) {
  // The font database is slow to query and does not change while we run.
  static QHash<QString, bool> cache;
  auto it = cache.constFind(family);
  if (it != cache.constEnd()) return *it;
  const bool found = QFontDatabase::families().contains(family, Qt::CaseInsensitive);
  cache.insert(family, found);
  return found;
}

}  // namespace

QStringList FontMapping::candidatesFor(const QString& family) {
  if (isMingName(family)) return mingFallbacks();
  if (isCjkSansName(family)) return sansFallbacks();
  return {};
}

QString FontMapping::resolveFamily(const QString& family) {
  if (!family.isEmpty() && installed(family)) return family;
  for (const QString& candidate : candidatesFor(family)) {
    if (installed(candidate)) return candidate;
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QFont FontMapping::mapFont(const QString& family, int pixelSize) {
  QFont font(resolveFamily(family));
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  return font;
}

namespace {

// Wine's faces of the Windows UI fonts live outside fontconfig's folders.
// Its bold Tahoma draws no glyphs here; bold is made from the regular face.
void addWineFonts() {
  static const bool done = [] {
    const QDir dir(QStringLiteral("/usr/share/wine/fonts"));
    for (const char* f : {"tahoma.ttf", "ms_sans_serif.ttf", "courier.ttf"})
      if (dir.exists(QLatin1String(f))) QFontDatabase::addApplicationFont(dir.filePath(QLatin1String(f)));
    return true;
  }();
  (void)done;
}

QStringList westernCandidates(const QString& family) {
  const QString f = family.toLower();
  if (f.contains(QLatin1String("courier")) || f.contains(QLatin1String("fixedsys")) ||
      f.contains(QLatin1String("terminal")) || f.contains(QLatin1String("mono")) ||
      f.contains(QLatin1String("consolas")) || f.contains(QLatin1String("lucida console")))
    return {QStringLiteral("Courier"), QStringLiteral("DejaVu Sans Mono")};
  if (f.contains(QLatin1String("times")) || f.contains(QLatin1String("serif")) && !f.contains(QLatin1String("sans")) ||
      f.contains(QLatin1String("georgia")) || f.contains(QLatin1String("garamond")))
    return {QStringLiteral("DejaVu Serif")};
  if (f == QLatin1String("ms sans serif") || f == QLatin1String("system"))
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};
  return {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};
}

// Whether a face draws text of this pixel size: a bitmap face (Wine's MS
// Sans Serif has strikes of 13, 16 and 20 pixels) draws larger text at its
// largest strike, far too small, where Windows turns to an outline face.
bool servesSize(const QString& family, int pixelSize) {
  static QHash<QString, int> largest;
  auto it = largest.constFind(family);
  if (it == largest.constEnd()) {
    int px = 0;
    if (!QFontDatabase::isScalable(family))
      for (int pt : QFontDatabase::pointSizes(family)) px = std::max(px, (pt * 96 + 36) / 72);
    it = largest.insert(family, px);
  }
  return *it == 0 || pixelSize <= *it + 2;
}

}  // namespace

QFont FontMapping::formFont(const QString& family, int pixelSize) {
  addWineFonts();
  if (!candidatesFor(family).isEmpty() || (!family.isEmpty() && installed(family) && servesSize(family, pixelSize)))
    return mapFont(family, pixelSize);
  QString chosen = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  for (const QString& c : westernCandidates(family)) {
    if (installed(c) && servesSize(c, pixelSize)) {
      chosen = c;
      break;
    }
  }
  QFont font(chosen);
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  return font;
}

QFont FontMapping::editorFont(int pixelSize) {
  QFont font = mapFont(QStringLiteral("細明體"), pixelSize);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  return font;
}

}  // namespace vc
