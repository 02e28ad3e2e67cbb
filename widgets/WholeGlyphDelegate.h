#pragma once
// Rows tall enough for every glyph of their text. Some CJK faces draw the
// underscore and other low glyphs below the descent they declare, and a row
// sized by the font's height alone cuts them off ("A__B" reads "A  B").
#include <QStyledItemDelegate>

namespace vc {

class WholeGlyphDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Pixels by which the ink of font's glyphs reaches beyond its ascent or
  // descent, whichever is more; 0 for a font that keeps within them.
  static int inkOverflow(const QFont& font);

 private:
  // Measuring glyphs is slow and a list asks once per row.
  mutable QFont m_measured;
  mutable int m_overflow = -1;
};

}  // namespace vc
