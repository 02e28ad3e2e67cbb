// Every form text of the corpus that converts still converts after a Chinese
// caption holding an apostrophe is written back into every Caption row, and
// the converted stream carries exactly those captions.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "formstream/BinaryToText.h"
#include "formstream/Stream.h"
#include "formstream/TextToBinary.h"
#include "platform/Cp950.h"
#include "tests/ReadFile.h"
#include "translation/StringExtraction.h"
#include "translation/WriteBack.h"

namespace vc {
namespace {

namespace fs = std::filesystem;

using test::readFile;

std::optional<std::string> converted(const std::string& text) {
  try {
    TReadOnlyMemoryStream in(text);
    TMemoryStream out;
    TextToBinary(in, out);
    return out.takeData();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

TEST(WriteBackCorpus, TranslatedCaptionsKeepEveryFormConvertible) {
  const fs::path dir = fs::path(VC_CORPUS_DIR) / "text";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  const std::string caption = *cp950::fromUtf8("譯者's 標題");
  int forms = 0, captions = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string text = readFile(entry.path());
    if (!converted(text)) continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++forms;
    const std::vector<std::string> lines = splitTextLines(text);
    WriteBack wb(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
    std::vector<std::u16string> expected;
    for (const ExtractedString& row : extractStrings(lines)) {
      if (row.name != "Caption") continue;
      const std::string value = caption + " " + std::to_string(expected.size());
      EXPECT_TRUE(wb.write({row.lineNumber, row.name, value})) << "line " << row.lineNumber;
      expected.push_back(cp950::decode(value));
    }
    captions += static_cast<int>(expected.size());
    std::optional<std::string> stream = converted(joined(wb.lines()));
    if (!stream) {
      ADD_FAILURE() << "no longer converts";
      continue;
    }
    // The stream read back: its captions are the new ones, in order.
    TReadOnlyMemoryStream in(*stream);
    TMemoryStream rendered;
    BinaryToText(in, rendered);
    const std::vector<std::string> back = splitTextLines(rendered.data());
    std::vector<std::u16string> found;
    for (const ExtractedString& row : extractStrings(back))
      if (row.name == "Caption")
        found.push_back(wholeValue(back.size(), [&](std::size_t i) { return std::string_view(back[i]); },
                                   row.lineNumber - 1));
    EXPECT_EQ(found, expected);
  }
  std::cout << "[ corpus ] " << forms << " forms convert; " << captions << " captions written back\n";
  EXPECT_GT(forms, 400);
}

}  // namespace
}  // namespace vc
