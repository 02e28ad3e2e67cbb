// The source code page of strings: the charset in force along ParentFont,
// the same from form text and from the binary stream, on real Simplified
// Chinese, Russian and Big5 programs; and translations written into a
// Simplified Chinese program's forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "formstream/BinaryToText.h"
#include "formstream/FormStrings.h"
#include "formstream/TFiler.h"
#include "formstream/TextToBinary.h"
#include "platform/CodePages.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "translation/ChineseConversion.h"
#include "translation/PoExchange.h"
#include "translation/SourceCodePage.h"
#include "translation/StringExtraction.h"

using namespace vc;
namespace fs = std::filesystem;

namespace {

std::string binary(const std::string& text) {
  TReadOnlyMemoryStream in(text);
  TMemoryStream out;
  TextToBinary(in, out);
  return out.takeData();
}

std::string textOf(std::string_view stream) {
  TReadOnlyMemoryStream in(stream);
  TMemoryStream out;
  BinaryToText(in, out);
  return out.takeData();
}

// Font properties follow the strings they govern, as the designer writes them.
const std::string kForm =
    "object Form1: TForm1\r\n"
    "  Caption = 'a'\r\n"                        // 2: the form's GB2312
    "  Font.Charset = GB2312_CHARSET\r\n"
    "  Font.Name = 'SimSun'\r\n"
    "  object Label1: TLabel\r\n"
    "    Caption = 'b'\r\n"                      // 6: inherited
    "  end\r\n"
    "  object Label2: TLabel\r\n"
    "    Caption = 'c'\r\n"                      // 9: its own RUSSIAN
    "    Font.Charset = RUSSIAN_CHARSET\r\n"
    "    ParentFont = False\r\n"
    "  end\r\n"
    "  object Panel1: TPanel\r\n"
    "    Caption = 'd'\r\n"                      // 14: its own DEFAULT: the ANSI code page
    "    Font.Charset = DEFAULT_CHARSET\r\n"
    "    ParentFont = False\r\n"
    "    object Button1: TButton\r\n"
    "      Caption = 'e'\r\n"                    // 18: inherited from Panel1
    "    end\r\n"
    "    object Grid1: TDBGrid\r\n"
    "      Hint = 'f'\r\n"                       // 21: a font of its own, but ParentFont True
    "      Font.Charset = SHIFTJIS_CHARSET\r\n"
    "      ParentFont = True\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

struct PageRow {
  int ansi;
  std::size_t line;
  int codePage;
};

TEST(SourceCodePageTest, CharsetInForceAlongParentFontFromTextAndStream) {
  const std::vector<PageRow> rows{{950, 2, 936},  {950, 6, 936},   {950, 9, 1251},  {950, 14, 950},
                                  {950, 18, 950}, {950, 21, 950}, {1252, 14, 1252}, {1252, 18, 1252}};
  const std::vector<std::string> lines = splitTextLines(kForm);
  const std::string stream = binary(kForm);
  const std::vector<FormString> strings = readFormStrings(stream);
  for (const PageRow& r : rows) {
    SCOPED_TRACE("line " + std::to_string(r.line) + ", ANSI " + std::to_string(r.ansi));
    const SourceCodePageOptions options{r.ansi};
    EXPECT_EQ(lineCodePages(lines, options)[r.line - 1], r.codePage);
    const FormFonts fonts = readFormFonts(stream, options);
    auto s = std::find_if(strings.begin(), strings.end(), [&](const FormString& f) { return f.line == r.line; });
    ASSERT_NE(s, strings.end());
    EXPECT_EQ(fonts.at(s->begin).codePage, r.codePage);
  }
}

const fs::path kCorpus = VC_CORPUS_DIR;

bool nonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

struct CorpusRow {
  const char* module;
  int ansi;        // --source-codepage (0: none, automatic)
  int expected;    // the code page the strings are in
  double atLeast;  // share of non-ASCII 8-bit strings read in it
};

class SourceCodePageCorpus : public ::testing::TestWithParam<CorpusRow> {};

// Each non-ASCII 8-bit string's msgid is its bytes in the program's own code
// page (wide strings stay as they are); the text walker agrees with the
// stream walker on every string.
TEST_P(SourceCodePageCorpus, StringsReadInTheProgramsCodePage) {
  const CorpusRow& row = GetParam();
  const fs::path path = kCorpus / "modules" / row.module;
  if (!fs::exists(path)) GTEST_SKIP() << "no corpus";
  const ExchangeSource source = openExchangeSource(path.string(), {}, SourceCodePageOptions{row.ansi});
  std::size_t all = 0, right = 0;
  for (const ExchangeForm& form : source.forms) {
    if (!form.read) continue;
    const std::vector<int> pages = lineCodePages(splitTextLines(textOf(form.stream)), source.codePages);
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      const FormString& s = form.strings[i];
      if (!nonAscii(s.text)) continue;
      ++all;
      if (s.bytes.empty()) {  // wide: Unicode already, read as it is
        right += form.codePages[i] == 950;
        continue;
      }
      ASSERT_EQ(pages[s.line - 1], form.codePages[i]) << form.name << ":" << s.line;
      std::string expected = utf::utf16ToUtf8(codepage::decode(s.bytes, row.expected));
      normalizedBreaks(expected);
      right += s.text == expected;
    }
  }
  ASSERT_GT(all, 0u);
  EXPECT_GE(static_cast<double>(right), row.atLeast * static_cast<double>(all)) << right << " of " << all;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, SourceCodePageCorpus,
    ::testing::Values(CorpusRow{"smarthaert__uims__HXDGL.exe", 0, 936, 0.9},
                      CorpusRow{"smarthaert__uims__HXDGL.exe", 936, 936, 1.0},
                      CorpusRow{"smarthaert__uims__Usertool.exe", 936, 936, 1.0},
                      CorpusRow{"sprokushev__Delphi__MgrSR.exe", 1251, 1251, 1.0},
                      CorpusRow{"YihShuo__ERP__MeetingRoomSystem.exe", 0, 950, 1.0}),
    [](const auto& info) {
      std::string name = std::string(info.param.module).substr(std::string(info.param.module).rfind('_') + 1);
      name = name.substr(0, name.find('.'));
      return name + "_" + std::to_string(info.param.ansi);
    });

