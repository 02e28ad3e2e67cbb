// The checks of a translated text against its source, one row per rule, and
// the checks over a form: hotkeys shared by siblings, overflow by a layout.
#include <gtest/gtest.h>

#include "translation/TranslationChecks.h"

namespace vc {
namespace {

std::string found(std::string_view source, std::string_view translation, bool hotkeys = true) {
  std::string names;
  for (const TextProblem& p : compareTexts(source, translation, hotkeys))
    names += (names.empty() ? "" : " ") + std::string(checkName(p.check));
  return names;
}

TEST(TranslationChecks, TextRules) {
  struct Row {
    const char* source;
    const char* translation;
    const char* expected;
  };
  const Row rows[] = {
      // clean: hotkey moved behind the words, full-width marks, directives reordered by index
      {"&Open...", "開啟(&O)...", ""},
      {"&Name:", "名稱(&N)：", ""},
      {"Done.", "完成。", ""},
      {"Saving\u2026", "儲存中⋯", ""},
      {"%s of %d", "%1:d 之 %0:s", ""},
      {"Rock && Roll", "搖滾", ""},
      {"100%", "百分之百", ""},
      {"%d%%", "%d%%", ""},
      // hotkeys
      {"&Print", "列印", "hotkey-lost"},
      {"Print", "列印(&P)", "hotkey-added"},
      {"Rock && Roll", "搖滾(&R)", "hotkey-added"},
      // directives: kind, number, order of unindexed ones, "%%", a stray "%"
      {"'%s' is no date", "'%d' 不是日期", "placeholder"},
      {"%s: %d", "%s", "placeholder"},
      {"%s of %d", "%d 之 %s", "placeholder"},
      {"%-10.2f%%", "%-10.2f", "placeholder"},
      {"%d files", "%d 個檔案 100%", "placeholder"},
      {"Value", "值 %s", "placeholder"},
      // line breaks, blanks, closing marks
      {"one\ntwo", "一二", "line-breaks"},
      {" Name", "名稱", "whitespace"},
      {"Name ", "名稱\u3000", "whitespace"},
      {"Name:", "名稱", "punctuation"},
      {"Open", "開啟...", "punctuation"},
      {"Wait...", "請稍候。", "punctuation"},
  };
  for (const Row& r : rows) EXPECT_EQ(found(r.source, r.translation), r.expected) << r.source << " -> " << r.translation;
  // Texts that are no captions have no hotkeys to lose.
  EXPECT_EQ(found("&Print", "列印", false), "");
}

TEST(TranslationChecks, DirectivesCountArgumentsAsFormatDoes) {
  const auto ds = formatDirectives("%*.*f %1:s %s %");
  ASSERT_EQ(ds.size(), 4u);
  EXPECT_EQ(ds[0].starArguments, (std::vector<int>{0, 1}));
  EXPECT_EQ(ds[0].argument, 2);
  EXPECT_EQ(ds[1].argument, 1);
  EXPECT_EQ(ds[2].argument, 2);  // an unindexed one goes on behind the index
  EXPECT_EQ(ds[3].type, 0);      // a '%' that starts nothing
  EXPECT_EQ(hotkeyOf("a&&b&c"), U'C');
  EXPECT_EQ(hotkeyOf("a&&b"), std::nullopt);
  EXPECT_EQ(hotkeyOf("&выход"), U'В');  // Cyrillic letters compare case-blind too
  EXPECT_EQ(hotkeyOf("開啟(&ｏ)"), U'O');
}

ExchangeSource formSource(const std::string& text) { return formFileExchangeSource("T.dfm", text); }

PoEntry entry(std::string context, std::string msgid, std::string msgstr, std::size_t line) {
  PoEntry e;
  e.context = std::move(context);
  e.hasContext = true;
  e.msgid = std::move(msgid);
  e.msgstr = std::move(msgstr);
  e.line = line;
  return e;
}

TEST(TranslationChecks, FormHotkeysAndOverflow) {
  const ExchangeSource source = formSource(
      "object F: TF\n"
      "  object P: TPanel\n"
      "    object A: TButton\n      Caption = '&Print'\n    end\n"
      "    object B: TButton\n      Caption = '&Preview'\n    end\n"
      "  end\n"
      "  object C: TButton\n    Caption = 'P&aste'\n  end\n"
      "  object M: TMainMenu\n"
      "    object I1: TMenuItem\n      Caption = '&File'\n"
      "      object I2: TMenuItem\n        Caption = '&Open'\n      end\n"
      "    end\n"
      "    object I3: TMenuItem\n      Caption = '&Edit'\n    end\n"
      "  end\n"
      "end\n");
  const std::vector<PoEntry> entries = {
      entry("T.P.A.Caption", "&Print", "列印(&P)", 10), entry("T.P.B.Caption", "&Preview", "預覽(&P)", 14),
      entry("T.C.Caption", "P&aste", "貼上(&P)", 18),      // another parent: no clash
      entry("T.M.I3.Caption", "&Edit", "編輯(&F)", 22),    // clashes with the untranslated "&File"
      entry("T.M.I1.I2.Caption", "&Open", "開啟(&E)", 26),  // a lower menu level
  };
  CheckOptions options;
  // A layout that finds B too narrow once its text is translated.
  options.overflow = [](std::string_view stream) {
    return stream.find("&Preview") == std::string_view::npos ? std::vector<OverflowHit>{{"P.B", "TButton", 75}}
                                                             : std::vector<OverflowHit>{};
  };
  const auto problems = checkTranslation(source, entries, options);
  std::vector<std::string> lines;
  for (const CheckProblem& p : problems) lines.push_back(problemLine(p, "t.po"));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "t.po:10: hotkey-duplicate: \"&P\" is also the hotkey of T.P.B.Caption (\"預覽(&P)\")",
                       "t.po:14: hotkey-duplicate: \"&P\" is also the hotkey of T.P.A.Caption (\"列印(&P)\")",
                       "t.po:14: overflow: the text does not fit its control (TButton, 75 px wide)",
                       "t.po:22: hotkey-duplicate: \"&F\" is also the hotkey of T.M.I1.Caption (\"&File\")",
                   }));
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problemTsvLine(problems[3]),
            "T.M.I3.Caption\thotkey-duplicate\t\"&F\" is also the hotkey of T.M.I1.Caption (\"&File\")");
}

}  // namespace
}  // namespace vc
