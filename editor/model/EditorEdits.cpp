// The edit primitives of EditorModel, the recorded edits built on them, undo
// and redo, typing and the clipboard.
#include <algorithm>
#include <cstdio>

#include "editor/model/EditorModel.h"
#include "editor/model/EditorOp.h"
#include "editor/model/TextLines.h"
#include "platform/Cp950.h"
#include "platform/Exception.h"

namespace vc {
namespace {

const char* const kUnencodable = "輸入的文字含有無法以 Big5 碼表示的字元 (U+%04X)，已取消輸入。";
const char* const kHalfCharacter = "輸入的文字結尾是不完整的雙位元組字元，已取消輸入。";

std::string encodeOrRefuse(std::u16string_view text) {
  std::size_t failedAt = 0;
  std::optional<std::string> bytes = cp950::encode(text, &failedAt);
  if (!bytes) {
    char32_t cp = failedAt < text.size() ? text[failedAt] : 0;
    if (cp >= 0xD800 && cp < 0xDC00 && failedAt + 1 < text.size() && text[failedAt + 1] >= 0xDC00 &&
        text[failedAt + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[failedAt + 1] - 0xDC00);
    char message[256];
    std::snprintf(message, sizeof message, kUnencodable, static_cast<unsigned>(cp));
    throw Exception(message);
  }
  if (endsInHalfCharacter(*bytes)) throw Exception(kHalfCharacter);
  return std::move(*bytes);
}

}  // namespace

// ---- Primitives

TextPos EditorModel::insertStream(TextPos at, std::string_view text) {
  const auto L = static_cast<std::size_t>(at.line - 1);
  std::string& line = m_lines[L].text;
  std::size_t c = std::min(static_cast<std::size_t>(at.column - 1), line.size());
  if (c < static_cast<std::size_t>(at.column - 1)) line.append(static_cast<std::size_t>(at.column - 1) - c, ' ');
  c = static_cast<std::size_t>(at.column - 1);
  std::vector<std::string_view> pieces = splitLines(text);
  if (pieces.size() == 1) {
    line.insert(c, text);
    notifyLinesChanged(static_cast<int>(L), 1);
    markChanged(static_cast<int>(L), static_cast<int>(L));
    return {at.column + static_cast<int>(text.size()), at.line};
  }
  std::string tail = line.substr(c);
  line.erase(c);
  line.append(pieces[0]);
  const std::size_t added = pieces.size() - 1;
  std::vector<Line> fresh(added);
  for (std::size_t i = 1; i < pieces.size(); ++i) fresh[i - 1].text.assign(pieces[i]);
  fresh.back().text += tail;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(L + 1), std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  for (auto& b : m_bookmarks)
    if (b && b->line > at.line) b->line += static_cast<int>(added);
  // Lines already waiting for a rescan below this point moved down.
  if (m_dirtyLast > static_cast<int>(L)) m_dirtyLast += static_cast<int>(added);
  notifyLinesChanged(static_cast<int>(L), 1);
  notifyLinesInserted(static_cast<int>(L + 1), static_cast<int>(added));
  markChanged(static_cast<int>(L), static_cast<int>(L + added));
  return {static_cast<int>(pieces.back().size()) + 1, at.line + static_cast<int>(added)};
}

std::string EditorModel::deleteStream(TextPos begin, TextPos end) {
  const auto B = static_cast<std::size_t>(begin.line - 1);
  const auto E = static_cast<std::size_t>(end.line - 1);
  std::string& first = m_lines[B].text;
  std::size_t s = std::min(static_cast<std::size_t>(begin.column - 1), first.size());
  if (B == E) {
    std::size_t e = std::min(static_cast<std::size_t>(end.column - 1), first.size());
    std::string removed = first.substr(s, e > s ? e - s : 0);
    if (e > s) first.erase(s, e - s);
    notifyLinesChanged(static_cast<int>(B), 1);
    markChanged(static_cast<int>(B), static_cast<int>(B));
    return removed;
  }
  const std::string& last = m_lines[E].text;
  std::size_t e = std::min(static_cast<std::size_t>(end.column - 1), last.size());
  std::string removed = first.substr(s);
  for (std::size_t k = B + 1; k < E; ++k) {
    removed += "\r\n";
    removed += m_lines[k].text;
  }
  removed += "\r\n";
  removed.append(last, 0, e);
  first.erase(s);
  first.append(last, e);
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(B + 1), m_lines.begin() + static_cast<std::ptrdiff_t>(E + 1));
  const int gone = end.line - begin.line;
  if (m_dirtyLast > static_cast<int>(E))
    m_dirtyLast -= gone;
  else if (m_dirtyLast > static_cast<int>(B))
    m_dirtyLast = static_cast<int>(B);
  for (auto& b : m_bookmarks) {
    if (!b) continue;
    if (b->line > end.line)
      b->line -= gone;
    else if (b->line > begin.line)
      b.reset();
  }
  notifyLinesChanged(static_cast<int>(B), 1);
  notifyLinesDeleted(static_cast<int>(B + 1), gone);
  markChanged(static_cast<int>(B), static_cast<int>(B));
  return removed;
}

void EditorModel::insertPieces(const std::vector<UndoItem::Piece>& pieces) {
  for (const auto& p : pieces) {
    std::string& t = m_lines[static_cast<std::size_t>(p.line - 1)].text;
    auto c = static_cast<std::size_t>(p.column - 1);
    if (t.size() < c) t.append(c - t.size(), ' ');
    t.insert(c, p.text);
    notifyLinesChanged(p.line - 1, 1);
    markChanged(p.line - 1, p.line - 1);
  }
}

void EditorModel::removePieces(const std::vector<UndoItem::Piece>& pieces) {
  for (const auto& p : pieces) {
    std::string& t = m_lines[static_cast<std::size_t>(p.line - 1)].text;
    auto c = static_cast<std::size_t>(p.column - 1);
    if (c < t.size()) t.erase(c, p.text.size());
    notifyLinesChanged(p.line - 1, 1);
    markChanged(p.line - 1, p.line - 1);
  }
}

void EditorModel::appendLines(int count) {
  if (count <= 0) return;
  int first = lineCount();
  m_lines.resize(m_lines.size() + static_cast<std::size_t>(count));
  notifyLinesInserted(first, count);
  markChanged(first - 1, first + count - 1);
}

void EditorModel::dropLastLines(int count) {
  count = std::min(count, lineCount() - 1);
  if (count <= 0) return;
  int first = lineCount() - count;
  m_lines.resize(static_cast<std::size_t>(first));
  for (auto& b : m_bookmarks)
    if (b && b->line > first) b.reset();
  notifyLinesDeleted(first, count);
  markChanged(first - 1, first - 1);
}

// ---- Recorded edits

UndoItem EditorModel::startItem(UndoItem::Kind kind, std::uint64_t group) const {
  UndoItem item;
  item.kind = kind;
  item.group = group;
  item.caretBefore = m_caret;
  item.blockBeginBefore = m_blockBegin;
  item.blockEndBefore = m_blockEnd;
  return item;
}

void EditorModel::pushUndo(UndoItem item) {
  m_undo.push(std::move(item));
  if (!m_inUndoRedo) m_redo.clear();
  m_changed = true;
}

TextPos EditorModel::recordedInsert(TextPos at, std::string_view text, std::uint64_t group) {
  UndoItem item = startItem(UndoItem::Kind::Insert, group);
  int len = lineLength(at.line);
  if (at.column > len + 1) {  // typing past the end fills the gap with blanks
    item.text.assign(static_cast<std::size_t>(at.column - len - 1), ' ');
    at.column = len + 1;
  }
  item.text.append(text);
  if (item.text.empty()) return at;
  item.start = at;
  item.end = insertStream(at, item.text);
  TextPos end = item.end;
  pushUndo(std::move(item));
  return end;
}

void EditorModel::recordedDelete(TextPos begin, TextPos end, std::uint64_t group) {
  begin.column = std::min(begin.column, lineLength(begin.line) + 1);
  end.column = std::min(end.column, lineLength(end.line) + 1);
  if (!(begin < end)) return;
  UndoItem item = startItem(UndoItem::Kind::Delete, group);
  item.start = begin;
  item.end = end;
  item.text = deleteStream(begin, end);
  pushUndo(std::move(item));
}

void EditorModel::recordPieces(UndoItem::Kind kind, std::vector<UndoItem::Piece> pieces, int addedLines,
                               std::uint64_t group) {
  UndoItem item = startItem(kind, group);
  item.mode = SelectionMode::Column;
  item.pieces = std::move(pieces);
  item.addedLines = addedLines;
  if (!item.pieces.empty()) {
    item.start = {item.pieces.front().column, item.pieces.front().line};
    item.end = {item.pieces.back().column + static_cast<int>(item.pieces.back().text.size()), item.pieces.back().line};
  }
  pushUndo(std::move(item));
}

void EditorModel::recordedColumnInsert(TextPos at, std::string_view text, std::uint64_t group) {
  std::vector<std::string_view> rows = splitLines(text);
  int added = std::max(0, at.line + static_cast<int>(rows.size()) - 1 - lineCount());
  appendLines(added);
  std::vector<UndoItem::Piece> pieces;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    int line = at.line + static_cast<int>(i);
    const std::string& t = m_lines[static_cast<std::size_t>(line - 1)].text;
    auto c = static_cast<std::size_t>(at.column - 1);
    UndoItem::Piece p{line, at.column, {}};
    if (c < t.size()) {
      p.column = static_cast<int>(charStartAt(t, c)) + 1;
    } else if (c > t.size()) {
      p.text.assign(c - t.size(), ' ');
      p.column = static_cast<int>(t.size()) + 1;
    }
    p.text.append(rows[i]);
    pieces.push_back(std::move(p));
  }
  insertPieces(pieces);
  const UndoItem::Piece& last = pieces.back();
  TextPos end{last.column + static_cast<int>(last.text.size()), last.line};
  recordPieces(UndoItem::Kind::Insert, std::move(pieces), added, group);
  collapseTo(end);
}

