#include "editor/model/EditorModel.h"

#include <algorithm>

#include "editor/model/EditorOp.h"
#include "editor/model/TextLines.h"
#include "platform/Cp950.h"

namespace vc {

EditorModel::EditorModel(int maxUndo) : m_undo(maxUndo), m_redo(maxUndo) { m_lines.emplace_back(); }

EditorModel::~EditorModel() {
  if (m_highlighter) m_highlighter->removeClient(this);
}

// ---- Lines

void EditorModel::clear() { loadFromBytes({}); }

void EditorModel::loadFromBytes(std::string_view bytes) {
  TextPos oldCaret = m_caret, oldBegin = m_blockBegin, oldEnd = m_blockEnd;
  std::vector<std::string_view> pieces = splitLines(bytes);
  // A final line break ends the last line; it does not begin an empty one.
  if (pieces.size() > 1 && pieces.back().empty()) pieces.pop_back();
  std::vector<Line> lines(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) lines[i].text.assign(pieces[i]);
  m_lines = std::move(lines);
  m_caret = m_anchor = m_blockBegin = m_blockEnd = TextPos{};
  m_undo.clear();
  m_redo.clear();
  m_dirtyFirst = m_dirtyLast = -1;
  rescanAll();
  notify([](EditorModelClient* c) {
    c->textReset();
    c->caretMoved();
    c->selectionChanged();
  });
  if (m_caret != oldCaret || m_blockBegin != oldBegin || m_blockEnd != oldEnd)
    if (m_onSelectionChange) m_onSelectionChange();
}

std::string EditorModel::text() const {
  std::size_t total = 0;
  for (const Line& l : m_lines) total += l.text.size() + 2;
  std::string out;
  out.reserve(total);
  for (const Line& l : m_lines) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

int EditorModel::lineLength(int line1) const {
  if (line1 < 1 || line1 > lineCount()) return 0;
  return static_cast<int>(m_lines[static_cast<std::size_t>(line1 - 1)].text.size());
}

void EditorModel::replaceLine(int index, std::string_view bytes) {
  if (index < 0 || index >= lineCount()) return;
  Op op(*this);
  std::string& t = m_lines[static_cast<std::size_t>(index)].text;
  t.clear();
  for (char c : bytes)
    if (c != '\r' && c != '\n') t.push_back(c);
  notifyLinesChanged(index, 1);
  markChanged(index, index);
  collapseTo(clampToChar(m_caret));
}

// ---- Caret and selection

TextPos EditorModel::clampToChar(TextPos pos) const {
  pos.line = std::clamp(pos.line, 1, lineCount());
  pos.column = std::clamp(pos.column, 1, kMaxColumn);
  const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
  auto i = static_cast<std::size_t>(pos.column - 1);
  if (i > 0 && i < t.size()) pos.column = static_cast<int>(charStartAt(t, i)) + 1;
  return pos;
}

void EditorModel::setCaret(int column, int line) {
  Op op(*this);
  collapseTo(clampToChar({column, line}));
}

void EditorModel::collapseTo(TextPos pos) {
  m_caret = m_anchor = m_blockBegin = m_blockEnd = pos;
}

void EditorModel::setBlock(TextPos anchor, TextPos caretPos) {
  m_anchor = anchor;
  m_caret = caretPos;
  m_blockBegin = std::min(anchor, caretPos);
  m_blockEnd = std::max(anchor, caretPos);
}

void EditorModel::moveCaret(TextPos pos, bool extendSelection) {
  Op op(*this);
  pos = clampToChar(pos);
  if (extendSelection)
    setBlock(m_anchor, pos);
  else
    collapseTo(pos);
}

bool EditorModel::selAvail() const {
  if (m_selMode == SelectionMode::Column) return m_blockBegin.column != m_blockEnd.column;
  return m_blockBegin != m_blockEnd;
}

void EditorModel::setSelectionMode(SelectionMode mode) {
  if (mode == m_selMode) return;
  Op op(*this);
  m_selMode = mode;
  notify([](EditorModelClient* c) { c->selectionChanged(); });
}

void EditorModel::setSelection(TextPos anchor, TextPos caretPos) {
  Op op(*this);
  setBlock(clampToChar(anchor), clampToChar(caretPos));
}

void EditorModel::selectWordAt(TextPos pos) {
  pos = clampToChar(pos);
  const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
  const CharSet& w = wordCharacters();
  auto isWord = [&](std::size_t i) { return i < t.size() && w.test(static_cast<unsigned char>(t[i])); };
  auto i = static_cast<std::size_t>(pos.column - 1);
  if (!isWord(i) && !(i > 0 && isWord(i - 1))) return;
  if (!isWord(i)) --i;
  std::size_t b = i, e = i;
  while (b > 0 && isWord(b - 1)) --b;
  while (isWord(e)) ++e;
  // Word bytes that are really the second byte of a Big5 character end the word.
  if (b > 0 && cp950::isTrailByte(t, b)) ++b;
  Op op(*this);
  setBlock({static_cast<int>(b) + 1, pos.line}, {static_cast<int>(e) + 1, pos.line});
}

void EditorModel::lineModeRange(TextPos& begin, TextPos& end) const {
  int first = begin.line, last = end.line;
  if (last < lineCount()) {
    begin = {1, first};
    end = {1, last + 1};
  } else if (first > 1) {
    begin = lineEnd(first - 1);
    end = lineEnd(last);
  } else {
    begin = {1, 1};
    end = lineEnd(last);
  }
}

std::string EditorModel::selectedText() const {
  if (!selAvail()) return {};
  TextPos b = m_blockBegin, e = m_blockEnd;
  std::string out;
  if (m_selMode == SelectionMode::Column) {
    int c1 = std::min(b.column, e.column), c2 = std::max(b.column, e.column);
    for (int l = b.line; l <= e.line; ++l) {
      const std::string& t = m_lines[static_cast<std::size_t>(l - 1)].text;
      std::size_t s = std::min<std::size_t>(static_cast<std::size_t>(c1 - 1), t.size());
      if (s < t.size()) s = charStartAt(t, s);
      std::size_t x = std::min<std::size_t>(static_cast<std::size_t>(c2 - 1), t.size());
      if (x < t.size() && cp950::isTrailByte(t, x)) ++x;
      if (s < x) out.append(t, s, x - s);
      if (l < e.line) out += "\r\n";
    }
    return out;
  }
  if (m_selMode == SelectionMode::Line) {
    b = {1, b.line};
    e = lineEnd(e.line);
  }
  for (int l = b.line; l <= e.line; ++l) {
    const std::string& t = m_lines[static_cast<std::size_t>(l - 1)].text;
    std::size_t s = l == b.line ? std::min<std::size_t>(static_cast<std::size_t>(b.column - 1), t.size()) : 0;
    std::size_t x = l == e.line ? std::min<std::size_t>(static_cast<std::size_t>(e.column - 1), t.size()) : t.size();
    if (s < x) out.append(t, s, x - s);
    if (l < e.line || m_selMode == SelectionMode::Line) out += "\r\n";
  }
  return out;
}

void EditorModel::selectAll() {
  Op op(*this);
  setBlock({1, 1}, lineEnd(lineCount()));
}

void EditorModel::setInsertMode(bool insert) {
  if (insert == m_insertMode) return;
  m_insertMode = insert;
  notify([](EditorModelClient* c) { c->insertModeChanged(); });
}

// ---- Bookmarks

void EditorModel::setBookmark(int n, int column, int line) {
  if (n < 0 || n >= kBookmarkCount || line < 1 || line > lineCount()) return;
  for (auto& b : m_bookmarks)
    if (b && b->line == line) b.reset();
  m_bookmarks[static_cast<std::size_t>(n)] = TextPos{std::max(column, 1), line};
  notify([](EditorModelClient* c) { c->bookmarksChanged(); });
}

void EditorModel::gotoBookmark(int n) {
  if (n < 0 || n >= kBookmarkCount) return;
  const auto& b = m_bookmarks[static_cast<std::size_t>(n)];
  if (!b || b->line > lineCount()) return;
  setCaret(b->column, b->line);
}

void EditorModel::clearBookmark(int n) {
  if (n < 0 || n >= kBookmarkCount || !m_bookmarks[static_cast<std::size_t>(n)]) return;
  m_bookmarks[static_cast<std::size_t>(n)].reset();
  notify([](EditorModelClient* c) { c->bookmarksChanged(); });
}

std::optional<TextPos> EditorModel::bookmark(int n) const {
  if (n < 0 || n >= kBookmarkCount) return std::nullopt;
  return m_bookmarks[static_cast<std::size_t>(n)];
}

int EditorModel::bookmarkOnLine(int line) const {
  for (int i = 0; i < kBookmarkCount; ++i)
    if (m_bookmarks[static_cast<std::size_t>(i)] && m_bookmarks[static_cast<std::size_t>(i)]->line == line) return i;
  return -1;
}

void EditorModel::commandSetMarker(int n) {
  const auto& b = m_bookmarks[static_cast<std::size_t>(n)];
  if (b && b->line == m_caret.line)
    clearBookmark(n);
  else
    setBookmark(n, m_caret.column, m_caret.line);
}

// ---- Highlighting

void EditorModel::setHighlighter(Highlighter* highlighter) {
  if (highlighter == m_highlighter) return;
  if (m_highlighter) m_highlighter->removeClient(this);
  m_highlighter = highlighter;
  if (m_highlighter) m_highlighter->addClient(this);
  rescanAll();
  notify([](EditorModelClient* c) { c->highlighterChanged(); });
}

const CharSet& EditorModel::wordCharacters() const {
  return m_highlighter ? m_highlighter->wordCharacters() : Highlighter::defaultWordCharacters();
}

void EditorModel::highlighterDestroyed() {
  m_highlighter = nullptr;
  rescanAll();
  notify([](EditorModelClient* c) { c->highlighterChanged(); });
}

void EditorModel::highlighterAttributesChanged() {
  notify([](EditorModelClient* c) { c->highlighterChanged(); });
}

void EditorModel::rescanAll() {
  if (!m_highlighter) {
    for (Line& l : m_lines) l.range = 0;
    return;
  }
  Highlighter& h = *m_highlighter;
  h.resetRangeState();
  m_lines[0].range = h.rangeState();
  for (std::size_t k = 0; k + 1 < m_lines.size(); ++k) {
    h.setRangeState(m_lines[k].range);
    h.startLine(m_lines[k].text, static_cast<int>(k));
    while (!h.atLineEnd()) h.advance();
    m_lines[k + 1].range = h.rangeState();
  }
}

void EditorModel::markChanged(int first, int last) {
  if (m_dirtyFirst < 0) {
    m_dirtyFirst = first;
    m_dirtyLast = last;
  } else {
    m_dirtyFirst = std::min(m_dirtyFirst, first);
    m_dirtyLast = std::max(m_dirtyLast, last);
  }
}

void EditorModel::rescanPending() {
  if (m_dirtyFirst < 0) return;
  int first = std::clamp(m_dirtyFirst, 0, lineCount() - 1);
  int last = std::clamp(m_dirtyLast, first, lineCount() - 1);
  m_dirtyFirst = m_dirtyLast = -1;
  if (!m_highlighter) return;
  Highlighter& h = *m_highlighter;
  if (first == 0) {
    h.resetRangeState();
    m_lines[0].range = h.rangeState();
  }
  int changedFrom = -1, changedTo = -1;
  for (int k = first; k + 1 < lineCount(); ++k) {
    h.setRangeState(m_lines[static_cast<std::size_t>(k)].range);
    h.startLine(m_lines[static_cast<std::size_t>(k)].text, k);
    while (!h.atLineEnd()) h.advance();
    RangeState next = h.rangeState();
    RangeState& stored = m_lines[static_cast<std::size_t>(k + 1)].range;
    if (next == stored && k + 1 > last) break;
    if (next != stored) {
      stored = next;
      if (k + 1 > last) {
        if (changedFrom < 0) changedFrom = k + 1;
        changedTo = k + 1;
      }
    }
  }
  if (changedFrom >= 0) notifyLinesChanged(changedFrom, changedTo - changedFrom + 1);
}

// ---- Notifications

template <typename F>
void EditorModel::notify(F f) {
  if (m_updateDepth > 0) {
    m_updatePending = true;
    return;
  }
  for (EditorModelClient* c : std::vector<EditorModelClient*>(m_clients)) f(c);
}

void EditorModel::notifyLinesChanged(int first, int count) {
  notify([=](EditorModelClient* c) { c->linesChanged(first, count); });
}
void EditorModel::notifyLinesInserted(int first, int count) {
  notify([=](EditorModelClient* c) { c->linesInserted(first, count); });
}
void EditorModel::notifyLinesDeleted(int first, int count) {
  notify([=](EditorModelClient* c) { c->linesDeleted(first, count); });
}

void EditorModel::addClient(EditorModelClient* client) {
  if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end()) m_clients.push_back(client);
}

void EditorModel::removeClient(EditorModelClient* client) {
  m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}

void EditorModel::beginUpdate() { ++m_updateDepth; }

void EditorModel::endUpdate() {
  if (m_updateDepth == 0 || --m_updateDepth > 0) return;
  if (!m_updatePending) return;
  m_updatePending = false;
  notify([](EditorModelClient* c) {
    c->repaintAll();
    c->caretMoved();
    c->selectionChanged();
  });
}

void EditorModel::finishOp(TextPos oldCaret, TextPos oldBegin, TextPos oldEnd) {
  rescanPending();
  // Joining lines that end in a stray lead byte can pair bytes anew; keep the
  // caret and the selection on character starts whatever the text became.
  if (TextPos c = clampToChar(m_caret), a = clampToChar(m_anchor); c != m_caret || a != m_anchor) {
    if (m_blockBegin == m_blockEnd && m_anchor == m_caret)
      collapseTo(c);
    else
      setBlock(a, c);
  }
  bool caretMoved = m_caret != oldCaret;
  bool selMoved = m_blockBegin != oldBegin || m_blockEnd != oldEnd;
  if (caretMoved) notify([](EditorModelClient* c) { c->caretMoved(); });
  if (selMoved) notify([](EditorModelClient* c) { c->selectionChanged(); });
  bool changed = m_changed;
  m_changed = false;
  if (changed && m_onChange) m_onChange();
  if ((caretMoved || selMoved) && m_onSelectionChange) m_onSelectionChange();
}

// ---- Tabs

int EditorModel::expandedColumn(std::string_view line, int column) {
  int cell = 1;
  int i = 0;
  for (; i + 1 < column && static_cast<std::size_t>(i) < line.size(); ++i)
    cell = line[static_cast<std::size_t>(i)] == '\t' ? ((cell - 1) / kTabWidth + 1) * kTabWidth + 1 : cell + 1;
  return cell + std::max(column - 1 - i, 0);  // past the end every column is one cell
}

int EditorModel::columnAtExpanded(std::string_view line, int expanded) {
  int cell = 1, column = 1;
  for (; static_cast<std::size_t>(column - 1) < line.size(); ++column) {
    int next = line[static_cast<std::size_t>(column - 1)] == '\t' ? ((cell - 1) / kTabWidth + 1) * kTabWidth + 1
                                                                  : cell + 1;
    if (next > expanded) return column;
    cell = next;
  }
  return column + std::max(expanded - cell, 0);
}

}  // namespace vc
