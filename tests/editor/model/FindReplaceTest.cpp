#include <gtest/gtest.h>

#include "editor/model/EditorModel.h"
#include "editor/model/SearchMatcher.h"

namespace vc {
namespace {

std::vector<int> matches(std::string_view pattern, std::string_view line, bool matchCase = true,
                         bool wholeWord = false) {
  SearchMatcher m(pattern, matchCase, wholeWord);
  std::vector<int> out;
  m.findAll(line, out);
  return out;
}

TEST(SearchMatcher, NonOverlappingMatches) {
  EXPECT_EQ(matches("aa", "aaaa"), (std::vector<int>{0, 2}));
  EXPECT_EQ(matches("aa", "aaa"), (std::vector<int>{0}));
  EXPECT_EQ(matches("ab", "xxabxxab"), (std::vector<int>{2, 6}));
  EXPECT_TRUE(matches("abc", "ab").empty());
  EXPECT_TRUE(matches("", "abc").empty());
}

TEST(SearchMatcher, CaseFolding) {
  EXPECT_EQ(matches("abc", "ABC aBc abc", false), (std::vector<int>{0, 4, 8}));
  EXPECT_EQ(matches("ABC", "ABC aBc abc", true), (std::vector<int>{0}));
}

TEST(SearchMatcher, WholeWord) {
  EXPECT_EQ(matches("Name", "Font_Name", true, true), (std::vector<int>{5}));
  EXPECT_EQ(matches("Name", "Name=", true, true), (std::vector<int>{0}));
  EXPECT_TRUE(matches("Name", "NameX", true, true).empty());
  EXPECT_TRUE(matches("Name", "xName", true, true).empty());
}

TEST(SearchMatcher, Big5CharactersAreNeverSplit) {
  // 人 is A4 48: its second byte is 'H'. 中 is A4 A4.
  const std::string ren = "\xA4\x48";
  EXPECT_TRUE(matches("H", ren).empty());
  EXPECT_TRUE(matches("h", ren, false).empty());
  EXPECT_EQ(matches("H", ren + "H"), (std::vector<int>{2}));
  // A pattern that would start on a second byte: "\xA4\xA4" inside 中中 at offset 1.
  EXPECT_EQ(matches("\xA4\xA4", "\xA4\xA4\xA4\xA4"), (std::vector<int>{0, 2}));
  EXPECT_EQ(matches("\xA4\xA4", "x\xA4\x48\xA4\xA4"), (std::vector<int>{3}));
  // A lone lead byte as a pattern never ends inside a character.
  EXPECT_TRUE(matches("\xA4", "\xA4\xA4").empty());
  // Case folding leaves the second byte alone: 人 (A4 48) does not match A4 68.
  EXPECT_TRUE(matches(ren, "\xA4\x68", false).empty());
  EXPECT_EQ(matches(ren, ren, false), (std::vector<int>{0}));
  // Whole word: the second byte of the character before is not a letter.
  EXPECT_EQ(matches("ab", ren + "ab", true, true), (std::vector<int>{2}));
}

struct Fixture : ::testing::Test {
  EditorModel m;
  std::string sel() const { return m.selectedText(); }
};

using FindReplace = Fixture;

TEST_F(FindReplace, EmptySearchDoesNothing) {
  m.loadFromBytes("abc");
  EXPECT_EQ(m.findReplace("", "x", ReplaceAll | WholeScope), 0);
  EXPECT_EQ(m.lineText(0), "abc");
}

TEST_F(FindReplace, RepeatedSearchWalksDownThenStays) {
  m.loadFromBytes("ab ab\r\nab");
  EXPECT_EQ(m.findReplace("ab", "ab", 0), 1);
  EXPECT_EQ(m.caret(), (TextPos{3, 1}));
  EXPECT_EQ(m.findReplace("ab", "ab", 0), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  EXPECT_EQ(m.findReplace("ab", "ab", 0), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 2}));
  EXPECT_EQ(m.findReplace("ab", "ab", 0), 0);
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 2}));  // the last match stays selected
  EXPECT_EQ(sel(), "ab");
}

