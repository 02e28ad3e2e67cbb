#include <gtest/gtest.h>

#include "editor/model/EditorModel.h"
#include "platform/Exception.h"

namespace vc {
namespace {

// "中文" in CP950; the second byte of 許 (B3 5C) is a backslash and that of
// 功 (A5 5C) too; 作 (A7 40) has '@'; 人 (A4 48) has 'H'.
const std::string kZhong = "\xA4\xA4";
const std::string kWen = "\xA4\xE5";
const std::string kRen = "\xA4\x48";

TEST(EditorUndo, BoundedAtMaxUndo) {
  EditorModel m(100);
  int changes = 0;
  m.setOnChange([&] { ++changes; });
  for (int i = 0; i < 101; ++i) m.typeText(u"x");
  EXPECT_EQ(changes, 101);
  EXPECT_EQ(m.undoEntryCount(), 100);
  int undone = 0;
  while (m.canUndo()) {
    m.undo();
    ++undone;
  }
  EXPECT_EQ(undone, 100);
  EXPECT_EQ(m.lineText(0), "x");
  EXPECT_EQ(changes, 201);
  while (m.canRedo()) m.redo();
  EXPECT_EQ(m.lineText(0), std::string(101, 'x'));
}

TEST(EditorUndo, MaxUndoZeroKeepsNothing) {
  EditorModel m(0);
  m.typeText(u"abc");
  m.executeCommand(ecDeleteLastChar);
  EXPECT_FALSE(m.canUndo());
  m.undo();
  EXPECT_EQ(m.lineText(0), "ab");
}

TEST(EditorUndo, TypingOverASelectionIsOneUndo) {
  EditorModel m;
  m.loadFromBytes("hello world");
  m.setSelection({1, 1}, {6, 1});
  m.typeText(u"bye");
  EXPECT_EQ(m.lineText(0), "bye world");
  EXPECT_EQ(m.undoEntryCount(), 2);
  m.undo();
  EXPECT_EQ(m.lineText(0), "hello world");
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 1}));
  EXPECT_EQ(m.blockEnd(), (TextPos{6, 1}));
  m.redo();
  EXPECT_EQ(m.lineText(0), "bye world");
  EXPECT_EQ(m.caret(), (TextPos{4, 1}));
}

TEST(EditorUndo, NewEditClearsRedo) {
  EditorModel m;
  m.typeText(u"a");
  m.undo();
  EXPECT_TRUE(m.canRedo());
  m.typeText(u"b");
  EXPECT_FALSE(m.canRedo());
}

TEST(EditorTyping, PastTheEndFillsWithBlanksAndUndoRemovesThem) {
  EditorModel m;
  m.loadFromBytes("ab");
  m.setCaret(5, 1);
  m.typeText(u"x");
  EXPECT_EQ(m.lineText(0), "ab  x");
  m.undo();
  EXPECT_EQ(m.lineText(0), "ab");
}

TEST(EditorTyping, OverwriteReplacesWholeCharacters) {
  EditorModel m;
  m.loadFromBytes(kZhong + "ab");
  m.executeCommand(ecToggleMode);
  EXPECT_FALSE(m.insertMode());
  m.typeText(u"x");
  EXPECT_EQ(m.lineText(0), "xab");
  m.typeText(u"\u4E2D");  // two bytes overwrite "ab"
  EXPECT_EQ(m.lineText(0), "x" + kZhong);
}

TEST(EditorTyping, UnrepresentableTextIsRefused) {
  EditorModel m;
  m.loadFromBytes("abc");
  m.setCaret(2, 1);
  try {
    m.typeText(u"x\U0001F600");
    FAIL() << "no refusal";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("Big5"), std::string::npos);
  }
  EXPECT_EQ(m.lineText(0), "abc");
  EXPECT_FALSE(m.canUndo());
  EXPECT_THROW(m.insertBytes("x\xA4"), Exception);  // ends in half a character
  EXPECT_EQ(m.lineText(0), "abc");
  m.typeText(u"\u4E2D");
  EXPECT_EQ(m.lineText(0), "a" + kZhong + "bc");
}

TEST(EditorBig5, CaretStepsOverDoubleByteCharacters) {
  EditorModel m;
  m.loadFromBytes("a" + kZhong + kRen + "b");
  m.executeCommand(ecRight);
  m.executeCommand(ecRight);
  EXPECT_EQ(m.caretColumn(), 4);
  m.executeCommand(ecRight);
  EXPECT_EQ(m.caretColumn(), 6);
  m.executeCommand(ecLeft);
  EXPECT_EQ(m.caretColumn(), 4);
  m.setCaret(3, 1);  // on a second byte: snaps to the character's start
  EXPECT_EQ(m.caretColumn(), 2);
  m.executeCommand(ecSelRight);
  EXPECT_EQ(m.selectedText(), kZhong);
}

