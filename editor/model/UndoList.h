#pragma once
// The undo and redo lists of the editor: bounded, with entries grouped so
// that one undo command takes back a whole group (a replacement is a removal
// and an insertion that go back together).
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "editor/model/TextPos.h"

namespace vc {

struct UndoItem {
  enum class Kind : std::uint8_t { Insert, Delete, Replace };
  Kind kind = Kind::Insert;
  SelectionMode mode = SelectionMode::Normal;
  TextPos start;         // where the text was inserted or removed
  TextPos end;           // end of the inserted text / of the removed range
  std::string text;      // stream text, lines joined by CR LF (normal and line mode)
  // Column mode: one piece per line, inserted at or removed from its own column.
  struct Piece {
    int line;
    int column;
    std::string text;
  };
  std::vector<Piece> pieces;
  int addedLines = 0;    // column insert: empty lines appended at the end first
  // Replace: every replacement of one search command, within single lines.
  // Each line's replacements are adjacent and in column order; columns are
  // those of the text after the replacements.
  struct Replacement {
    int line;
    int column;
    std::string removed;
    std::string inserted;
  };
  std::vector<Replacement> replacements;
  TextPos caretBefore;   // where the caret goes back to when undone
  TextPos blockBeginBefore, blockEndBefore;
  std::uint64_t group = 0;  // entries of one group are undone and redone together
};

class UndoList {
 public:
  explicit UndoList(int maxEntries) : m_max(maxEntries < 0 ? 0 : maxEntries) {}

  int maxEntries() const { return m_max; }
  void setMaxEntries(int max);
  int size() const { return static_cast<int>(m_items.size()); }
  bool empty() const { return m_items.empty(); }
  void clear() { m_items.clear(); }

  // Adds an entry; when the list is full the oldest group is dropped whole,
  // so no half of a group can be undone on its own.
  void push(UndoItem item);
  // Removes and returns the latest group, oldest entry first.
  std::vector<UndoItem> popGroup();
  const UndoItem& last() const { return m_items.back(); }

 private:
  void trim();

  std::deque<UndoItem> m_items;
  int m_max;
};

}  // namespace vc
