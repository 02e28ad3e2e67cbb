#include <gtest/gtest.h>

#include "translation/StringExtraction.h"

using namespace vc;

namespace {

struct Example {
  const char* line;
  const char* name;
  const char* value;
};

// The lines a form text holds, and what each row shows.
const Example kExamples[] = {
    {"  Left = 127", "Left", "127"},
    {"  Caption = 'Hello'", "Caption", "Hello"},
    {"    Font.Style = [fsBold]", "Font.Style", "[fsBold]"},
    {"  Hint = ' Save '", "Hint", "Save"},
    {"  Caption = 'It''s'", "Caption", "It"},
    {"  Caption = 'abc'#13#10'def'", "Caption", "abc"},
    {"  Glyph.Data = {", "Glyph.Data", "{"},
    {"      'a=b'", "", "a=b"},
    {"  Caption =", "Caption", ""},                         // value on the next lines
    {"Left=3", "", "3"},                                    // no " =": no name
    {"\tTag\t = 5\r", "Tag", "5"},                          // tabs and CR trimmed
    {"  Text = 'unterminated", "Text", ""},                 // no second apostrophe
    {"  Caption = '\xa4\xa4\xa4\xe5'", "Caption", "\xa4\xa4\xa4\xe5"},  // Big5 bytes kept
    {"  Hint = '\xb4\xfa\xb8\xd5 ' ", "Hint", "\xb4\xfa\xb8\xd5"},
    {"  Items.Strings = ('x=1' 'y')", "Items.Strings", "x=1"},
};

}  // namespace

TEST(StringExtraction, ExamplesGiveTheirNameAndValue) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(e.line);
    EXPECT_EQ(extractedName(e.line), e.name);
    EXPECT_EQ(extractedValue(e.line), e.value);
  }
}

TEST(StringExtraction, ApostropheBeforeTheEqualsSignTakesTheFirstQuotedText) {
  // The value after "=" has no apostrophe, so it stands as it is.
  EXPECT_EQ(extractedValue("'q' Caption = 2"), "2");
  // Here it has one: the text between the line's first two apostrophes wins.
  EXPECT_EQ(extractedValue("'q' Caption = '2'"), "q");
  EXPECT_EQ(extractedName("'q' Caption = 2"), "'q' Caption");
}

TEST(StringExtraction, RowsFollowTheLinesThatHoldAnEqualsSign) {
  std::vector<std::string> lines = {
      "object Form1: TForm1",     // 1
      "  Left = 127",             // 2
      "  Caption = 'A'",          // 3
      "  object B: TButton",      // 4
      "    Caption = 'A'",        // 5
      "  end",                    // 6
      "  Items.Strings = (",      // 7
      "    'k=v')",               // 8
      "end",                      // 9
  };
  auto rows = extractStrings(lines);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].lineNumber, 2u);
  EXPECT_EQ(rows[1].lineNumber, 3u);
  EXPECT_EQ(rows[2].lineNumber, 5u);  // same name twice gives two rows
  EXPECT_EQ(rows[2].name, "Caption");
  EXPECT_EQ(rows[3].lineNumber, 7u);
  EXPECT_EQ(rows[3].value, "(");
  EXPECT_EQ(rows[4].lineNumber, 8u);
  EXPECT_EQ(rows[4].name, "");
  EXPECT_EQ(rows[4].value, "k=v");
}

TEST(StringExtraction, TextWithoutEqualsSignGivesNoRows) {
  EXPECT_TRUE(extractStrings(std::vector<std::string>{""}).empty());
  EXPECT_TRUE(extractStrings(std::vector<std::string>{"object A: TA", "end"}).empty());
  EXPECT_TRUE(extractStrings(0, [](std::size_t) { return std::string_view(); }).empty());
}

TEST(StringExtraction, SplitsAtEveryKindOfLineBreak) {
  EXPECT_EQ(splitTextLines(""), std::vector<std::string>{""});
  EXPECT_EQ(splitTextLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitTextLines("a\r\n"), std::vector<std::string>{"a"});
  EXPECT_EQ(splitTextLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(splitTextLines("\n"), std::vector<std::string>{""});
}