TEST(EditorBig5, DeleteAndBackspaceRemoveWholeCharacters) {
  EditorModel m;
  m.loadFromBytes("a" + kZhong + kRen + "b");
  m.setCaret(2, 1);
  m.executeCommand(ecDeleteChar);
  EXPECT_EQ(m.lineText(0), "a" + kRen + "b");
  m.setCaret(4, 1);
  m.executeCommand(ecDeleteLastChar);
  EXPECT_EQ(m.lineText(0), "ab");
  m.undo();
  m.undo();
  EXPECT_EQ(m.lineText(0), "a" + kZhong + kRen + "b");
}

TEST(EditorBig5, VerticalMovesLandOnCharacterStarts) {
  EditorModel m;
  m.loadFromBytes("abcd\r\n" + kZhong + kWen);
  m.setCaret(2, 1);
  m.executeCommand(ecDown);
  EXPECT_EQ(m.caret(), (TextPos{1, 2}));
  m.typeText(u"x");
  EXPECT_EQ(m.lineText(1), "x" + kZhong + kWen);
}

TEST(EditorBig5, WordMovesTreatTrailLettersAsPartOfTheCharacter) {
  EditorModel m;
  m.loadFromBytes("ab" + kRen + "cd ef");
  m.executeCommand(ecWordRight);
  EXPECT_EQ(m.caretColumn(), 5);  // after "ab" and the Big5 character
  m.executeCommand(ecWordRight);
  EXPECT_EQ(m.caretColumn(), 8);
  m.executeCommand(ecWordLeft);
  EXPECT_EQ(m.caretColumn(), 5);
  m.executeCommand(ecWordLeft);
  EXPECT_EQ(m.caretColumn(), 1);
}

TEST(EditorCommands, LineBreakWithAutoIndent) {
  EditorModel m;
  m.loadFromBytes("object A\r\n    Left = 1\r\n");
  m.setCaret(13, 2);
  m.executeCommand(ecLineBreak);
  EXPECT_EQ(m.lineText(2), "    ");
  EXPECT_EQ(m.caret(), (TextPos{5, 3}));
  m.undo();
  EXPECT_EQ(m.lineCount(), 2);
  m.setCaret(9, 1);
  m.executeCommand(ecInsertLine);
  EXPECT_EQ(m.lineCount(), 3);
  EXPECT_EQ(m.caret(), (TextPos{9, 1}));
}

TEST(EditorCommands, Deletions) {
  EditorModel m;
  m.loadFromBytes("one two three\r\nfour\r\nfive");
  m.setCaret(5, 1);
  m.executeCommand(ecDeleteWord);
  EXPECT_EQ(m.lineText(0), "one three");
  m.executeCommand(ecDeleteLastWord);
  EXPECT_EQ(m.lineText(0), "three");
  m.executeCommand(ecDeleteEOL);
  EXPECT_EQ(m.lineText(0), "");
  m.setCaret(1, 2);
  m.executeCommand(ecDeleteLine);
  EXPECT_EQ(m.text(), "\r\nfive\r\n");
  m.setCaret(1, 2);
  m.executeCommand(ecDeleteLine);
  EXPECT_EQ(m.text(), "\r\n");
  m.executeCommand(ecDeleteLine);
  EXPECT_EQ(m.lineCount(), 1);
  m.loadFromBytes("ab\r\ncd");
  m.setCaret(3, 1);
  m.executeCommand(ecDeleteChar);
  EXPECT_EQ(m.text(), "abcd\r\n");
  m.setCaret(3, 1);
  m.executeCommand(ecDeleteChar);
  m.executeCommand(ecDeleteLastChar);
  EXPECT_EQ(m.lineText(0), "ad");
  m.setCaret(1, 1);
  m.executeCommand(ecDeleteLastChar);  // nothing before the start
  m.executeCommand(ecEditorBottom);
  m.executeCommand(ecDeleteChar);  // nothing after the end
  EXPECT_EQ(m.lineText(0), "ad");
}

TEST(EditorCommands, BlockIndentAndUnindent) {
  EditorModel m;
  m.loadFromBytes("a\r\n b\r\nc");
  m.setSelection({1, 1}, {2, 2});
  m.executeCommand(ecBlockIndent);
  EXPECT_EQ(m.text(), "  a\r\n   b\r\nc\r\n");
  m.executeCommand(ecBlockUnindent);
  m.executeCommand(ecBlockUnindent);
  EXPECT_EQ(m.text(), "a\r\nb\r\nc\r\n");
  m.undo();
  m.undo();
  EXPECT_EQ(m.text(), "  a\r\n   b\r\nc\r\n");
}

