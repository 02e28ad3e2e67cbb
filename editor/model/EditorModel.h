#pragma once
// The text, caret, selection, undo history, bookmarks and highlighting state
// of one code editor, without any GUI.
//
// How a view uses it:
//  - Register an EditorModelClient with addClient(). The model calls it after
//    each change with the 0-based indexes of the lines whose text or start
//    range state changed, the lines inserted or deleted, and caret, selection,
//    bookmark and highlighter changes. Repaint only what it names;
//    textReset() and repaintAll() mean "everything". Inside beginUpdate() /
//    endUpdate() (replace all, and its undo and redo) line notifications
//    are held back and one repaintAll() follows.
//  - Which lines are shown is the view's: a LineWindow keeps the top line,
//    scrolls the caret into view and runs the page and scroll commands,
//    which this model ignores.
//  - Paint line i (0-based) by handing lineText(i) with lineRange(i) to the
//    highlighter in the order Highlighter.h describes (expanding tabs for
//    drawing is the view's business: see expandedColumn()).
//  - Turn keys into executeCommand() (keystrokeCommand() gives the binding),
//    typed characters into typeText(), mouse clicks into setCaret() /
//    setSelection(), a double click into selectWordAt(), a drag-move into
//    moveSelection(). Editing calls throw vc::Exception with a message for
//    text that cannot be stored (not representable in code page 950); the
//    text is unchanged when they do.
//  - OnChange and OnSelectionChange are the editor's events for the
//    workbench; the client interface is for painting. Each fires at most once
//    per operation (a replace-all or an undo of a group is one), after the
//    text and the caret are final.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/Highlighter.h"
#include "editor/model/Clipboard.h"
#include "editor/model/EditorCommand.h"
#include "editor/model/SearchOptions.h"
#include "editor/model/TextPos.h"
#include "editor/model/UndoList.h"

namespace vc {

class EditorModelClient {
 public:
  // Lines [first, first + count) (0-based) changed text or start range state.
  virtual void linesChanged(int /*first*/, int /*count*/) {}
  // count lines were inserted before index first; later lines moved down.
  virtual void linesInserted(int /*first*/, int /*count*/) {}
  // Lines [first, first + count) were removed; later lines moved up.
  virtual void linesDeleted(int /*first*/, int /*count*/) {}
  // The whole text was replaced (clear, load, set text).
  virtual void textReset() {}
  // Repaint everything (end of a suspended update).
  virtual void repaintAll() {}
  virtual void caretMoved() {}
  virtual void selectionChanged() {}
  virtual void bookmarksChanged() {}
  virtual void insertModeChanged() {}
  // Highlighter attached or one of its attribute sets changed: re-measure
  // the character cells (bold or not) and repaint.
  virtual void highlighterChanged() {}

 protected:
  ~EditorModelClient() = default;
};

class EditorModel : private HighlighterClient {
 public:
  static constexpr int kBookmarkCount = 10;
  static constexpr int kTabWidth = 8;
  static constexpr int kIndentWidth = 2;
  // The caret may stand past the end of a line, but not without bound.
  static constexpr int kMaxColumn = 1000000;

  explicit EditorModel(int maxUndo = 100);
  ~EditorModel();
  EditorModel(const EditorModel&) = delete;
  EditorModel& operator=(const EditorModel&) = delete;

  // ---- Lines (0-based indexes). Never empty: a cleared model has one line.
  // clear/loadFromBytes/setText put caret and selection at (1,1), empty both
  // undo lists and rescan; OnChange is not raised.
  void clear();
  void loadFromBytes(std::string_view bytes);  // CR LF, CR or LF line ends
  void setText(std::string_view bytes) { loadFromBytes(bytes); }
  std::string text() const;  // every line followed by CR LF
  int lineCount() const { return static_cast<int>(m_lines.size()); }
  const std::string& lineText(int index) const { return m_lines[static_cast<std::size_t>(index)].text; }
  int lineLength(int line1) const;  // by 1-based line, 0 outside the text
  // Replaces the text of line index (no line breaks kept: CR and LF are
  // dropped) without undo entry and without OnChange; rescans from there,
  // collapses the selection to the caret; the caret stays.
  void replaceLine(int index, std::string_view bytes);
  // Replaces lines [first, first + count) (0-based) by text (lines joined by
  // CR LF) as one recorded change that one undo takes back (putting the
  // caret at the first line); the caret stays where it was.
  void replaceLines(int first, int count, std::string_view text);

