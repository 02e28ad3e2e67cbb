// findReplace: search and replace in the editor model.
#include <algorithm>
#include <climits>

#include "editor/model/EditorModel.h"
#include "editor/model/EditorOp.h"
#include "editor/model/SearchMatcher.h"
#include "platform/Cp950.h"
#include "platform/Exception.h"

namespace vc {
namespace {

// Holds painting back for a replace-all, also when it is left by an exception.
class UpdateBracket {
 public:
  UpdateBracket(EditorModel& m, bool on) : m_model(on ? &m : nullptr) {
    if (m_model) m_model->beginUpdate();
  }
  ~UpdateBracket() {
    if (m_model) m_model->endUpdate();
  }

 private:
  EditorModel* m_model;
};

bool endsInHalfCharacter(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (cp950::isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 == bytes.size()) return true;
    i += cp950::charLength(bytes, i);
  }
  return false;
}

}  // namespace

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
  std::vector<int> found;
  int count = 0;
  for (int line = backward ? end.line : start.line; line >= start.line && line <= end.line;
       line += backward ? -1 : 1) {
    matcher.findAll(m_lines[static_cast<std::size_t>(line - 1)].text, found);
    if (found.empty()) continue;
    if (backward) std::reverse(found.begin(), found.end());
    int shift = 0;
    const bool firstLimited = mode == SelectionMode::Column || (mode == SelectionMode::Normal && line == start.line);
    const bool lastLimited = mode == SelectionMode::Column || (mode == SelectionMode::Normal && line == end.line);
    int endColumn = lastLimited ? end.column : INT_MAX;
    for (int offset : found) {
      const int p = offset + 1 + shift;
      if (firstLimited && p < start.column) continue;
      if (lastLimited && p + slen > endColumn) continue;
      ++count;
      const TextPos b{p, line}, e{p + slen, line};
      if (backward)
        setBlock(e, b);
      else
        setBlock(b, e);
      if (!replace) return count;
      const std::uint64_t group = newGroup();
      recordedDelete(b, e, group);
      recordedInsert(b, repl, group);
      collapseTo(backward ? b : TextPos{p + rlen, line});
      if (!backward) {
        shift += rlen - slen;
        if (endColumn != INT_MAX) endColumn += rlen - slen;
      }
      if (!all) return count;
    }
  }
  return count;
}

}  // namespace vc
