#pragma once
// The size of one character cell of the editor's grid. Bold and plain text
// keep to one grid because the cell is measured with the bold font whenever
// anything is drawn bold.
#include <QFont>

namespace vc {

struct CellMetrics {
  int width = 6;    // one byte column
  int height = 14;  // one line
  int ascent = 11;  // baseline below the top of the line

  // Cells for `font`, measured in its bold form when measureBold is set:
  // wide enough for every printable ASCII character and for half of a
  // double-byte character.
  static CellMetrics measure(const QFont& font, bool measureBold);
};

}  // namespace vc