TEST(EditorSelection, ModesCopyAndDelete) {
  MemoryClipboard clip;
  EditorModel m;
  m.setClipboard(&clip);
  m.loadFromBytes("abcdef\r\nghijkl\r\nmnopqr");
  m.setSelection({2, 1}, {4, 2});
  EXPECT_EQ(m.selectedText(), "bcdef\r\nghi");
  m.executeCommand(ecColumnSelect);
  EXPECT_EQ(m.selectedText(), "bc\r\nhi");
  m.executeCommand(ecLineSelect);
  EXPECT_EQ(m.selectedText(), "abcdef\r\nghijkl\r\n");
  m.executeCommand(ecCut);
  EXPECT_EQ(m.text(), "mnopqr\r\n");
  EXPECT_EQ(clip.text(), u"abcdef\r\nghijkl\r\n");
  m.undo();
  EXPECT_EQ(m.lineCount(), 3);
  m.executeCommand(ecColumnSelect);
  m.setSelection({2, 1}, {4, 3});
  m.executeCommand(ecCut);
  EXPECT_EQ(m.text(), "adef\r\ngjkl\r\nmpqr\r\n");
  m.setCaret(1, 1);
  m.executeCommand(ecPaste);  // pasted back as a column
  EXPECT_EQ(m.text(), "bcadef\r\nhigjkl\r\nnompqr\r\n");
  m.undo();
  m.undo();
  EXPECT_EQ(m.text(), "abcdef\r\nghijkl\r\nmnopqr\r\n");
}

TEST(EditorSelection, ColumnSelectionNeverSplitsACharacter) {
  EditorModel m;
  m.loadFromBytes("ab" + kZhong + "cd\r\na" + kZhong + kWen);
  m.setSelectionMode(SelectionMode::Column);
  m.setSelection({3, 1}, {4, 2});
  EXPECT_EQ(m.selectedText(), kZhong + "\r\n" + kZhong);
  m.executeCommand(ecDeleteChar);
  EXPECT_EQ(m.lineText(0), "abcd");
  EXPECT_EQ(m.lineText(1), "a" + kWen);
}

TEST(EditorClipboard, PasteRefusesUnrepresentableAndReadOnlyIgnoresEdits) {
  MemoryClipboard clip;
  EditorModel m;
  m.setClipboard(&clip);
  m.loadFromBytes("abc");
  clip.setText(u"\u0E01\u4E2D");  // Thai has no CP950 form
  EXPECT_THROW(m.pasteFromClipboard(), Exception);
  clip.setText(std::u16string(1, char16_t(0xDCA4)));  // a lone lead byte
  EXPECT_THROW(m.pasteFromClipboard(), Exception);
  EXPECT_EQ(m.lineText(0), "abc");
  clip.setText(u"\u4E2D\r\nx");
  m.setCaret(2, 1);
  m.pasteFromClipboard();
  EXPECT_EQ(m.text(), "a" + kZhong + "\r\nxbc\r\n");
  EXPECT_EQ(m.caret(), (TextPos{2, 2}));
  m.setReadOnly(true);
  m.selectAll();
  m.executeCommand(ecCut);
  m.executeCommand(ecDeleteChar);
  m.typeText(u"z");
  m.undo();
  EXPECT_EQ(m.text(), "a" + kZhong + "\r\nxbc\r\n");
  m.executeCommand(ecCopy);
  EXPECT_EQ(clip.text(), u"a\u4E2D\r\nxbc");
}

TEST(EditorSelection, SelectAllAndWords) {
  EditorModel m;
  m.loadFromBytes("Font.Name = x\r\nend");
  m.selectAll();
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 1}));
  EXPECT_EQ(m.blockEnd(), (TextPos{4, 2}));
  EXPECT_EQ(m.caret(), (TextPos{4, 2}));
  m.selectWordAt({7, 1});
  EXPECT_EQ(m.selectedText(), "Name");
}

TEST(EditorSelection, MoveSelectionIsOneUndo) {
  EditorModel m;
  m.loadFromBytes("abc def");
  m.setSelection({1, 1}, {4, 1});
  m.moveSelection({8, 1});
  EXPECT_EQ(m.lineText(0), " defabc");
  EXPECT_EQ(m.selectedText(), "abc");
  m.undo();
  EXPECT_EQ(m.lineText(0), "abc def");
}

}  // namespace
}  // namespace vc
