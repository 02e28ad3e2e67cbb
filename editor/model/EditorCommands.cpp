// The ec* commands of the editor model and the key table.
#include <algorithm>

#include "editor/model/EditorModel.h"
#include "editor/model/EditorOp.h"
#include "platform/Cp950.h"

namespace vc {

bool isEditingCommand(EditorCommand c) {
  switch (c) {
    case ecDeleteChar: case ecDeleteLastChar: case ecDeleteWord: case ecDeleteLastWord:
    case ecDeleteLine: case ecDeleteEOL: case ecLineBreak: case ecInsertLine:
    case ecBlockIndent: case ecBlockUnindent: case ecCut: case ecPaste: case ecUndo: case ecRedo:
      return true;
    default:
      return false;
  }
}

EditorCommand keystrokeCommand(int key, std::uint8_t mods) {
  const bool s = mods & modShift, c = mods & modCtrl, a = mods & modAlt;
  auto pick = [&](EditorCommand plain, EditorCommand shift, EditorCommand ctrl, EditorCommand ctrlShift) {
    if (a) return ecNone;
    if (c) return s ? ctrlShift : ctrl;
    return s ? shift : plain;
  };
  switch (key) {
    case keyUp: return pick(ecUp, ecSelUp, ecScrollUp, ecNone);
    case keyDown: return pick(ecDown, ecSelDown, ecScrollDown, ecNone);
    case keyLeft: return pick(ecLeft, ecSelLeft, ecWordLeft, ecSelWordLeft);
    case keyRight: return pick(ecRight, ecSelRight, ecWordRight, ecSelWordRight);
    case keyPageDown: return pick(ecPageDown, ecSelPageDown, ecPageBottom, ecSelPageBottom);
    case keyPageUp: return pick(ecPageUp, ecSelPageUp, ecPageTop, ecSelPageTop);
    case keyHome: return pick(ecLineStart, ecSelLineStart, ecEditorTop, ecSelEditorTop);
    case keyEnd: return pick(ecLineEnd, ecSelLineEnd, ecEditorBottom, ecSelEditorBottom);
    case keyInsert: return pick(ecToggleMode, ecPaste, ecCopy, ecNone);
    case keyDelete: return pick(ecDeleteChar, ecCut, ecNone, ecNone);
    case keyBackspace:
      if (a && !c) return s ? ecRedo : ecUndo;
      return pick(ecDeleteLastChar, ecNone, ecDeleteLastWord, ecNone);
    case keyEnter: return pick(ecLineBreak, ecNone, ecNone, ecNone);
    default: break;
  }
  if (a || !c) return ecNone;
  if (key >= '0' && key <= '9')
    return static_cast<EditorCommand>((s ? ecSetMarker0 : ecGotoMarker0) + (key - '0'));
  if (!s) {
    switch (key) {
      case 'A': return ecSelectAll;
      case 'C': return ecCopy;
      case 'M': return ecLineBreak;
      case 'N': return ecInsertLine;
      case 'T': return ecDeleteWord;
      case 'V': return ecPaste;
      case 'X': return ecCut;
      case 'Y': return ecDeleteLine;
      case 'Z': return ecUndo;
      default: return ecNone;
    }
  }
  switch (key) {
    case 'I': return ecBlockIndent;
    case 'U': return ecBlockUnindent;
    case 'Y': return ecDeleteEOL;
    case 'Z': return ecRedo;
    case 'N': return ecNormalSelect;
    case 'C': return ecColumnSelect;
    case 'L': return ecLineSelect;
    default: return ecNone;
  }
}

// ---- Caret steps

TextPos EditorModel::charLeft(TextPos pos) const {
  if (pos.column > 1) {
    const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
    auto i = static_cast<std::size_t>(pos.column - 2);
    if (i < t.size()) i = charStartAt(t, i);
    return {static_cast<int>(i) + 1, pos.line};
  }
  if (pos.line > 1) return lineEnd(pos.line - 1);
  return pos;
}

TextPos EditorModel::charRight(TextPos pos) const {
  const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
  auto i = static_cast<std::size_t>(pos.column - 1);
  if (i < t.size()) return {pos.column + static_cast<int>(cp950::charLength(t, i)), pos.line};
  return {pos.column + 1, pos.line};  // the caret may stand past the end
}

// Word moves: a word is a run of word characters; a double-byte character is
// never one (its second byte may look like a letter).
TextPos EditorModel::wordRight(TextPos pos) const {
  const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
  const CharSet& w = wordCharacters();
  auto i = static_cast<std::size_t>(pos.column - 1);
  if (i >= t.size()) return pos.line < lineCount() ? TextPos{1, pos.line + 1} : pos;
  auto isWord = [&](std::size_t k) { return cp950::charLength(t, k) == 1 && w.test(static_cast<unsigned char>(t[k])); };
  while (i < t.size() && isWord(i)) ++i;
  while (i < t.size() && !isWord(i)) i += cp950::charLength(t, i);
  return {static_cast<int>(i) + 1, pos.line};
}

TextPos EditorModel::wordLeft(TextPos pos) const {
  const std::string& t = m_lines[static_cast<std::size_t>(pos.line - 1)].text;
  const CharSet& w = wordCharacters();
  auto end = std::min(static_cast<std::size_t>(pos.column - 1), t.size());
  if (end == 0) return pos.line > 1 ? lineEnd(pos.line - 1) : pos;
  // The character starts before the caret, found in one walk from the line's start.
  std::vector<std::size_t> starts;
  for (std::size_t k = 0; k < end; k += cp950::charLength(t, k)) starts.push_back(k);
  auto isWordAt = [&](std::size_t k) { return cp950::charLength(t, k) == 1 && w.test(static_cast<unsigned char>(t[k])); };
  std::size_t n = starts.size();
  while (n > 0 && !isWordAt(starts[n - 1])) --n;
  while (n > 0 && isWordAt(starts[n - 1])) --n;
  return {n < starts.size() ? static_cast<int>(starts[n]) + 1 : static_cast<int>(end) + 1, pos.line};
}

// ---- Commands

void EditorModel::executeCommand(EditorCommand command) {
  if (m_readOnly && isEditingCommand(command)) return;
  if (command >= ecGotoMarker0 && command <= ecGotoMarker9) return gotoBookmark(command - ecGotoMarker0);
  if (command >= ecSetMarker0 && command <= ecSetMarker9) return commandSetMarker(command - ecSetMarker0);
  Op op(*this);
  switch (command) {
    case ecNone: return;
    case ecSelectAll: return selectAll();
    case ecDeleteChar: return commandDeleteChar();
    case ecDeleteLastChar: return commandDeleteLastChar();
    case ecDeleteWord: return commandDeleteWord(true);
    case ecDeleteLastWord: return commandDeleteWord(false);
    case ecDeleteLine: return commandDeleteLine();
    case ecDeleteEOL: return commandDeleteEOL();
    case ecLineBreak: return commandLineBreak(true);
    case ecInsertLine: return commandLineBreak(false);
    case ecBlockIndent: return commandBlockIndent(true);
    case ecBlockUnindent: return commandBlockIndent(false);
    case ecCut: return cutToClipboard();
    case ecCopy: return copyToClipboard();
    case ecPaste: return pasteFromClipboard();
    case ecUndo: return undo();
    case ecRedo: return redo();
    case ecToggleMode: return setInsertMode(!m_insertMode);
    case ecNormalSelect: return setSelectionMode(SelectionMode::Normal);
    case ecColumnSelect: return setSelectionMode(SelectionMode::Column);
    case ecLineSelect: return setSelectionMode(SelectionMode::Line);
    default: return moveCommand(command);
  }
}

void EditorModel::moveCommand(EditorCommand command) {
  const TextPos c = m_caret;
  bool sel = false;
  TextPos to = c;
  switch (command) {
    case ecSelLeft: sel = true; [[fallthrough]];
    case ecLeft: to = charLeft(c); break;
    case ecSelRight: sel = true; [[fallthrough]];
    case ecRight: to = charRight(c); break;
    case ecSelUp: sel = true; [[fallthrough]];
    case ecUp: to = {c.column, std::max(c.line - 1, 1)}; break;
    case ecSelDown: sel = true; [[fallthrough]];
    case ecDown: to = {c.column, std::min(c.line + 1, lineCount())}; break;
    case ecSelWordLeft: sel = true; [[fallthrough]];
    case ecWordLeft: to = wordLeft(c); break;
    case ecSelWordRight: sel = true; [[fallthrough]];
    case ecWordRight: to = wordRight(c); break;
    case ecSelLineStart: sel = true; [[fallthrough]];
    case ecLineStart: to = {1, c.line}; break;
    case ecSelLineEnd: sel = true; [[fallthrough]];
    case ecLineEnd: to = lineEnd(c.line); break;
    case ecSelEditorTop: sel = true; [[fallthrough]];
    case ecEditorTop: to = {1, 1}; break;
    case ecSelEditorBottom: sel = true; [[fallthrough]];
    case ecEditorBottom: to = lineEnd(lineCount()); break;
    default: return;
  }
  moveCaret(to, sel);
}

void EditorModel::commandDeleteChar() {
  const std::uint64_t group = newGroup();
  if (selAvail()) return deleteSelection(group);
  const TextPos c = m_caret;
  const int len = lineLength(c.line);
  if (c.column <= len) {
    recordedDelete(c, charRight(c), group);
  } else if (c.line < lineCount()) {
    recordedDelete(lineEnd(c.line), {1, c.line + 1}, group);
    collapseTo(clampToChar(c));
  }
}

void EditorModel::commandDeleteLastChar() {
  const std::uint64_t group = newGroup();
  if (selAvail()) return deleteSelection(group);
  const TextPos c = m_caret;
  const int len = lineLength(c.line);
  if (c.column > len + 1) {
    collapseTo({c.column - 1, c.line});  // past the end there is nothing to delete
  } else if (c.column > 1) {
    TextPos from = charLeft(c);
    recordedDelete(from, c, group);
    collapseTo(from);
  } else if (c.line > 1) {
    TextPos from = lineEnd(c.line - 1);
    recordedDelete(from, c, group);
    collapseTo(from);
  }
}

void EditorModel::commandDeleteWord(bool forward) {
  const std::uint64_t group = newGroup();
  if (selAvail()) return deleteSelection(group);
  const TextPos c = clampToChar({std::min(m_caret.column, lineLength(m_caret.line) + 1), m_caret.line});
  if (forward) {
    recordedDelete(c, wordRight(c), group);
    collapseTo(c);
  } else {
    TextPos from = wordLeft(c);
    recordedDelete(from, c, group);
    collapseTo(from);
  }
}

void EditorModel::commandDeleteLine() {
  const std::uint64_t group = newGroup();
  const int line = m_caret.line;
  TextPos b{1, line}, e{1, line};
  lineModeRange(b, e);
  recordedDelete(b, e, group);
  collapseTo(clampToChar({1, std::min(line, lineCount())}));
}

void EditorModel::commandDeleteEOL() {
  const TextPos c = m_caret;
  if (c.column <= lineLength(c.line)) recordedDelete(c, lineEnd(c.line), newGroup());
  collapseTo(c);
}

void EditorModel::commandLineBreak(bool moveCaretDown) {
  const std::uint64_t group = newGroup();
  if (selAvail()) deleteSelection(group);
  TextPos at = m_caret;
  at.column = std::min(at.column, lineLength(at.line) + 1);
  // Auto indent: the indentation of the nearest non-empty line above.
  std::string indent;
  for (int l = at.line; l >= 1; --l) {
    const std::string& t = m_lines[static_cast<std::size_t>(l - 1)].text;
    std::size_t n = std::min(t.find_first_not_of(" \t"), t.size());
    if (l == at.line) n = std::min(n, static_cast<std::size_t>(at.column - 1));
    if (t.empty() || (l == at.line && at.column == 1)) continue;
    indent = t.substr(0, n);
    break;
  }
  TextPos end = recordedInsert(at, "\r\n" + indent, group);
  collapseTo(moveCaretDown ? end : at);
}

void EditorModel::commandBlockIndent(bool indent) {
  const std::uint64_t group = newGroup();
  int first = selAvail() ? m_blockBegin.line : m_caret.line;
  int last = selAvail() ? m_blockEnd.line : m_caret.line;
  // A normal selection ending at column 1 does not take in its last line.
  if (selAvail() && m_selMode == SelectionMode::Normal && m_blockEnd.column == 1 && last > first) --last;
  std::vector<UndoItem::Piece> pieces;
  for (int l = first; l <= last; ++l) {
    const std::string& t = m_lines[static_cast<std::size_t>(l - 1)].text;
    if (indent) {
      pieces.push_back({l, 1, std::string(kIndentWidth, ' ')});
    } else {
      std::size_t n = 0;
      if (!t.empty() && t[0] == '\t')
        n = 1;
      else
        while (n < t.size() && n < static_cast<std::size_t>(kIndentWidth) && t[n] == ' ') ++n;
      if (n > 0) pieces.push_back({l, 1, t.substr(0, n)});
    }
  }
  if (pieces.empty()) return;
  auto shift = [&](TextPos p) {
    for (const auto& piece : pieces)
      if (piece.line == p.line) {
        int d = static_cast<int>(piece.text.size());
        p.column = indent ? p.column + d : std::max(1, p.column - d);
      }
    return p;
  };
  TextPos anchor = shift(m_anchor), caret = shift(m_caret);
  if (indent)
    insertPieces(pieces);
  else
    removePieces(pieces);
  recordPieces(indent ? UndoItem::Kind::Insert : UndoItem::Kind::Delete, std::move(pieces), 0, group);
  setBlock(clampToChar(anchor), clampToChar(caret));
}

}  // namespace vc
