#pragma once
// Where the bytes of one line fall on the editor's grid of character cells:
// one cell per byte, a double-byte character over two cells, a tab up to the
// next multiple of eight. Byte columns and cells are 0-based here.
#include <string>
#include <string_view>

namespace vc {

class LineLayout {
 public:
  static constexpr int kTabWidth = 8;
  // No position is placed beyond this cell.
  static constexpr int kMaxCell = 1 << 24;

  // The line with every tab that starts a character replaced by spaces, so
  // that an offset into the result is a cell. Expansion stops once the
  // result reaches maxCells (the rest of a long line is never drawn).
  static void expandTabs(std::string_view line, std::string& out, int maxCells = 1 << 30);

  // The cell at which byte column `column` starts. Columns past the end of
  // the line continue one cell per column.
  static int cellOfColumn(std::string_view line, int column);

  // The byte column shown at `cell`: the start of the character under it.
  // With nearest set, `cell` is read as a boundary between cells and the
  // closest character boundary wins (a click on the right half of a wide
  // character or tab lands after it). Past the end of the line each cell
  // is one column.
  static int columnOfCell(std::string_view line, int cell, bool nearest);

  // Cells taken by the whole line.
  static int cellCount(std::string_view line);
};

}  // namespace vc