void EditorModel::deleteSelection(std::uint64_t group) {
  if (!selAvail()) return;
  TextPos b = m_blockBegin, e = m_blockEnd;
  if (m_selMode == SelectionMode::Column) {
    int c1 = std::min(b.column, e.column), c2 = std::max(b.column, e.column);
    std::vector<UndoItem::Piece> pieces;
    for (int l = b.line; l <= e.line; ++l) {
      const std::string& t = m_lines[static_cast<std::size_t>(l - 1)].text;
      std::size_t s = std::min(static_cast<std::size_t>(c1 - 1), t.size());
      if (s < t.size()) s = charStartAt(t, s);
      std::size_t x = std::min(static_cast<std::size_t>(c2 - 1), t.size());
      if (x < t.size() && cp950::isTrailByte(t, x)) ++x;
      if (s < x) pieces.push_back({l, static_cast<int>(s) + 1, t.substr(s, x - s)});
    }
    TextPos caret = clampToChar({c1, b.line});
    if (!pieces.empty()) {
      removePieces(pieces);
      recordPieces(UndoItem::Kind::Delete, std::move(pieces), 0, group);
    }
    collapseTo(caret);
    return;
  }
  if (m_selMode == SelectionMode::Line) {
    int first = b.line;
    lineModeRange(b, e);
    recordedDelete(b, e, group);
    collapseTo(clampToChar({1, first}));
    return;
  }
  recordedDelete(b, e, group);
  collapseTo(clampToChar(b));
}

