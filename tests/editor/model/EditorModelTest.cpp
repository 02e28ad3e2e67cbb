#include <gtest/gtest.h>

#include "editor/highlight/DfmHighlighter.h"
#include "editor/model/EditorModel.h"

namespace vc {
namespace {

struct Events {
  int change = 0;
  int selection = 0;
  void attach(EditorModel& m) {
    m.setOnChange([this] { ++change; });
    m.setOnSelectionChange([this] { ++selection; });
  }
};

struct RecordingClient : EditorModelClient {
  std::vector<std::string> log;
  void linesChanged(int f, int c) override { log.push_back("changed " + std::to_string(f) + "+" + std::to_string(c)); }
  void linesInserted(int f, int c) override { log.push_back("inserted " + std::to_string(f) + "+" + std::to_string(c)); }
  void linesDeleted(int f, int c) override { log.push_back("deleted " + std::to_string(f) + "+" + std::to_string(c)); }
  void textReset() override { log.push_back("reset"); }
  void repaintAll() override { log.push_back("all"); }
  void highlighterChanged() override { log.push_back("highlighter"); }
  bool has(const std::string& s) const { return std::find(log.begin(), log.end(), s) != log.end(); }
};

TEST(EditorLines, LoadAcceptsEveryLineEndAndWritesCrLf) {
  EditorModel m;
  EXPECT_EQ(m.lineCount(), 1);
  EXPECT_EQ(m.lineText(0), "");
  m.loadFromBytes("a\r\nb\rc\nd");
  ASSERT_EQ(m.lineCount(), 4);
  EXPECT_EQ(m.lineText(3), "d");
  EXPECT_EQ(m.text(), "a\r\nb\r\nc\r\nd\r\n");
  m.loadFromBytes("a\r\n");
  EXPECT_EQ(m.lineCount(), 1);
  m.loadFromBytes("a\n\n");
  EXPECT_EQ(m.lineCount(), 2);
  EXPECT_EQ(m.text(), "a\r\n\r\n");
  m.clear();
  EXPECT_EQ(m.lineCount(), 1);
  EXPECT_EQ(m.text(), "\r\n");
}

TEST(EditorLines, LoadResetsStateWithoutOnChange) {
  EditorModel m;
  Events ev;
  ev.attach(m);
  m.loadFromBytes("one\r\ntwo\r\nthree");
  m.setCaret(3, 2);
  m.typeText(u"x");
  ASSERT_TRUE(m.canUndo());
  int changes = ev.change;
  m.loadFromBytes("new\r\ntext");
  EXPECT_EQ(ev.change, changes);
  EXPECT_FALSE(m.canUndo());
  EXPECT_FALSE(m.canRedo());
  EXPECT_EQ(m.caret(), (TextPos{1, 1}));
  EXPECT_FALSE(m.selAvail());
}

TEST(EditorLines, ReplaceLineHasNoUndoNoOnChangeAndCollapsesSelection) {
  EditorModel m;
  Events ev;
  ev.attach(m);
  m.loadFromBytes("  Caption = 'a'\r\n  Left = 1");
  m.setSelection({1, 1}, {5, 2});
  int selections = ev.selection;
  m.replaceLine(0, "  Caption = 'b'");
  EXPECT_EQ(m.lineText(0), "  Caption = 'b'");
  EXPECT_FALSE(m.canUndo());
  EXPECT_EQ(ev.change, 0);
  EXPECT_FALSE(m.selAvail());
  EXPECT_EQ(m.caret(), (TextPos{5, 2}));
  EXPECT_GT(ev.selection, selections);
  m.replaceLine(5, "ignored");
  m.replaceLine(-1, "ignored");
  EXPECT_EQ(m.lineCount(), 2);
}

TEST(EditorCaret, SetCaretClampsAndReportsOnlyRealMoves) {
  EditorModel m;
  Events ev;
  ev.attach(m);
  m.loadFromBytes("abc\r\ndef");
  m.setCaret(10, 99);
  EXPECT_EQ(m.caret(), (TextPos{10, 2}));  // past the end of the line is allowed
  EXPECT_EQ(ev.selection, 1);
  m.setCaret(10, 2);
  EXPECT_EQ(ev.selection, 1);
  m.setCaret(-3, 0);
  EXPECT_EQ(m.caret(), (TextPos{1, 1}));
}

TEST(EditorBookmarks, SetMovesAndReplaces) {
  EditorModel m;
  m.loadFromBytes("a\r\nb\r\nc\r\nd");
  m.setBookmark(5, 1, 2);
  m.setBookmark(3, 2, 2);  // takes the line from bookmark 5
  EXPECT_FALSE(m.bookmark(5));
  EXPECT_EQ(m.bookmark(3), (TextPos{2, 2}));
  m.setBookmark(3, 1, 4);  // moves
  EXPECT_EQ(m.bookmarkOnLine(2), -1);
  EXPECT_EQ(m.bookmarkOnLine(4), 3);
  m.setBookmark(10, 1, 1);
  m.setBookmark(1, 1, 5);
  EXPECT_FALSE(m.bookmark(1));
  m.gotoBookmark(3);
  EXPECT_EQ(m.caret(), (TextPos{1, 4}));
}

TEST(EditorBookmarks, SetMarkerTogglesAndMenuSetDoesNot) {
  EditorModel m;
  m.loadFromBytes("a\r\nb\r\nc");
  m.setCaret(1, 2);
  m.executeCommand(ecSetMarker3);
  EXPECT_EQ(m.bookmarkOnLine(2), 3);
  m.executeCommand(ecSetMarker3);
  EXPECT_FALSE(m.bookmark(3));
  m.setBookmark(3, 1, 2);
  m.setBookmark(3, 1, 2);
  EXPECT_EQ(m.bookmarkOnLine(2), 3);
  m.setCaret(1, 3);
  m.executeCommand(ecSetMarker3);  // elsewhere: moves it
  EXPECT_EQ(m.bookmarkOnLine(3), 3);
  m.setCaret(1, 1);
  m.executeCommand(ecGotoMarker3);
  EXPECT_EQ(m.caretLine(), 3);
}

TEST(EditorBookmarks, GotoBeyondTheTextDoesNothingAndEditsShiftThem) {
  EditorModel m;
  m.loadFromBytes("a\r\nb\r\nc\r\nd");
  m.setBookmark(1, 1, 4);
  m.setBookmark(2, 1, 3);
  m.setCaret(2, 1);
  m.executeCommand(ecLineBreak);
  EXPECT_EQ(m.bookmark(1)->line, 5);
  m.executeCommand(ecUndo);
  EXPECT_EQ(m.bookmark(1)->line, 4);
  m.loadFromBytes("short");
  m.setCaret(1, 1);
  m.gotoBookmark(1);
  EXPECT_EQ(m.caret(), (TextPos{1, 1}));
}

TEST(EditorHighlighting, FullAndIncrementalRescan) {
  DfmHighlighter h;
  EditorModel m;
  m.setHighlighter(&h);
  m.loadFromBytes("object A\r\n  Data = {00\r\n  11\r\n  22}\r\nend");
  EXPECT_EQ(m.lineRange(0), 0u);
  EXPECT_EQ(m.lineRange(2), 1u);
  EXPECT_EQ(m.lineRange(3), 1u);
  EXPECT_EQ(m.lineRange(4), 0u);
  RecordingClient view;
  m.addClient(&view);
  // Closing the block early changes the states of the lines below.
  m.setCaret(12, 2);
  m.typeText(u"}");
  EXPECT_EQ(m.lineRange(2), 0u);
  EXPECT_EQ(m.lineRange(3), 0u);
  EXPECT_TRUE(view.has("changed 1+1"));
  EXPECT_TRUE(view.has("changed 2+2"));
  view.log.clear();
  // An edit that leaves the next state alone stops at once.
  m.setCaret(1, 1);
  m.typeText(u"x");
  EXPECT_EQ(view.log, (std::vector<std::string>{"changed 0+1"}));
  m.removeClient(&view);
}

TEST(EditorHighlighting, ReplaceLineRescansAndAttributeChangesReachTheView) {
  DfmHighlighter h;
  EditorModel m;
  m.loadFromBytes("a\r\nb\r\nc");
  RecordingClient view;
  m.addClient(&view);
  m.setHighlighter(&h);
  EXPECT_TRUE(view.has("highlighter"));
  m.replaceLine(0, "x = {");
  EXPECT_EQ(m.lineRange(1), 1u);
  EXPECT_EQ(m.lineRange(2), 1u);
  view.log.clear();
  h.KeyAttri()->setStyle(fsBold);
  EXPECT_TRUE(view.has("highlighter"));
  m.setHighlighter(nullptr);
  view.log.clear();
  h.KeyAttri()->setStyle(0);
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(m.lineRange(1), 0u);
}

TEST(EditorTabs, ExpandedColumns) {
  EXPECT_EQ(EditorModel::expandedColumn("a\tb", 1), 1);
  EXPECT_EQ(EditorModel::expandedColumn("a\tb", 2), 2);
  EXPECT_EQ(EditorModel::expandedColumn("a\tb", 3), 9);
  EXPECT_EQ(EditorModel::expandedColumn("a\tb", 6), 12);
  EXPECT_EQ(EditorModel::columnAtExpanded("a\tb", 5), 2);
  EXPECT_EQ(EditorModel::columnAtExpanded("a\tb", 9), 3);
  EXPECT_EQ(EditorModel::columnAtExpanded("a\tb", 12), 6);
  EXPECT_EQ(EditorModel::expandedColumn("", 1000000000), 1000000000);
}

TEST(EditorKeys, KeyTable) {
  EXPECT_EQ(keystrokeCommand(keyLeft, modCtrl | modShift), ecSelWordLeft);
  EXPECT_EQ(keystrokeCommand(keyPageDown, modCtrl), ecPageBottom);
  EXPECT_EQ(keystrokeCommand(keyInsert, modShift), ecPaste);
  EXPECT_EQ(keystrokeCommand(keyDelete, modShift), ecCut);
  EXPECT_EQ(keystrokeCommand(keyBackspace, modAlt), ecUndo);
  EXPECT_EQ(keystrokeCommand(keyBackspace, modAlt | modShift), ecRedo);
  EXPECT_EQ(keystrokeCommand('3', modCtrl | modShift), ecSetMarker3);
  EXPECT_EQ(keystrokeCommand('7', modCtrl), ecGotoMarker7);
  EXPECT_EQ(keystrokeCommand('M', modCtrl), ecLineBreak);
  EXPECT_EQ(keystrokeCommand('Y', modCtrl), ecDeleteLine);
  EXPECT_EQ(keystrokeCommand('Y', modCtrl | modShift), ecDeleteEOL);
  EXPECT_EQ(keystrokeCommand('L', modCtrl | modShift), ecLineSelect);
  EXPECT_EQ(keystrokeCommand('Q', modCtrl), ecNone);
  EXPECT_EQ(keystrokeCommand('A', 0), ecNone);
  EXPECT_EQ(keystrokeCommand(keyUp, modCtrl | modShift), ecNone);
}

}  // namespace
}  // namespace vc

