// findReplace: search and replace in the editor model.
#include <algorithm>

#include "editor/model/EditorModel.h"
#include "editor/model/EditorOp.h"
#include "editor/model/SearchMatcher.h"
#include "editor/model/TextLines.h"
#include "platform/Exception.h"

namespace vc {

int EditorModel::findReplace(std::string_view search, std::string_view replacement, SearchOptions options) {
  if (search.empty()) return 0;
  const bool replace = (options & (ReplaceOne | ReplaceAll)) != 0;
  const bool all = (options & ReplaceAll) != 0;
  const bool backward = (options & Backward) != 0;
  if (replace && m_readOnly) return 0;
  if (replace && endsInHalfCharacter(replacement))
    throw Exception("置換的文字結尾是不完整的雙位元組字元。");
  // Line breaks cannot be part of a match, and a replacement keeps to its line.
  if (search.find_first_of("\r\n") != std::string_view::npos) return 0;
  std::string repl;
  for (char ch : replacement)
    if (ch != '\r' && ch != '\n') repl.push_back(ch);

  const bool selOnly = (options & SelectionOnly) && selAvail();
  const SelectionMode mode = selOnly ? m_selMode : SelectionMode::Normal;
  TextPos start{1, 1}, end = lineEnd(lineCount());
  if (selOnly) {
    start = m_blockBegin;
    end = m_blockEnd;
    if (mode == SelectionMode::Line) {
      start.column = 1;
      end.column = lineLength(end.line) + 1;
    } else if (mode == SelectionMode::Column && start.column > end.column) {
      std::swap(start.column, end.column);
    }
  } else if (!(options & WholeScope)) {
    (backward ? end : start) = m_caret;
  }

  Op op(*this);
  UpdateBracket bracket(*this, all);
  const SearchMatcher matcher(search, (options & MatchCase) != 0, (options & WholeWord) != 0);
  const int slen = static_cast<int>(search.size());
  const int rlen = static_cast<int>(repl.size());
  std::vector<int> found, taken;
  UndoItem item;
  TextPos caret = m_caret;
  int count = 0;
  for (int line = backward ? end.line : start.line; line >= start.line && line <= end.line;
       line += backward ? -1 : 1) {
    matcher.findAll(m_lines[static_cast<std::size_t>(line - 1)].text, found);
    const bool firstLimited = mode == SelectionMode::Column || (mode == SelectionMode::Normal && line == start.line);
    const bool lastLimited = mode == SelectionMode::Column || (mode == SelectionMode::Normal && line == end.line);
    taken.clear();
    for (int offset : found) {
      const int p = offset + 1;
      if ((firstLimited && p < start.column) || (lastLimited && p + slen > end.column)) continue;
      taken.push_back(p);
    }
    if (taken.empty()) continue;
    if (!all) taken = {backward ? taken.back() : taken.front()};
    const int first = taken.front(), last = taken.back();
    if (count == 0) {
      // The first match is selected; undoing the replacements selects it again.
      const int p = backward ? last : first;
      if (backward)
        setBlock({p + slen, line}, {p, line});
      else
        setBlock({p, line}, {p + slen, line});
      if (!replace) return 1;
      item = startItem(UndoItem::Kind::Replace, newGroup());
    }
    count += static_cast<int>(taken.size());
    replaceInLine(line, taken, slen, repl, item);
    // Searching forward the caret ends behind the last replacement, backward
    // before the last one visited (the first in the line).
    const int shifted = last + static_cast<int>(taken.size() - 1) * (rlen - slen);
    caret = backward ? TextPos{first, line} : TextPos{shifted + rlen, line};
    if (!all) break;
  }
  if (count > 0) {
    const UndoItem::Replacement& r = item.replacements.back();
    item.start = {item.replacements.front().column, item.replacements.front().line};
    item.end = {r.column + static_cast<int>(r.inserted.size()), r.line};
    pushUndo(std::move(item));
    collapseTo(caret);
  }
  return count;
}

void EditorModel::replaceInLine(int line, const std::vector<int>& columns, int searchLength,
                                std::string_view replacement, UndoItem& item) {
  std::string& text = m_lines[static_cast<std::size_t>(line - 1)].text;
  std::string out;
  out.reserve(text.size() + columns.size() * replacement.size());
  std::size_t pos = 0;
  for (int column : columns) {
    const auto at = static_cast<std::size_t>(column - 1);
    out.append(text, pos, at - pos);
    item.replacements.push_back({line, static_cast<int>(out.size()) + 1, text.substr(at, static_cast<std::size_t>(searchLength)),
                                 std::string(replacement)});
    out.append(replacement);
    pos = at + static_cast<std::size_t>(searchLength);
  }
  out.append(text, pos);
  text = std::move(out);
  notifyLinesChanged(line - 1, 1);
  markChanged(line - 1, line - 1);
}

void EditorModel::applyReplacements(const UndoItem& item, bool undo) {
  const auto& all = item.replacements;
  for (std::size_t i = 0; i < all.size();) {
    const int line = all[i].line;
    if (line < 1 || line > lineCount()) return;  // never recorded so; keep out of bounds anyway
    std::string& text = m_lines[static_cast<std::size_t>(line - 1)].text;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    long long shift = 0;  // redoing: how far the earlier replacements of the line move this one
    for (; i < all.size() && all[i].line == line; ++i) {
      const UndoItem::Replacement& r = all[i];
      const std::string& present = undo ? r.inserted : r.removed;
      const std::string& wanted = undo ? r.removed : r.inserted;
      long long at = r.column - 1 - (undo ? 0 : shift);
      at = std::clamp<long long>(at, static_cast<long long>(pos), static_cast<long long>(text.size()));
      out.append(text, pos, static_cast<std::size_t>(at) - pos);
      out += wanted;
      pos = std::min(text.size(), static_cast<std::size_t>(at) + present.size());
      shift += static_cast<long long>(r.inserted.size()) - static_cast<long long>(r.removed.size());
    }
    out.append(text, pos);
    text = std::move(out);
    notifyLinesChanged(line - 1, 1);
    markChanged(line - 1, line - 1);
  }
}

}  // namespace vc