TEST_F(FindReplace, BackwardWalksUpLeavingTheCaretAtTheStart) {
  m.loadFromBytes("ab ab\r\nab");
  m.setCaret(3, 2);
  EXPECT_EQ(m.findReplace("ab", "", Backward), 1);
  EXPECT_EQ(m.caret(), (TextPos{1, 2}));
  EXPECT_EQ(m.findReplace("ab", "", Backward), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  EXPECT_EQ(m.caret(), (TextPos{4, 1}));
  EXPECT_EQ(m.findReplace("ab", "", Backward), 1);
  EXPECT_EQ(m.caret(), (TextPos{1, 1}));
  EXPECT_EQ(m.findReplace("ab", "", Backward), 0);
}

TEST_F(FindReplace, WholeScopeFindsTheFirstOrTheLast) {
  m.loadFromBytes("ab ab\r\nab");
  m.setCaret(1, 2);
  EXPECT_EQ(m.findReplace("ab", "", WholeScope), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 1}));
  EXPECT_EQ(m.findReplace("ab", "", WholeScope), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 1}));
  EXPECT_EQ(m.findReplace("ab", "", WholeScope | Backward), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{1, 2}));
}

TEST_F(FindReplace, SelectionOnlyScope) {
  m.loadFromBytes("ab ab ab");
  // Without a selection it behaves as the whole text from the caret.
  m.setCaret(2, 1);
  EXPECT_EQ(m.findReplace("ab", "", SelectionOnly), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  m.setSelection({3, 1}, {9, 1});
  EXPECT_EQ(m.findReplace("ab", "", SelectionOnly), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  // The scope has become the match: the same match again.
  EXPECT_EQ(m.findReplace("ab", "", SelectionOnly), 1);
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
  EXPECT_EQ(m.blockEnd(), (TextPos{6, 1}));
}

TEST_F(FindReplace, SelectionModesShapeTheScope) {
  m.loadFromBytes("xab ab\r\nab xab");
  m.setSelectionMode(SelectionMode::Column);
  m.setSelection({2, 1}, {4, 2});  // columns 2..4 on both lines
  EXPECT_EQ(m.findReplace("ab", "Z", SelectionOnly | ReplaceAll), 1);
  EXPECT_EQ(m.text(), "xZ ab\r\nab xab\r\n");
  m.setSelectionMode(SelectionMode::Line);
  m.setSelection({3, 2}, {4, 2});
  EXPECT_EQ(m.findReplace("ab", "Q", SelectionOnly | ReplaceAll), 2);
  EXPECT_EQ(m.text(), "xZ ab\r\nQ xQ\r\n");
}

TEST_F(FindReplace, ReplaceOneMovesOn) {
  m.loadFromBytes("a a a");
  EXPECT_EQ(m.findReplace("a", "bb", ReplaceOne), 1);
  EXPECT_EQ(m.lineText(0), "bb a a");
  EXPECT_EQ(m.caret(), (TextPos{3, 1}));
  EXPECT_FALSE(m.selAvail());
  EXPECT_EQ(m.findReplace("a", "bb", ReplaceOne), 1);
  EXPECT_EQ(m.lineText(0), "bb bb a");
}

TEST_F(FindReplace, ReplaceAllFromCaretOrWholeScope) {
  m.loadFromBytes("ab ab\r\nab ab");
  m.setCaret(3, 1);
  EXPECT_EQ(m.findReplace("ab", "xyz", ReplaceAll), 3);
  EXPECT_EQ(m.text(), "ab xyz\r\nxyz xyz\r\n");
  m.loadFromBytes("ab ab\r\nab ab");
  m.setCaret(3, 1);
  EXPECT_EQ(m.findReplace("ab", "xyz", ReplaceAll | WholeScope), 4);
  EXPECT_EQ(m.text(), "xyz xyz\r\nxyz xyz\r\n");
}

TEST_F(FindReplace, ReplacementContainingTheSearchTextIsNotRepeated) {
  m.loadFromBytes("a a\r\na");
  EXPECT_EQ(m.findReplace("a", "aa", ReplaceAll | WholeScope), 3);
  EXPECT_EQ(m.text(), "aa aa\r\naa\r\n");
  EXPECT_EQ(m.findReplace("a", "", ReplaceAll | WholeScope), 6);
  EXPECT_EQ(m.text(), " \r\n\r\n");
}

TEST_F(FindReplace, OneReplacementIsOneUndo) {
  m.loadFromBytes("ab ab");
  m.setCaret(2, 1);
  EXPECT_EQ(m.findReplace("ab", "c", ReplaceOne), 1);
  EXPECT_EQ(m.undoEntryCount(), 1);
  m.undo();
  EXPECT_EQ(m.lineText(0), "ab ab");
  EXPECT_EQ(sel(), "ab");  // the replaced match is selected again
  EXPECT_EQ(m.blockBegin(), (TextPos{4, 1}));
}

// However many matches a replace-all takes, one undo gives the text back and
// one redo replaces them again, in either direction and with replacements
// longer, shorter or empty.
TEST_F(FindReplace, ReplaceAllIsOneUndoOfAnySize) {
  struct Row {
    const char* search;
    const char* replacement;
    SearchOptions options;
  };
  const Row rows[] = {{"a", "bb", WholeScope},        {"ab", "", WholeScope},
                      {"ab", "xyz", WholeScope | Backward}, {"a", "\xA4\xA4", Backward},
                      {"ab", "a", 0}};
  std::string text;
  for (int i = 0; i < 150; ++i) text += i % 7 == 6 ? "aab ab\r\n" : "ab a ";
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.search) + " -> " + r.replacement);
    int changes = 0;
    m.setOnChange([&] { ++changes; });
    m.loadFromBytes(text);
    const std::string original = m.text();
    m.setCaret(3, 4);
    const int n = m.findReplace(r.search, r.replacement, r.options | ReplaceAll);
    EXPECT_GT(n, 40);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m.undoEntryCount(), 1);
    const std::string replaced = m.text();
    m.undo();
    EXPECT_EQ(m.text(), original);
    EXPECT_FALSE(m.canUndo());
    m.redo();
    EXPECT_EQ(m.text(), replaced);
    EXPECT_EQ(changes, 3);
  }
}

