#include "widgets/WholeGlyphDelegate.h"

#include <QFontMetrics>

namespace vc {

int WholeGlyphDelegate::inkOverflow(const QFont& font) {
  const QFontMetrics fm(font);
  // The lowest- and highest-reaching glyphs a name is likely to hold.
  const QRect ink = fm.tightBoundingRect(QStringLiteral("_gjpqy|[]ÅÉ中"));
  const int below = ink.bottom() + 1 - fm.descent();
  const int above = -ink.top() - fm.ascent();
  return qMax(0, qMax(below, above));
}

QSize WholeGlyphDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  if (m_overflow < 0 || option.font != m_measured) {
    m_measured = option.font;
    m_overflow = inkOverflow(option.font);
  }
  // The text is centred in its row: room on both sides keeps it so.
  return size + QSize(0, 2 * m_overflow);
}

}  // namespace vc
