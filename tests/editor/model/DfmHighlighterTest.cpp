#include <gtest/gtest.h>

#include "editor/highlight/DfmHighlighter.h"
#include "tests/editor/model/TokenDump.h"

namespace vc {
namespace {

using test::scanLine;
using test::scanLines;

struct TokenCase {
  const char* name;
  const char* line;
  const char* tokens;
};

class DfmTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(DfmTokens, ScansLine) {
  DfmHighlighter h;
  h.resetRangeState();
  EXPECT_EQ(scanLine(h, GetParam().line), GetParam().tokens);
  EXPECT_EQ(h.rangeState(), DfmHighlighter::rsOutside);
}

// Kinds: 0 Comment, 1 Identifier, 2 Key, 4 Number, 5 Space, 6 String, 7 Symbol, 8 Other.
INSTANTIATE_TEST_SUITE_P(
    Rules, DfmTokens,
    ::testing::Values(
        TokenCase{"Empty", "", ""},
        TokenCase{"EndThenDot", "end.", "2:end | 7:."},
        TokenCase{"EndPrefixIsIdentifier", "endpoint", "1:endpoint"},
        TokenCase{"EndedIsIdentifier", "Ended", "1:Ended"},
        TokenCase{"ObjectsIsIdentifier", "objects", "1:objects"},
        TokenCase{"UpperEnd", "END", "2:END"},
        TokenCase{"MixedObject", "Object", "2:Object"},
        TokenCase{"Inherited", "inherited", "1:inherited"},
        TokenCase{"ObjectHeader", "object Form1: TForm1", "2:object | 5:  | 1:Form1 | 8:: | 5:  | 1:TForm1"},
        TokenCase{"EndUnderscore", "end_", "1:end_"},
        TokenCase{"OneLetterE", "e", "1:e"},
        TokenCase{"Dotted", "Font.Name", "1:Font | 7:. | 1:Name"},
        TokenCase{"DoubledQuote", "'It''s'", "6:'It''s'"},
        TokenCase{"UnterminatedString", "'abc", "6:'abc"},
        TokenCase{"StringThenMore", "'a' + 'b'", "6:'a' | 5:  | 8:+ | 5:  | 6:'b'"},
        TokenCase{"CharCodes", "#13#10", "6:#13 | 6:#10"},
        TokenCase{"LoneHash", "#", "6:#"},
        TokenCase{"LoneDollar", "$", "4:$"},
        TokenCase{"HexThenIdentifier", "$FFx", "4:$FF | 1:x"},
        TokenCase{"Range", "1..5", "4:1 | 7:. | 7:. | 4:5"},
        TokenCase{"Negative", "-12", "8:- | 4:12"},
        TokenCase{"Float", "1.5E-3", "4:1. | 4:5E | 8:- | 4:3"},
        TokenCase{"Symbols", "(),./<=>[]", "7:( | 7:) | 7:, | 7:. | 7:/ | 7:< | 7:= | 7:> | 7:[ | 7:]"},
        TokenCase{"Others", "!\"%&*+-:;?@\\^~`|", "8:! | 8:\" | 8:% | 8:& | 8:* | 8:+ | 8:- | 8:: | 8:; | 8:? | 8:@ | 8:\\ | 8:^ | 8:~ | 8:` | 8:|"},
        TokenCase{"TabInSpaceRun", " \t x", "5: \t  | 1:x"},
        TokenCase{"CrLf", "a\r\nb", "1:a | 5:\r\n | 1:b"},
        TokenCase{"LoneLf", "a\n\nb", "1:a | 5:\n | 5:\n | 1:b"},
        TokenCase{"StrayClose", "}", "1:}"},
        TokenCase{"OneLineBlock", "Data = {0A0B}x", "1:Data | 5:  | 7:= | 5:  | 0:{0A0B} | 1:x"},
        TokenCase{"Big5OutsideQuotes", "\xA4\xA4x", "8:\xA4 | 8:\xA4 | 1:x"},
        TokenCase{"Big5InsideQuotes", "'\xA4\xA4\xA4\xE5'", "6:'\xA4\xA4\xA4\xE5'"},
        TokenCase{"DelIsOther", "\x7F", "8:\x7F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DfmHighlighter, NulInsideTheLineStopsTheScan) {
  DfmHighlighter h;
  std::string line("ab\0cd", 5);
  EXPECT_EQ(scanLine(h, line), "1:ab");
}

TEST(DfmHighlighter, BraceBlockAcrossLines) {
  DfmHighlighter h;
  auto t = scanLines(h, {"  Data = {0A0B", "  0C0D}", "  Left = 1"});
  EXPECT_EQ(t[0], "5:   | 1:Data | 5:  | 7:= | 5:  | 0:{0A0B");
  EXPECT_EQ(t[1], "0:  0C0D}");
  EXPECT_EQ(t[2], "5:   | 1:Left | 5:  | 7:= | 5:  | 4:1");
}

TEST(DfmHighlighter, RangeStateCarriesThroughEmptyAndClosesOnLeadingBrace) {
  DfmHighlighter h;
  h.setRangeState(DfmHighlighter::rsBraceBlock);
  h.startLine("", 0);
  EXPECT_TRUE(h.atLineEnd());
  EXPECT_EQ(h.rangeState(), DfmHighlighter::rsBraceBlock);
  EXPECT_EQ(scanLine(h, "}end"), "0:} | 2:end");
  EXPECT_EQ(h.rangeState(), DfmHighlighter::rsOutside);
  h.setRangeState(DfmHighlighter::rsBraceBlock);
  EXPECT_EQ(scanLine(h, "0A0B"), "0:0A0B");
  EXPECT_EQ(h.rangeState(), DfmHighlighter::rsBraceBlock);
}

TEST(DfmHighlighter, UnterminatedStringDoesNotCarry) {
  DfmHighlighter h;
  auto t = scanLines(h, {"'abc", "end"});
  EXPECT_EQ(t[1], "2:end");
}

TEST(DfmHighlighter, TokenStartsAndAttributes) {
  DfmHighlighter h;
  h.startLine("a = 'x'", 7);
  std::vector<int> starts;
  std::vector<HighlightAttributes*> attrs;
  while (!h.atLineEnd()) {
    starts.push_back(h.tokenStart());
    attrs.push_back(h.tokenAttributes());
    h.advance();
  }
  EXPECT_EQ(starts, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(attrs[0], h.IdentifierAttri());
  EXPECT_EQ(attrs[2], h.SymbolAttri());
  EXPECT_EQ(attrs[4], h.StringAttri());
  EXPECT_EQ(h.tokenKind(), DfmHighlighter::EndOfLine);
  EXPECT_EQ(h.tokenAttributes(), nullptr);
  h.startLine("-", 0);
  EXPECT_EQ(h.tokenAttributes(), h.IdentifierAttri());  // Other is drawn as Identifier
}

TEST(DfmHighlighter, AttributeSetsSortedWithCreationDefaults) {
  DfmHighlighter h;
  ASSERT_EQ(h.attributeCount(), 7);
  const char* names[] = {"Comment", "Identifier", "Key", "Number", "Space", "String", "Symbol"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(h.attribute(i)->name(), names[i]);
  EXPECT_EQ(h.CommentAttri()->style(), fsItalic);
  EXPECT_EQ(h.KeyAttri()->background(), Color::window());
  EXPECT_EQ(h.KeyAttri()->foreground(), Color::windowText());
  EXPECT_FALSE(h.anyAttributeBold());
  EXPECT_TRUE(h.wordCharacters().test('_'));
  EXPECT_FALSE(h.wordCharacters().test('-'));
  EXPECT_FALSE(h.wordCharacters().test(0xA4));
}

TEST(DfmHighlighter, WorkbenchColours) {
  DfmHighlighter h;
  h.applyWorkbenchColours();
  EXPECT_EQ(h.IdentifierAttri()->foreground(), Color::fromRgb(0x0000FF));
  EXPECT_EQ(h.KeyAttri()->foreground(), Color::fromRgb(0xFF0000));
  EXPECT_EQ(h.KeyAttri()->style(), fsBold);
  EXPECT_EQ(h.NumberAttri()->foreground(), Color::fromRgb(0xFF00FF));
  EXPECT_EQ(h.StringAttri()->foreground(), Color::fromRgb(0x008000));
  EXPECT_EQ(h.SpaceAttri()->foreground(), Color::windowText());
  EXPECT_EQ(h.SymbolAttri()->foreground(), Color::windowText());
  EXPECT_EQ(h.CommentAttri()->style(), fsItalic);
  EXPECT_TRUE(h.anyAttributeBold());
}

struct CountingClient : HighlighterClient {
  int calls = 0;
  void highlighterAttributesChanged() override { ++calls; }
};

TEST(DfmHighlighter, ChangeNotificationOnlyForRealChanges) {
  CountingClient a, b;  // outlive the highlighter, which tells them when it goes
  DfmHighlighter h;
  h.addClient(&a);
  h.addClient(&b);
  h.addClient(&a);  // registering twice is once
  h.KeyAttri()->setForeground(Color::fromRgb(0xFF0000));
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 1);
  h.KeyAttri()->setForeground(Color::fromRgb(0xFF0000));
  h.KeyAttri()->setStyle(0);
  h.KeyAttri()->setBackground(Color::window());
  EXPECT_EQ(a.calls, 1);
  h.removeClient(&b);
  h.KeyAttri()->setStyle(fsBold | fsUnderline);
  EXPECT_EQ(a.calls, 2);
  EXPECT_EQ(b.calls, 1);
}

TEST(DfmHighlighter, HostileBytesAlwaysProgress) {
  DfmHighlighter h;
  std::string all;
  for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
  for (RangeState s : {RangeState{0}, RangeState{1}, RangeState{77}}) {
    test::expectTokensCoverLine(h, all, s);
  }
}

}  // namespace
}  // namespace vc
