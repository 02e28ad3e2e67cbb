#include <gtest/gtest.h>

#include "editor/highlight/HtmlHighlighter.h"
#include "tests/editor/model/TokenDump.h"

namespace vc {
namespace {

using test::scanLine;
using test::scanLines;

// Kinds: 0 Asp, 1 Comment, 2 Escape, 3 Identifier, 4 Reserved, 6 Space,
// 7 Symbol, 8 Text, 9 Unknown, 10 Value.

TEST(HtmlHighlighter, Tables) {
  EXPECT_EQ(HtmlHighlighter::entityCount(), 151u);
  EXPECT_EQ(HtmlHighlighter::tagCount(), 198u);
  for (const char* e : {"amp", "lt", "gt", "quot", "trade", "nbsp", "copy", "reg", "eacute", "Eacute"})
    EXPECT_TRUE(HtmlHighlighter::isEntityName(e)) << e;
  EXPECT_FALSE(HtmlHighlighter::isEntityName("AMP"));
  EXPECT_FALSE(HtmlHighlighter::isEntityName("bogus"));
  for (const char* t : {"B", "/B", "b", "/table", "!DOCTYPE", "!doctype", "H1", "/H6", "BR", "IMG"})
    EXPECT_TRUE(HtmlHighlighter::isTagName(t)) << t;
  EXPECT_FALSE(HtmlHighlighter::isTagName("/BR"));  // no closing form
  EXPECT_FALSE(HtmlHighlighter::isTagName("FOO"));
  EXPECT_FALSE(HtmlHighlighter::isTagName(""));
}

TEST(HtmlHighlighter, LetterSum) {
  EXPECT_EQ(HtmlHighlighter::letterSum("abc"), 6);
  EXPECT_EQ(HtmlHighlighter::letterSum("/B"), 124);
  EXPECT_EQ(HtmlHighlighter::letterSum("!A"), 124);
  EXPECT_EQ(HtmlHighlighter::letterSum("H12"), 8 + 1 + 2);
  EXPECT_EQ(HtmlHighlighter::letterSum("A1B"), 3);  // only trailing digits count
  EXPECT_EQ(HtmlHighlighter::letterSum("/BLOCKQUOTE"), 243);
}

TEST(HtmlHighlighter, TextAndEntities) {
  HtmlHighlighter h;
  EXPECT_EQ(scanLine(h, "a &amp; b"), "8:a  | 2:&amp; | 8: b");
  EXPECT_EQ(scanLine(h, "a & b &bogus; c"), "8:a & b &bogus; c");
  EXPECT_EQ(scanLine(h, "&lt;&gt;"), "2:&lt; | 2:&gt;");
  EXPECT_EQ(scanLine(h, "x\ty"), "8:x | 6:\t | 8:y");
  EXPECT_EQ(scanLine(h, "Caption = 'abc'"), "8:Caption = 'abc'");
  EXPECT_EQ(scanLine(h, "\xA4\xA4\xA4\xE5"), "8:\xA4\xA4\xA4\xE5");
}

TEST(HtmlHighlighter, Tags) {
  HtmlHighlighter h;
  EXPECT_EQ(scanLine(h, "<B>x</b>"), "7:< | 4:B | 7:> | 8:x | 7:< | 4:/b | 7:>");
  EXPECT_EQ(scanLine(h, "<font size=3 face=\"Arial\">"),
            "7:< | 4:font | 6:  | 3:size | 7:= | 10:3 | 6:  | 3:face | 7:= | 10:\"Arial\" | 7:>");
  EXPECT_EQ(scanLine(h, "<!DOCTYPE html>"), "7:< | 4:!DOCTYPE | 6:  | 3:html | 7:>");
  EXPECT_EQ(scanLine(h, "<foo>"), "7:< | 9:foo | 7:>");
  // A name whose letter sum passes 243 is an Identifier rather than unknown.
  EXPECT_EQ(scanLine(h, "<zzzzzzzzzz>"), "7:< | 3:zzzzzzzzzz | 7:>");
}

TEST(HtmlHighlighter, TagSpanningLines) {
  HtmlHighlighter h;
  auto t = scanLines(h, {"<a", "href='x'>y"});
  EXPECT_EQ(t[0], "7:< | 4:a");
  EXPECT_EQ(t[1], "3:href | 7:= | 10:'x' | 7:> | 8:y");
}

TEST(HtmlHighlighter, CommentAndAspSpanLines) {
  HtmlHighlighter h;
  auto t = scanLines(h, {"a<!-- one", "", "two --><b>", "<% x", "y %>z"});
  EXPECT_EQ(t[0], "8:a | 1:<!-- one");
  EXPECT_EQ(t[1], "");
  EXPECT_EQ(t[2], "1:two --> | 7:< | 4:b | 7:>");
  EXPECT_EQ(t[3], "0:<% x");
  EXPECT_EQ(t[4], "0:y %> | 8:z");
  EXPECT_EQ(h.rangeState(), HtmlHighlighter::rsText);
  h.setRangeState(HtmlHighlighter::rsComment);
  scanLine(h, "still <b> inside");
  EXPECT_EQ(h.rangeState(), HtmlHighlighter::rsComment);
}

TEST(HtmlHighlighter, WorkbenchColours) {
  HtmlHighlighter h;
  h.applyWorkbenchColours();
  ASSERT_EQ(h.attributeCount(), 10);
  EXPECT_EQ(h.attribute(0)->name(), "Asp");
  EXPECT_EQ(h.attribute(2)->name(), "Escape ampersand");
  EXPECT_EQ(h.TextAttri()->foreground(), Color::fromRgb(0x0000A0));
  EXPECT_EQ(h.SpaceAttri()->foreground(), Color::fromRgb(0x0000A0));
  EXPECT_EQ(h.KeyAttri()->foreground(), Color::fromRgb(0x004080));
  EXPECT_EQ(h.UndefKeyAttri()->foreground(), Color::fromRgb(0xFF0000));
  EXPECT_EQ(h.IdentifierAttri()->foreground(), Color::fromRgb(0xFF00FF));
  EXPECT_EQ(h.EscapeAttri()->foreground(), Color::fromRgb(0x00FF00));
  EXPECT_EQ(h.CommentAttri()->foreground(), Color::fromRgb(0x837150));
  EXPECT_EQ(h.AspAttri()->foreground(), Color::fromRgb(0x0080FF));
  EXPECT_FALSE(h.anyAttributeBold());
}

TEST(HtmlHighlighter, HostileBytesAlwaysProgress) {
  HtmlHighlighter h;
  std::string all;
  for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
  all += "<a b='c <!-- &amp";
  for (RangeState s = 0; s < 8; ++s) {
    test::expectTokensCoverLine(h, all, s);
  }
}

}  // namespace
}  // namespace vc