  bool readOnly() const { return m_readOnly; }
  void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

  // ---- Caret (1-based). The caret may stand past the end of its line; it
  // never stands on the second byte of a double-byte character.
  int caretColumn() const { return m_caret.column; }
  int caretLine() const { return m_caret.line; }
  TextPos caret() const { return m_caret; }
  // Line clamped to 1..lineCount, column to 1..kMaxColumn; OnSelectionChange
  // when the position changes. The selection collapses to the caret.
  void setCaret(int column, int line);
  // The same, but with extendSelection the selection reaches from its fixed
  // end to pos, as the selecting movement commands do.
  void moveCaret(TextPos pos, bool extendSelection);

  // ---- Selection, kept in text order.
  TextPos blockBegin() const { return m_blockBegin; }
  TextPos blockEnd() const { return m_blockEnd; }
  bool selAvail() const;
  SelectionMode selectionMode() const { return m_selMode; }
  void setSelectionMode(SelectionMode mode);
  // Selects from anchor to caretPos (either order) and puts the caret at
  // caretPos, as a mouse drag does.
  void setSelection(TextPos anchor, TextPos caretPos);
  // Selects the word at pos (by the word characters); nothing when none.
  void selectWordAt(TextPos pos);
  std::string selectedText() const;  // CP950, lines joined by CR LF
  void selectAll();

  bool insertMode() const { return m_insertMode; }
  void setInsertMode(bool insert);

  // ---- Undo.
  int maxUndo() const { return m_undo.maxEntries(); }
  void setMaxUndo(int max);
  bool canUndo() const { return !m_undo.empty(); }
  bool canRedo() const { return !m_redo.empty(); }
  void undo();
  void redo();
  void clearUndo();
  int undoEntryCount() const { return m_undo.size(); }

  // ---- Editing.
  // Inserts typed text at the caret, replacing the selection; in overwrite
  // mode a typed character replaces the character under the caret. Control
  // characters other than tab are dropped (keys come as commands). Throws
  // vc::Exception when the text cannot be represented in code page 950.
  void typeText(std::u16string_view text);
  // The same with CP950 bytes; throws when they end in half a character.
  void insertBytes(std::string_view bytes);
  // Page and scroll commands need the window's height: LineWindow runs them
  // and here they do nothing.
  void executeCommand(EditorCommand command);
  // Moves the selected text to pos as one undoable change.
  void moveSelection(TextPos pos);

  // ---- Clipboard. Without a clipboard the commands do nothing.
  void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }
  void cutToClipboard();
  void copyToClipboard();
  void pasteFromClipboard();  // throws when the text is not representable

  // ---- Bookmarks.
  void setBookmark(int n, int column, int line);
  void gotoBookmark(int n);
  void clearBookmark(int n);
  // The bookmark n, if set.
  std::optional<TextPos> bookmark(int n) const;
  // The bookmark lying on line (1-based), or -1.
  int bookmarkOnLine(int line) const;

  // ---- Highlighting.
  void setHighlighter(Highlighter* highlighter);
  Highlighter* highlighter() const { return m_highlighter; }
  // Range state at the start of line index (0-based).
  RangeState lineRange(int index) const { return m_lines[static_cast<std::size_t>(index)].range; }
  // The highlighter's word characters, or 0-9 A-Z _ a-z without one.
  const CharSet& wordCharacters() const;

  // ---- Search: returns the number of matches selected (and replaced). The
  // PromptReplace bit is not asked about: every match in scope is taken.
  // All replacements of one call are one undo entry, so a replace-all of any
  // size is taken back by one undo.
  int findReplace(std::string_view search, std::string_view replacement, SearchOptions options);

  // ---- Notifications.
  void setOnChange(std::function<void()> handler) { m_onChange = std::move(handler); }
  void setOnSelectionChange(std::function<void()> handler) { m_onSelectionChange = std::move(handler); }
  void addClient(EditorModelClient* client);
  void removeClient(EditorModelClient* client);
  void beginUpdate();
  void endUpdate();

  // ---- Tab expansion for drawing: display cell of a byte column and back.
  static int expandedColumn(std::string_view line, int column);
  static int columnAtExpanded(std::string_view line, int expanded);

