#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/Cp950.h"
#include "platform/Exception.h"
#include "tests/ReadFile.h"
#include "translation/FormTextFile.h"

using namespace vc;

TEST(FormTextFile, RecognisesFormTextByItsFirstWord) {
  using namespace std::string_view_literals;
  const std::pair<std::string_view, bool> rows[] = {
      {"object Form1: TForm1\r\nend\r\n", true},
      {"\xEF\xBB\xBF  \r\n\tINHERITED Form2: TForm2\r\nend", true},
      {"inline Frame1: TFrame1", true},
      {"objectx", false},                   // a longer word
      {"\xFF\x0A\x00TFORM1\x00"sv, false},  // a binary form file's header
      {"", false},
      {"\xEF\xBB\xBF", false},
  };
  for (const auto& [bytes, expected] : rows) EXPECT_EQ(isFormTextFile(bytes), expected) << bytes;
}

// Each encoding reads to the same CP950 text and writes back to its own bytes.
TEST(FormTextFile, ReadsAndWritesBackInItsOwnEncoding) {
  const std::string big5 = "object F: TF\r\n  Caption = '" + *cp950::fromUtf8("中文") + "'\r\nend\r\n";
  const std::string utf8 = "object F: TF\r\n  Caption = '中文'\r\nend\r\n";
  const std::pair<std::string, FormTextEncoding> rows[] = {
      {big5, FormTextEncoding::Cp950},
      {utf8, FormTextEncoding::Utf8},
      {"\xEF\xBB\xBF" + utf8, FormTextEncoding::Utf8Bom},
  };
  for (const auto& [bytes, encoding] : rows) {
    FormTextFile file = readFormTextFile(bytes);
    EXPECT_EQ(file.encoding, encoding);
    EXPECT_EQ(file.text, big5);
    EXPECT_EQ(encodeFormTextFile(file.text, file.encoding), bytes);
  }
}

TEST(FormTextFile, RefusesWhatWouldBeDamaged) {
  // Hangul has no CP950 form: refused with its line, never replaced.
  try {
    readFormTextFile("object F: TF\r\n  Caption = '한'\r\nend\r\n");
    FAIL() << "accepted";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("第 2 行"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("한"), std::string::npos) << e.what();
  }
  EXPECT_THROW(readFormTextFile("\xEF\xBB\xBFobject F: TF\r\n'\xA4\xA4'"), Exception);
  // A stray byte that is no Big5 character has no UTF-8 form.
  EXPECT_THROW(encodeFormTextFile("object F: TF\r\n'\x80'", FormTextEncoding::Utf8), Exception);
}

// Every text form file of the corpus is recognised and either comes back to
// its own bytes through edit text and its encoding, or is refused whole.
TEST(FormTextFile, CorpusTextFormsKeepTheirBytes) {
  const std::filesystem::path dir = std::filesystem::path(VC_CORPUS_DIR) / "text";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no corpus";
  int files = 0, utf8 = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".dfm") continue;
    const std::string bytes = test::readFile(entry.path());
    ++files;
    EXPECT_TRUE(isFormTextFile(bytes)) << entry.path();
    try {
      FormTextFile file = readFormTextFile(bytes);
      if (file.encoding != FormTextEncoding::Cp950) ++utf8;
      EXPECT_EQ(encodeFormTextFile(file.text, file.encoding), bytes) << entry.path();
    } catch (const Exception&) {
      ++refused;
    }
  }
  std::printf("%d text form files: %d UTF-8 converted, %d refused\n", files, utf8, refused);
  EXPECT_GT(files, 0);
}
