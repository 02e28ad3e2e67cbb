#pragma once
// A position in the text as the user sees it: 1-based byte column and 1-based
// line. Columns count bytes, so a Big5 character takes two columns.
#include <compare>

namespace vc {

struct TextPos {
  int column = 1;
  int line = 1;

  friend constexpr bool operator==(const TextPos&, const TextPos&) = default;
  friend constexpr std::strong_ordering operator<=>(const TextPos& a, const TextPos& b) {
    if (auto c = a.line <=> b.line; c != 0) return c;
    return a.column <=> b.column;
  }
};

enum class SelectionMode { Normal, Column, Line };

}  // namespace vc