// ---- Undo and redo

void EditorModel::applyUndoItem(const UndoItem& item, bool undo) {
  if (item.kind == UndoItem::Kind::Replace) {
    applyReplacements(item, undo);
    return;
  }
  const bool insert = (item.kind == UndoItem::Kind::Insert) != undo;
  if (item.mode == SelectionMode::Column) {
    if (insert) {
      if (item.kind == UndoItem::Kind::Insert) appendLines(item.addedLines);
      insertPieces(item.pieces);
    } else {
      removePieces(item.pieces);
      if (item.kind == UndoItem::Kind::Insert) dropLastLines(item.addedLines);
    }
    return;
  }
  if (insert)
    insertStream(item.start, item.text);
  else
    deleteStream(item.start, item.end);
}

void EditorModel::undo() {
  if (m_readOnly || m_undo.empty()) return;
  Op op(*this);
  std::vector<UndoItem> group = m_undo.popGroup();
  UpdateBracket bracket(*this, group.back().kind == UndoItem::Kind::Replace);
  m_inUndoRedo = true;
  for (auto it = group.rbegin(); it != group.rend(); ++it) applyUndoItem(*it, true);
  const UndoItem& first = group.front();
  TextPos caret = clampToChar(first.caretBefore);
  TextPos anchor = first.caretBefore == first.blockBeginBefore ? first.blockEndBefore : first.blockBeginBefore;
  setBlock(clampToChar(anchor), caret);
  for (UndoItem& item : group) m_redo.push(std::move(item));
  m_inUndoRedo = false;
  m_changed = true;
}

void EditorModel::redo() {
  if (m_readOnly || m_redo.empty()) return;
  Op op(*this);
  std::vector<UndoItem> group = m_redo.popGroup();
  UpdateBracket bracket(*this, group.back().kind == UndoItem::Kind::Replace);
  m_inUndoRedo = true;
  for (const UndoItem& item : group) applyUndoItem(item, false);
  const UndoItem& last = group.back();
  collapseTo(clampToChar(last.kind == UndoItem::Kind::Delete ? last.start : last.end));
  for (UndoItem& item : group) m_undo.push(std::move(item));
  m_inUndoRedo = false;
  m_changed = true;
}

