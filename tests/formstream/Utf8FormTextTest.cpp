// UTF-8 form text in front of the parser: strings keep every character.
#include "formstream/Utf8FormText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/TextToBinary.h"

using namespace vc;

namespace {

struct Row {
  const char* name;
  const char* utf8;
  const char* cp950;
};

class Utf8FormTextRows : public testing::TestWithParam<Row> {};

TEST_P(Utf8FormTextRows, Converts) { EXPECT_EQ(formTextFromUtf8(GetParam().utf8), GetParam().cp950); }

INSTANTIATE_TEST_SUITE_P(
    Strings, Utf8FormTextRows,
    testing::Values(
        Row{"Big5", "\xEF\xBB\xBF" "Caption = '中文''s'#13", "Caption = '\xA4\xA4\xA4\xE5''s'#13"},
        // The whole string turns wide, the Big5 character included.
        Row{"Emoji", "C = 'a中😀'", "C = 'a'#20013#55357#56832"},
        // Below 256 only +65536 makes the parser take the string for wide.
        Row{"Latin1Only", "C = 'é'", "C = #65769"},
        // Every piece of a chain turns wide with the one that must.
        Row{"Chain", "C = (\r\n  'ab' +\r\n  'ü€')", "C = (\r\n  'a'#65634 +\r\n  #252#8364)"},
        // Names: CP950 where it holds the whole name, else the UTF-8 bytes untouched.
        Row{"Names", "object 按鈕1: TB\r\n  inherited Parâmetros: TG\r\n  object 地址: TS",
            "object \xAB\xF6\xB6\x73""1: TB\r\n  inherited Parâmetros: TG\r\n  object 地址: TS"},
        Row{"UnclosedLeftToParser", "C = '中\r\n", "C = '\xA4\xA4\r\n"}),
    [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(Utf8FormText, WideStringSurvivesTheRoundTrip) {
  TMemoryStream text(formTextFromUtf8("object F: TF\r\n  C = 'x😀'\r\nend\r\n")), binary, back;
  TextToBinary(text, binary);
  binary.setPosition(0);
  BinaryToText(binary, back);
  EXPECT_NE(back.data().find("C = 'x'#55357#56832"), std::string::npos) << back.data();
}

TEST(Utf8FormText, RefusesTextThatIsNotUtf8) { EXPECT_THROW(formTextFromUtf8("C = '\xA4\xA4'"), EParserError); }

// Every form text of the corpus saved with a byte-order mark converts.
TEST(Utf8FormText, CorpusFilesWithByteOrderMarkConvert) {
  const std::filesystem::path dir = std::filesystem::path(VC_CORPUS_DIR) / "text";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no corpus at " << VC_CORPUS_DIR;
  int converted = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!startsWithUtf8Bom(raw)) continue;
    try {
      TMemoryStream text(formTextFromUtf8(raw)), binary;
      TextToBinary(text, binary);
      ++converted;
    } catch (const std::exception& ex) {
      ADD_FAILURE() << e.path().filename() << ": " << ex.what();
    }
  }
  std::printf("%d form texts with a byte-order mark converted\n", converted);
}

}  // namespace