 private:
  struct Line {
    std::string text;
    RangeState range = 0;
  };
  class Op;  // brackets a public operation: rescan and events at its end

  // Edit primitives; they keep bookmarks in place and mark lines for rescan.
  TextPos insertStream(TextPos at, std::string_view text);  // returns the end
  std::string deleteStream(TextPos begin, TextPos end);
  void insertPieces(const std::vector<UndoItem::Piece>& pieces);
  void removePieces(const std::vector<UndoItem::Piece>& pieces);
  void appendLines(int count);
  void dropLastLines(int count);

  // Recorded edits: undo entry, OnChange.
  void deleteSelection(std::uint64_t group);
  TextPos recordedInsert(TextPos at, std::string_view text, std::uint64_t group);
  void recordedDelete(TextPos begin, TextPos end, std::uint64_t group);
  void recordedColumnInsert(TextPos at, std::string_view text, std::uint64_t group);
  void recordPieces(UndoItem::Kind kind, std::vector<UndoItem::Piece> pieces, int addedLines,
                    std::uint64_t group);
  void pushUndo(UndoItem item);
  std::uint64_t newGroup() { return ++m_groupCounter; }
  void applyUndoItem(const UndoItem& item, bool undo);
  UndoItem startItem(UndoItem::Kind kind, std::uint64_t group) const;
  void insertEdited(std::string_view bytes, bool asColumns);
  // Replaces the matches of length searchLength at the given columns
  // (ascending, as in the line now) by replacement, adding them to item.
  void replaceInLine(int line, const std::vector<int>& columns, int searchLength, std::string_view replacement,
                     UndoItem& item);
  void applyReplacements(const UndoItem& item, bool undo);

  // Caret and selection helpers.
  TextPos clampToChar(TextPos pos) const;
  TextPos lineEnd(int line) const { return {lineLength(line) + 1, line}; }
  void collapseTo(TextPos pos);
  void setBlock(TextPos anchor, TextPos caretPos);
  TextPos charLeft(TextPos pos) const;
  TextPos charRight(TextPos pos) const;
  TextPos wordLeft(TextPos pos) const;
  TextPos wordRight(TextPos pos) const;
  // The stream range a line-mode selection stands for.
  void lineModeRange(TextPos& begin, TextPos& end) const;

  // Commands.
  void moveCommand(EditorCommand command);
  void commandLineBreak(bool moveCaret);
  void commandDeleteChar();
  void commandDeleteLastChar();
  void commandDeleteWord(bool forward);
  void commandDeleteLine();
  void commandDeleteEOL();
  void commandBlockIndent(bool indent);
  void commandSetMarker(int n);

  // Highlighting.
  void rescanAll();
  void markChanged(int first, int last);  // 0-based lines whose text changed
  void rescanPending();
  void highlighterAttributesChanged() override;
  void highlighterDestroyed() override;

  // Notifications.
  template <typename F> void notify(F f);
  void notifyLinesChanged(int first, int count);
  void notifyLinesInserted(int first, int count);
  void notifyLinesDeleted(int first, int count);
  void finishOp(TextPos oldCaret, TextPos oldBegin, TextPos oldEnd);

  std::vector<Line> m_lines;
  TextPos m_caret;
  TextPos m_anchor;  // the fixed end of the selection
  TextPos m_blockBegin, m_blockEnd;
  SelectionMode m_selMode = SelectionMode::Normal;
  bool m_insertMode = true;
  bool m_readOnly = false;
  UndoList m_undo;
  UndoList m_redo;
  std::uint64_t m_groupCounter = 0;
  bool m_inUndoRedo = false;
  std::array<std::optional<TextPos>, kBookmarkCount> m_bookmarks;
  Highlighter* m_highlighter = nullptr;
  Clipboard* m_clipboard = nullptr;
  std::u16string m_columnClip;  // what we last copied as a column block
  std::function<void()> m_onChange;
  std::function<void()> m_onSelectionChange;
  std::vector<EditorModelClient*> m_clients;
  int m_updateDepth = 0;
  bool m_updatePending = false;
  int m_opDepth = 0;
  bool m_changed = false;  // a change was recorded in the current operation
  int m_dirtyFirst = -1, m_dirtyLast = -1;  // lines to rescan
};

}  // namespace vc