void EditorModel::clearUndo() {
  m_undo.clear();
  m_redo.clear();
}

void EditorModel::setMaxUndo(int max) {
  m_undo.setMaxEntries(max);
  m_redo.setMaxEntries(max);
}

// ---- Typing and the clipboard

void EditorModel::typeText(std::u16string_view text) {
  if (m_readOnly) return;
  std::u16string typed;
  for (char16_t ch : text)
    if (ch >= 0x20 || ch == '\t') typed.push_back(ch);
  if (typed.empty()) return;
  std::string bytes = encodeOrRefuse(typed);
  insertEdited(bytes, false);
}

void EditorModel::insertBytes(std::string_view bytes) {
  if (m_readOnly || bytes.empty()) return;
  if (endsInHalfCharacter(bytes)) throw Exception(kHalfCharacter);
  insertEdited(bytes, false);
}

void EditorModel::insertEdited(std::string_view bytes, bool asColumns) {
  Op op(*this);
  const std::uint64_t group = newGroup();
  if (selAvail()) {
    deleteSelection(group);
  } else if (!m_insertMode && !asColumns && bytes.find_first_of("\r\n") == std::string_view::npos) {
    // Overwrite whole characters: at least as many bytes as are typed.
    const std::string& t = m_lines[static_cast<std::size_t>(m_caret.line - 1)].text;
    std::size_t i = static_cast<std::size_t>(m_caret.column - 1), end = i;
    while (end < t.size() && end - i < bytes.size()) end += cp950::charLength(t, end);
    if (end > i) recordedDelete(m_caret, {static_cast<int>(end) + 1, m_caret.line}, group);
  }
  if (asColumns) {
    recordedColumnInsert(m_caret, bytes, group);
    return;
  }
  collapseTo(recordedInsert(m_caret, bytes, group));
}

void EditorModel::replaceLines(int first, int count, std::string_view text) {
  if (m_readOnly || first < 0 || count <= 0 || count > lineCount() - first) return;
  Op op(*this);
  const TextPos caret = m_caret;
  const std::uint64_t group = newGroup();
  const TextPos begin{1, first + 1};
  // Recorded as made at its first line: an undo puts the caret there and
  // scrolls only as far as the change, not back to wherever the caret was.
  m_caret = m_blockBegin = m_blockEnd = begin;
  recordedDelete(begin, lineEnd(first + count), group);
  recordedInsert(begin, text, group);
  collapseTo(clampToChar(caret));
}

void EditorModel::copyToClipboard() {
  if (!m_clipboard || !selAvail()) return;
  std::u16string text = cp950::decode(selectedText());
  m_clipboard->setText(text);
  m_columnClip = m_selMode == SelectionMode::Column ? text : std::u16string();
}

void EditorModel::cutToClipboard() {
  if (m_readOnly || !m_clipboard || !selAvail()) return;
  Op op(*this);
  copyToClipboard();
  deleteSelection(newGroup());
}

void EditorModel::pasteFromClipboard() {
  if (m_readOnly || !m_clipboard) return;
  std::u16string text = m_clipboard->text();
  if (text.empty()) return;
  std::string bytes = encodeOrRefuse(text);
  bool columns = !m_columnClip.empty() && text == m_columnClip;
  bool insertMode = m_insertMode;
  m_insertMode = true;  // pasting inserts, also in overwrite mode
  try {
    insertEdited(bytes, columns);
  } catch (...) {
    m_insertMode = insertMode;
    throw;
  }
  m_insertMode = insertMode;
}

void EditorModel::moveSelection(TextPos pos) {
  if (m_readOnly || !selAvail() || m_selMode == SelectionMode::Column) return;
  pos = clampToChar(pos);
  TextPos b = m_blockBegin, e = m_blockEnd;
  if (m_selMode == SelectionMode::Line) {
    lineModeRange(b, e);
    pos.column = 1;
  }
  if (pos >= b && pos <= e) return;
  Op op(*this);
  std::string text = selectedText();
  if (m_selMode == SelectionMode::Line && e.column != 1) text = "\r\n" + text.substr(0, text.size() - 2);
  if (pos > e) {
    if (pos.line == e.line) pos.column = b.column + (pos.column - e.column);
    pos.line -= e.line - b.line;
  }
  const std::uint64_t group = newGroup();
  if (m_selMode == SelectionMode::Line) {
    recordedDelete(b, e, group);
    collapseTo(clampToChar(b));
  } else {
    deleteSelection(group);
  }
  TextPos end = recordedInsert(pos, text, group);
  setBlock(pos, end);
}

}  // namespace vc