// A Simplified Chinese program translated with its s2twp prefill: the changed
// forms name no GB2312 charset and no font the map would still change, and
// each translation stands in them as Big5 text.
TEST(SourceCodePageTest, TranslatedSimplifiedProgramShowsBig5) {
  const fs::path path = kCorpus / "modules" / "smarthaert__uims__HXDGL.exe";
  if (!fs::exists(path)) GTEST_SKIP() << "no corpus";
  const ExchangeSource source = openExchangeSource(path.string());
  std::vector<PoEntry> entries = templateEntries(source);
  const ChineseConverter s2twp("s2twp");
  std::map<std::string, std::string> translations;
  for (PoEntry& e : entries) {
    e.hasContext = true;  // as a PO file read back gives it
    if (holdsHan(e.msgid)) translations[e.context] = e.msgstr = s2twp.convert(e.msgid);
  }
  const ApplyResult result = applyTranslation(source, entries, "prefill.po");
  std::size_t changed = 0, checked = 0;
  for (const TranslatedForm& t : result.forms) {
    if (!t.changed) continue;
    ++changed;
    SCOPED_TRACE(t.form->name);
    EXPECT_EQ(textOf(t.stream).find("GB2312_CHARSET"), std::string::npos);
    const FormFonts fonts = readFormFonts(t.stream, SourceCodePageOptions{950});
    for (const FormFonts::Font& f : fonts.fonts) EXPECT_FALSE(FontNameMap::shipped().map(f.name)) << utf::utf16ToUtf8(f.name);
    const ExchangeSource after =
        formFileExchangeSource(t.form->fileName, translatedFormFile(t), SourceCodePageOptions{950});
    ASSERT_EQ(after.forms.size(), 1u);
    const ExchangeForm& form = after.forms[0];
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      auto it = translations.find(t.form->name + form.contexts[i].substr(form.contexts[i].find('.')));
      if (it == translations.end() || !cp950::fromUtf8(it->second)) continue;
      EXPECT_FALSE(form.strings[i].bytes.empty()) << form.contexts[i];
      EXPECT_EQ(form.strings[i].text, it->second) << form.contexts[i];
      ++checked;
    }
  }
  EXPECT_GT(changed, 0u);
  EXPECT_GT(checked, 100u);
}

}  // namespace