TEST_F(FindReplace, CaseFoldingAndWholeWordOptions) {
  m.loadFromBytes("Name NameX ABC aBc");
  EXPECT_EQ(m.findReplace("name", "", ReplaceAll | WholeScope | WholeWord | MatchCase), 0);
  EXPECT_EQ(m.findReplace("NAME", "", WholeScope | WholeWord), 1);
  EXPECT_EQ(m.findReplace("abc", "x", ReplaceAll | WholeScope), 2);
  EXPECT_EQ(m.lineText(0), "Name NameX x x");
}

TEST_F(FindReplace, Big5TextSurvivesReplaceAll) {
  // 人 (A4 48) holds 'H'; 許 (B3 5C) holds '\'.
  const std::string text = "\xA4\x48H\xB3\x5C\\";
  m.loadFromBytes(text);
  EXPECT_EQ(m.findReplace("h", "k", ReplaceAll | WholeScope), 1);
  EXPECT_EQ(m.findReplace("\\", "/", ReplaceAll | WholeScope), 1);
  EXPECT_EQ(m.lineText(0), "\xA4\x48k\xB3\x5C/");
}

TEST_F(FindReplace, ReadOnlyRefusesReplacement) {
  m.loadFromBytes("ab");
  m.setReadOnly(true);
  EXPECT_EQ(m.findReplace("ab", "x", ReplaceAll | WholeScope), 0);
  EXPECT_EQ(m.findReplace("ab", "x", WholeScope), 1);
  EXPECT_EQ(m.lineText(0), "ab");
}

}  // namespace
}  // namespace vc
