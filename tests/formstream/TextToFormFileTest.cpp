#include <gtest/gtest.h>

#include <string>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/FormFile.h"

using namespace vc;

namespace {

std::string formFile(const std::string& text) {
  TMemoryStream in(text), out;
  TextToFormFile(in, out);
  return out.data();
}

std::string header(const std::string& file) { return file.substr(0, file.find("TPF0")); }

}  // namespace

TEST(TextToFormFile, HeaderForTForm1) {
  // 26 bytes of frame around a 1208-byte long string make a 1234-byte stream.
  std::string file = formFile("object Form1: TForm1\r\n  S = '" + std::string(1208, 'x') + "'\r\nend\r\n");
  EXPECT_EQ(file.size(), 1250u);
  EXPECT_EQ(file.substr(0, 16), std::string("\xFF\x0A\x00TFORM1\x00\x30\x10\xD2\x04\x00\x00", 16));
  EXPECT_EQ(file.substr(16, 4), "TPF0");
}

TEST(TextToFormFile, NameIsTheUpperCasedClassName) {
  EXPECT_EQ(header(formFile("object tmyform\nend")), std::string("\xFF\x0A\x00TMYFORM\x00\x30\x10\x0F\x00\x00\x00", 17));
  EXPECT_EQ(header(formFile("object x: tm\xC3\xA4_form1\nend")).substr(3, 11), std::string("TM\xC3\xA4_FORM1\x00", 11));
  // Behind a prefix and a child position of any width.
  EXPECT_EQ(header(formFile("inherited Form1: TForm1 [3]\nend")).substr(3, 7), std::string("TFORM1\x00", 7));
  EXPECT_EQ(header(formFile("inline Form1: TForm1 [70000]\nend")).substr(3, 7), std::string("TFORM1\x00", 7));
  EXPECT_EQ(header(formFile("inherited Form1: TForm1\nend")).substr(3, 7), std::string("TFORM1\x00", 7));
  EXPECT_EQ(header(formFile("inline Form1: TForm1\nend")).substr(3, 7), std::string("TFORM1\x00", 7));
}

TEST(TextToFormFile, NamesUpTo255BytesReadBack) {
  for (std::size_t n : {70u, 71u, 77u, 239u, 255u}) {
    std::string cls(n, 'c');
    std::string text = "inherited A: " + cls + "\r\n  Tag = 1\r\nend\r\n";
    std::string file = formFile(text);
    ASSERT_EQ(file.substr(3, n + 1), std::string(n, 'C') + '\0') << n;
    TMemoryStream in(file), out;
    ReadFormFileHeader(in);
    EXPECT_EQ(in.position(), static_cast<std::int64_t>(10 + n)) << n;
    BinaryToText(in, out);
    EXPECT_EQ(out.data(), text) << n;
  }
}

TEST(TextToFormFile, NothingReachesTheOutputOnFailure) {
  TMemoryStream in(std::string("object Form1: TForm1\n  Left = 1\n  Top = ?\nend")), out;
  try {
    TextToFormFile(in, out);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "無效的屬性值 在第 3 行");
  }
  EXPECT_EQ(out.size(), 0);
}

TEST(TextToFormFile, ResultReadsBackPositionedAtTheStream) {
  std::string text = "object Form1: TForm1\r\n  Caption = '\xB7\x7C\xC4\xB3'\r\nend\r\n";
  TMemoryStream in(text), file;
  TextToFormFile(in, file);
  file.setPosition(0);
  ReadFormFileHeader(file);
  EXPECT_EQ(file.position(), 16);
  TMemoryStream back;
  BinaryToText(file, back);
  EXPECT_EQ(back.data(), text);
}

// Through a scratch stream the file is the same, whatever the stream's size
// against the head that names the class and the pieces it is copied in.
TEST(TextToFormFile, ThroughScratchTheSameFile) {
  const std::string texts[] = {
      "object A: B\nend",
      "inline A: " + std::string(255, 'c') + " [70000]\nend",
      "object Form1: TForm1\r\n  S = '" + std::string(200000, 'x') + "'\r\nend\r\n",
      "object Form1: TForm1\n  Top = ?\nend",
  };
  for (const std::string& text : texts) {
    TMemoryStream in(text), scratch, out;
    std::string expected;
    try {
      expected = formFile(text);
    } catch (const Exception&) {
      EXPECT_THROW(TextToFormFile(in, out, scratch), Exception);
      EXPECT_EQ(out.size(), 0);
      continue;
    }
    TextToFormFile(in, out, scratch);
    EXPECT_EQ(out.data(), expected) << text.substr(0, 40);
  }
}
