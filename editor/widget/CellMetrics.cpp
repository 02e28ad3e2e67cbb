#include "editor/widget/CellMetrics.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace vc {

CellMetrics CellMetrics::measure(const QFont& base, bool measureBold) {
  QFont font = base;
  if (measureBold) font.setBold(true);
  const QFontMetricsF fm(font);
  qreal widest = 0;
  for (char16_t c = 0x21; c < 0x7F; ++c) widest = std::max(widest, fm.horizontalAdvance(QChar(c)));
  // Two representative Big5 characters: a common ideograph and a full-width
  // punctuation mark.
  widest = std::max(widest, fm.horizontalAdvance(QStringLiteral("國")) / 2);
  widest = std::max(widest, fm.horizontalAdvance(QStringLiteral("，")) / 2);
  CellMetrics m;
  m.width = std::max(1, static_cast<int>(std::ceil(widest - 0.01)));
  m.ascent = static_cast<int>(std::ceil(fm.ascent()));
  m.height = std::max(1, m.ascent + static_cast<int>(std::ceil(fm.descent())) + 1);
  return m;
}

}  // namespace vc