namespace vc {
namespace {

TEST(EditorEvents, SelectionChangeOncePerMoveAndNoneForStill) {
  EditorModel m;
  int selections = 0, changes = 0;
  m.setOnSelectionChange([&] { ++selections; });
  m.setOnChange([&] { ++changes; });
  m.loadFromBytes("abc\r\ndef");
  selections = 0;
  m.executeCommand(ecRight);
  m.executeCommand(ecSelDown);
  EXPECT_EQ(selections, 2);
  m.executeCommand(ecEditorTop);
  m.executeCommand(ecEditorTop);
  EXPECT_EQ(selections, 3);
  EXPECT_EQ(changes, 0);
  m.typeText(u"x");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(selections, 4);
  m.executeCommand(ecCopy);  // no clipboard, no selection: nothing
  EXPECT_EQ(changes, 1);
}

TEST(EditorHighlighting, HighlighterGoingAwayIsForgotten) {
  EditorModel m;
  {
    DfmHighlighter h;
    m.setHighlighter(&h);
    m.loadFromBytes("a = {\r\nb");
    EXPECT_EQ(m.lineRange(1), 1u);
  }
  EXPECT_EQ(m.highlighter(), nullptr);
  EXPECT_EQ(m.lineRange(1), 0u);
}

}  // namespace
}  // namespace vc
