#include <gtest/gtest.h>

#include "formstream/Stream.h"
#include "formstream/TextToBinary.h"
#include "platform/Cp950.h"
#include "translation/StringExtraction.h"
#include "translation/StringRows.h"
#include "translation/WriteBack.h"

using namespace vc;

namespace {

std::vector<std::string> writeAll(std::vector<std::string> lines, const std::vector<WriteBackRow>& rows,
                                  std::vector<std::string>* messages = nullptr) {
  WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
  for (const WriteBackRow& row : rows)
    if (auto m = wb.write(row); !m && messages) messages->push_back(m.reason());
  return wb.lines();
}

}  // namespace

// A string row's value is its decoded text, written back quoted; any other
// value is written as it stands. The line keeps its indentation.
TEST(WriteBack, RebuildsTheLineOfEachKindOfProperty) {
  struct Row {
    std::string before;
    std::u16string value;
    std::string after;
  };
  const Row rows[] = {
      {"    Caption = 'Hello'", u"Hi", "    Caption = 'Hi'"},
      {"  Left = 127", u"140", "  Left = 140"},
      {"      Font.Height = -11", u"-12", "      Font.Height = -12"},  // as it stands
      {"  Font.Style = []", u"[fsBold]", "  Font.Style = [fsBold]"},
      {"    Hint = 'Save'", u"Store", "    Hint = 'Store'"},             // every string is quoted
      {"  TextHint = 'a'#13#10'b'", u"It's", "  TextHint = 'It''s'"},
      {"  Caption = 'a'", u"", "  Caption = ''"},
      {"  Caption = 'a'", u"a\tb\u0001\r\n", "  Caption = 'a'#9'b'#1#13#10"},
      {"\tFont.Name = 'Tahoma'", u"\u65B0\u7D30\u660E\u9AD4", "\tFont.Name = '\xB7s\xB2\xD3\xA9\xFA\xC5\xE9'"},
      {"  Caption = 'x'", u"K\u00F6rper's", "  Caption = 'K'#246'rper''s'"},  // Big5 has no \u00F6
      {"  Caption = 'x'", u"\u4E2D\u00F6", "  Caption = #20013#246"},
      {"  Caption = 'x'", u"\U0001F600", "  Caption = #55357#56832"},
      {"  Caption = 'x'", u"\u0080", "  Caption = #128"},  // encodes to 0x80, which decodes as no character
      {"  Caption =", u"short", "  Caption = 'short'"},  // the old value went on on the next line
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.before);
    std::vector<std::string> lines{"object F: TF", r.before, "    'old'", "end"};
    if (r.before.back() != '=') lines.erase(lines.begin() + 2);
    WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
    WriteBackRow row{2, extractedName(r.before), std::nullopt};
    row.modifiedText = r.value;
    EXPECT_TRUE(wb.write(row));
    const std::vector<std::string> after = wb.lines();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1], r.after);
    // A string reads back as the text it was given.
    if (isStringRow(3, [&](std::size_t i) { return std::string_view(after[i]); }, 1))
      EXPECT_EQ(stringRowValue(3, [&](std::size_t i) { return std::string_view(after[i]); }, 1), r.value);
  }
}

// Writing back the value a line holds leaves the text as it is, whatever
// the line looks like.
TEST(WriteBack, AnUnchangedValueLeavesItsLines) {
  const std::vector<std::string> text = {
      "object F: TF",
      " Caption =",
      "   'K'#246'rper' + ",
      "      'berechnung'",
      "\tLeft =  127 ",
      "  Hint = '\xA4\xA4'#13#10'x'",
      "end",
  };
  WriteBack wb(text.size(), [&](std::size_t i) { return std::string_view(text[i]); });
  EXPECT_TRUE(wb.write({2, "Caption", std::nullopt, false, u"K\u00F6rperberechnung"}));
  EXPECT_TRUE(wb.write({5, "Left", std::string("127")}));
  EXPECT_TRUE(wb.write({6, "Hint", std::string("\xA4\xA4\r\nx")}));
  EXPECT_FALSE(wb.changed());
}

TEST(WriteBack, AContinuedValueIsReplacedWholeAndLaterRowsKeepTheirLines) {
  const std::vector<std::string> text = {
      "object F: TF",            // 1
      "  Caption =",             // 2
      "    'first part ' +",     // 3
      "    'second part'",       // 4
      "  Hint = 'a'  \t",        // 5
      "    + 'b'",               // 6: a "+" opening the line joins it too
      "  Left = 3",              // 7
      "end",                     // 8
  };
  std::vector<std::string> lines = text;
  WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
  EXPECT_TRUE(wb.write({2, "Caption", std::string("New")}));
  EXPECT_TRUE(wb.write({7, "Left", std::string("4")}));        // named by its line as given
  EXPECT_FALSE(wb.write({3, "Caption", std::string("x")}));      // removed with the old value
  EXPECT_TRUE(wb.write({5, "Hint", std::string("c")}));
  EXPECT_EQ(wb.lines(), (std::vector<std::string>{"object F: TF", "  Caption = 'New'", "  Hint = 'c'",
                                                  "  Left = 4", "end"}));
  EXPECT_EQ(wb.firstChanged(), 1u);
  EXPECT_EQ(wb.changedCount(), 6u);
  EXPECT_EQ(wb.changedLines(), (std::vector<std::string>{"  Caption = 'New'", "  Hint = 'c'", "  Left = 4"}));
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
      {{10, "Font.Height", std::nullopt, false, u"\u00E9"}, "第 10 行的 Font.Height 含有無法以 Big5 碼表示的字元"},
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
      {{"  Caption = 'Fun'#231#227'o'"}, u"Fun\u00E7\u00E3o"},  // codes of a wide string
      {{"  Caption = '\xA4\xA4'#13"}, u"\u4E2D\r"},
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

TEST(WriteBack, StringRowValueRefusesBrokenLiterals) {
  struct Case {
    std::vector<std::string> lines;
    std::optional<std::u16string> value;
  };
  const Case cases[] = {
      {{"  Caption = 'a'", "    + 'b'", "  Left = 1"}, u"ab"},
      {{"  Caption = 'open"}, std::nullopt},
      {{"  Caption = 'a' x"}, std::nullopt},
      {{"  Caption = 'a' +"}, std::nullopt},
      {{"  Left = 1"}, std::nullopt},
  };
  for (const Case& c : cases) {
    auto at = [&](std::size_t i) { return std::string_view(c.lines[i]); };
    EXPECT_EQ(stringRowValue(c.lines.size(), at, 0), c.value) << c.lines[0];
  }
}

// A hint typed as plain text used to be written unquoted: the text still
// converted, reading it as an identifier, and the program failed at start-up.
TEST(WriteBack, APlainTextHintConvertsAsTheString) {
  const std::vector<std::string> text = {"object F: TF", "  TextHint = 'Name'", "end"};
  WriteBack wb(text.size(), [&](std::size_t i) { return std::string_view(text[i]); });
  EXPECT_TRUE(wb.write({2, "TextHint", std::string("Type a name")}));
  std::string joined;
  for (const std::string& line : wb.lines()) joined += line + "\r\n";
  TReadOnlyMemoryStream in(joined);
  TMemoryStream out;
  ASSERT_NO_THROW(TextToBinary(in, out));
  EXPECT_NE(out.data().find(std::string("\x08TextHint\x06\x0BType a name", 21)), std::string::npos);
}
