#include "platform/qt/FontMapping.h"

#include <QFontDatabase>
#include <QHash>

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

QFont FontMapping::editorFont(int pixelSize) {
  QFont font = mapFont(QStringLiteral("細明體"), pixelSize);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  return font;
}

}  // namespace vc
