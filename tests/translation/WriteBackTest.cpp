#include <gtest/gtest.h>

#include "platform/Cp950.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"

using namespace vc;

namespace {

struct Rebuild {
  const char* name;
  const char* modified;
  const char* line;  // nullptr: refused with the number conversion's message
};

const Rebuild kRebuilds[] = {
    {"Caption", "Hi", "    Caption = 'Hi'"},
    {"Left", "140", "    Left = 140"},
    {"Font.Height", "9", "    Font.Height = 12"},
    {"Font.Height", "-15", "    Font.Height = -12"},
    {"Font.Style", "[fsBold]", "    Font.Style = [fsBold]"},
    {"Hint", "Store", "    Hint = Store"},                       // other strings stay verbatim
    {"Caption", "It's", "    Caption = 'It''s'"},                 // apostrophes doubled
    {"Caption", "", "    Caption = ''"},
    {"Caption", "a\tb\x01", "    Caption = 'a'#9'b'#1"},        // control bytes as # codes
    {"Caption", "\xa4\xa4'\xa4\xe5", "    Caption = '\xa4\xa4''\xa4\xe5'"},
    {"Font.Height", "9.5", nullptr},
    {"Font.Height", "", nullptr},
    {"Font.Height", "2147483645", nullptr},                    // +3 leaves the integers
};

std::vector<std::string> writeAll(std::vector<std::string> lines, const std::vector<WriteBackRow>& rows,
                                  std::vector<std::string>* messages = nullptr) {
  WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
  for (const WriteBackRow& row : rows)
    if (auto m = wb.write(row); m && messages) messages->push_back(*m);
  return wb.lines();
}

}  // namespace

TEST(WriteBack, RebuildsTheLineOfEachKindOfProperty) {
  for (const Rebuild& r : kRebuilds) {
    SCOPED_TRACE(std::string(r.name) + " = " + r.modified);
    if (r.line) {
      EXPECT_EQ(rebuiltLine(r.name, r.modified), r.line);
      // A rebuilt caption reads back as the value it was given.
      if (std::string_view(r.name) == "Caption") {
        std::vector<std::string> lines{rebuiltLine(r.name, r.modified)};
        EXPECT_EQ(wholeValue(1, [&](std::size_t) { return std::string_view(lines[0]); }, 0),
                  cp950::decode(r.modified));
      }
    } else {
      try {
        rebuiltLine(r.name, r.modified);
        ADD_FAILURE() << "accepted";
      } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(r.modified) + "' is not a valid integer value");
      }
    }
  }
}

TEST(WriteBack, AContinuedValueIsReplacedWholeAndLaterRowsKeepTheirLines) {
  const std::vector<std::string> text = {
      "object F: TF",            // 1
      "  Caption =",             // 2
      "    'first part ' +",     // 3
      "    'second part'",       // 4
      "  Hint = 'a' +  \t",      // 5
      "    'b'",                 // 6
      "  Left = 3",              // 7
      "end",                     // 8
  };
  std::vector<std::string> lines = text;
  WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
  EXPECT_FALSE(wb.write({2, "Caption", std::string("New")}));
  EXPECT_FALSE(wb.write({7, "Left", std::string("4")}));        // named by its line as given
  EXPECT_TRUE(wb.write({3, "Caption", std::string("x")}));      // removed with the old value
  EXPECT_FALSE(wb.write({5, "Hint", std::string("'c'")}));
  EXPECT_EQ(wb.lines(), (std::vector<std::string>{"object F: TF", "    Caption = 'New'", "    Hint = 'c'",
                                                  "    Left = 4", "end"}));
  EXPECT_EQ(wb.firstChanged(), 1u);
  EXPECT_EQ(wb.changedCount(), 6u);
  EXPECT_EQ(wb.changedLines(), (std::vector<std::string>{"    Caption = 'New'", "    Hint = 'c'", "    Left = 4"}));
  const std::size_t after[] = {0, 1, 2, 0, 0, 3, 0, 4, 5, 0};
  for (std::size_t n = 0; n <= 9; ++n) EXPECT_EQ(wb.lineAfter(n), after[n]) << n;
}

TEST(WriteBack, RowsThatCannotBeWrittenLeaveTheTextAndSayWhy) {
  const std::vector<std::string> text = {
      "object F: TF",              // 1
      "  Left = 1",                // 2
      "  Items.Strings = (",       // 3
      "    'a')",                  // 4
      "  Glyph.Data = {",          // 5
      "    00}",                   // 6
      "  Columns = <",             // 7
      "    item end>",             // 8
      "  Lines.Strings = ('x' 'y')",  // 9
      "  Font.Height = -11",       // 10
      "    'k=v'",                 // 11
      "end",
  };
  struct Case {
    WriteBackRow row;
    const char* says;
  };
  const Case cases[] = {
      {{2, "Left", std::nullopt}, "第 2 行的 Left 沒有修改後的值"},
      {{11, "", std::string("v")}, "第 11 行沒有屬性名稱"},
      {{0, "Left", std::string("5")}, "第 0 行不在文字中"},
      {{13, "Left", std::string("5")}, "第 13 行不在文字中"},
      {{2, "Top", std::string("5")}, "第 2 行已不是 Top 屬性"},
      {{3, "Items.Strings", std::string("x")}, "清單、集合或二進位資料"},
      {{5, "Glyph.Data", std::string("x")}, "清單、集合或二進位資料"},
      {{7, "Columns", std::string("x")}, "清單、集合或二進位資料"},
      {{9, "Lines.Strings", std::string("x")}, "清單、集合或二進位資料"},
      {{10, "Font.Height", std::string("big")}, "'big' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> messages;
    EXPECT_EQ(writeAll(text, {c.row}, &messages), text) << c.says;
    ASSERT_EQ(messages.size(), 1u) << c.says;
    EXPECT_NE(messages[0].find(c.says), std::string::npos) << messages[0];
  }
}

TEST(WriteBack, WholeValueJoinsPiecesCodesAndContinuationLines) {
  struct Case {
    std::vector<std::string> lines;
    std::u16string whole;
  };
  const Case cases[] = {
      {{"  Caption = 'abc'#13#10'def'"}, u"abc\r\ndef"},
      {{"  Caption =", "    'ab' +", "    'c''d'", "  Left = 1"}, u"abc'd"},
      {{"  Caption = '\xa4\xa4\xa4\xe5' +", "  '!'"}, u"中文!"},
      {{"  Caption = #20013#25991'x'"}, u"中文x"},
      {{"  Left = 127  "}, u"127"},
      {{"  Items.Strings = (", "    'a')"}, u"("},
      {{"  Caption = 'open"}, u"open"},
      {{"no equals sign"}, u""},
  };
  for (const Case& c : cases) {
    auto at = [&](std::size_t i) { return std::string_view(c.lines[i]); };
    EXPECT_EQ(wholeValue(c.lines.size(), at, 0), c.whole) << c.lines[0];
  }
  std::vector<std::string> longValue{"  Caption = '" + std::string(100, 'x') + "'"};
  EXPECT_EQ(wholeValue(1, [&](std::size_t) { return std::string_view(longValue[0]); }, 0, 10),
            std::u16string(10, u'x') + u"\u2026");
}
