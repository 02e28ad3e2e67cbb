// Form file header reading, FormFileToText, and the real form files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "formstream/TWriter.h"

namespace vc {
namespace {

std::string header(const std::string& name, std::uint32_t size) {
  std::string h = "\xFF\x0A";
  h += '\0';
  h += name;
  h += '\0';
  h += "\x30\x10";
  for (int i = 0; i < 4; ++i) h += static_cast<char>(size >> (8 * i));
  return h;
}

std::string stream(const std::string& className) {
  TMemoryStream out;
  {
    TWriter w(out);
    w.writeSignature();
    w.writeShortString(className);
    w.writeShortString("");
    w.writeListEnd();
    w.writeListEnd();
  }
  return out.data();
}

TEST(ReadFormFileHeaderTest, StopsAtTheStreamForAnyNameLength) {
  for (std::size_t len : {std::size_t{0}, std::size_t{6}, std::size_t{70}, std::size_t{77}, std::size_t{200},
                          std::size_t{255}}) {
    std::string file = header(std::string(len, 'N'), 1234) + "TPF0rest";
    TReadOnlyMemoryStream in(file);
    ReadFormFileHeader(in);
    EXPECT_EQ(in.position(), static_cast<std::int64_t>(10 + len)) << len;
  }
  // Memory flags and size are not examined.
  std::string odd = header("X", 0xFFFFFFFFu);
  odd[5] = odd[6] = '\0';
  TReadOnlyMemoryStream in(odd);
  ReadFormFileHeader(in);
  EXPECT_EQ(in.position(), 11);
}

TEST(ReadFormFileHeaderTest, RejectsWhatIsNoHeader) {
  for (std::string bad : {std::string(), std::string("object Form1: TForm1\r\nend\r\n"), std::string("\xFF"),
                          std::string("\xFF\x0B") + '\0', std::string("TPF0")}) {
    TReadOnlyMemoryStream in(bad);
    try {
      ReadFormFileHeader(in);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const EInvalidImage& e) {
      EXPECT_EQ(e.message(), msg::kInvalidStreamFormat);
    }
  }
  std::string endless = "\xFF\x0A" + std::string(1, '\0') + std::string(300, 'N');
  TReadOnlyMemoryStream in(endless);
  EXPECT_THROW(ReadFormFileHeader(in), EInvalidImage);
}

TEST(FormFileToTextTest, RendersTheStreamBehindTheHeader) {
  std::string s = stream("TForm1");
  std::string file = header("TFORM1", static_cast<std::uint32_t>(s.size())) + s;
  TReadOnlyMemoryStream in(file);
  TMemoryStream out;
  FormFileToText(in, out);
  EXPECT_EQ(out.data(), "object TForm1\r\nend\r\n");

  // A text-form .dfm produces no text at all.
  std::string text = "object Form1: TForm1\r\nend\r\n";
  TReadOnlyMemoryStream textIn(text);
  TMemoryStream none;
  EXPECT_THROW(FormFileToText(textIn, none), EInvalidImage);
  EXPECT_EQ(none.data(), "");

  // A header in front of something else than "TPF0" fails in the conversion.
  std::string wrong = header("X", 4) + "TPF1";
  TReadOnlyMemoryStream wrongIn(wrong);
  try {
    FormFileToText(wrongIn, none);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.message(), msg::kInvalidStreamFormat);
  }
  // A header cut short leaves nothing for the conversion to read.
  std::string cut = "\xFF\x0A" + std::string(1, '\0') + "TFO";
  TReadOnlyMemoryStream cutIn(cut);
  try {
    FormFileToText(cutIn, none);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.message(), msg::kReadError);
  }
}

// Every binary form file of the corpus renders, ends with the root's "end",
// and leaves the input within the file.
TEST(FormFileCorpusTest, EveryBinaryFormFileRenders) {
  std::filesystem::path dir = std::filesystem::path(VC_CORPUS_DIR) / "binary";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".dfm") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TReadOnlyMemoryStream in(bytes);
    TMemoryStream out;
    try {
      FormFileToText(in, out);
    } catch (const std::exception& e) {
      ADD_FAILURE() << entry.path().filename() << ": " << e.what();
      continue;
    }
    const std::string& text = out.data();
    EXPECT_TRUE(text.size() >= 5 && text.compare(text.size() - 5, 5, "end\r\n") == 0) << entry.path().filename();
    EXPECT_LE(in.position(), static_cast<std::int64_t>(bytes.size()));
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace vc
