#include "editor/widget/LineLayout.h"

#include <algorithm>

#include "platform/Cp950.h"

namespace vc {

namespace {

// Width in cells of the character starting at byte i, shown at cell `cell`.
int unitCells(std::string_view line, std::size_t i, int cell, std::size_t* len) {
  *len = cp950::charLength(line, i);
  if (line[i] == '\t') return LineLayout::kTabWidth - cell % LineLayout::kTabWidth;
  return static_cast<int>(*len);
}

}  // namespace

void LineLayout::expandTabs(std::string_view line, std::string& out, int maxCells) {
  out.clear();
  const std::size_t limit = maxCells < 0 ? 0 : static_cast<std::size_t>(maxCells);
  for (std::size_t i = 0; i < line.size() && out.size() < limit;) {
    std::size_t len = 0;
    const int cells = unitCells(line, i, static_cast<int>(out.size()), &len);
    if (line[i] == '\t')
      out.append(static_cast<std::size_t>(cells), ' ');
    else
      out.append(line.substr(i, len));
    i += len;
  }
}

int LineLayout::cellOfColumn(std::string_view line, int column) {
  if (column <= 0) return 0;
  int cell = 0;
  std::size_t i = 0;
  const std::size_t target = static_cast<std::size_t>(column);
  while (i < line.size() && i < target) {
    std::size_t len = 0;
    cell += unitCells(line, i, cell, &len);
    i += len;
  }
  // A column inside a double-byte character counts from that character's
  // end; beyond the line each column is one cell, up to a bound that keeps
  // pixel arithmetic on cells far from overflowing.
  if (target > i) {
    const std::size_t beyond = std::min<std::size_t>(target - i, LineLayout::kMaxCell);
    cell = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(cell) + beyond, LineLayout::kMaxCell));
  }
  return cell;
}

int LineLayout::columnOfCell(std::string_view line, int cell, bool nearest) {
  if (cell <= 0) return 0;
  int at = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    std::size_t len = 0;
    const int cells = unitCells(line, i, at, &len);
    if (cell < at + cells) {
      if (nearest && (cell - at) * 2 >= cells) return static_cast<int>(i + len);
      return static_cast<int>(i);
    }
    at += cells;
    i += len;
  }
  return static_cast<int>(line.size()) + (cell - at);
}

int LineLayout::cellCount(std::string_view line) {
  return cellOfColumn(line, static_cast<int>(line.size()));
}

}  // namespace vc
