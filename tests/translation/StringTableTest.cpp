// The string table as a file: its fields, and strings -> apply over the
// corpus forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "formstream/Stream.h"
#include "formstream/TextToBinary.h"
#include "platform/Cp950.h"
#include "tests/ReadFile.h"
#include "translation/StringExtraction.h"
#include "translation/StringTable.h"
#include "translation/WriteBack.h"

namespace vc {
namespace {

namespace fs = std::filesystem;

TEST(StringTable, FieldsCarryEveryValueInBothEncodings) {
  struct Row {
    std::u16string value;
    std::string cp950, utf8;
  };
  const Row rows[] = {
      {u"a\tb\\c\r\nd", "a\\tb\\\\c\\r\\nd", "a\\tb\\\\c\\r\\nd"},
      {u"\u4E2D\u00F6", "\xA4\xA4\\u00F6", "\xE4\xB8\xAD\xC3\xB6"},
      {u"\U0001F600", "\\uD83D\\uDE00", "\xF0\x9F\x98\x80"},
      {u"x\xDC80", "x\\x80", "x\\x80"},  // a byte that is no CP950 character
      {u"\u0080", "\\u0080", "\xC2\x80"},  // encodes to that byte, which reads back as no character
      {u"\u8A31", "\xB3\x5C", "\xE8\xA8\xB1"},  // its second byte is a backslash
  };
  for (const Row& r : rows) {
    EXPECT_EQ(tableField(r.value, false), r.cp950);
    EXPECT_EQ(tableField(r.value, true), r.utf8);
    EXPECT_EQ(fromTableField(r.cp950, false), r.value);
    EXPECT_EQ(fromTableField(r.utf8, true), r.value);
  }
  EXPECT_EQ(fromTableField("C:\\dir\\u12", true), u"C:\\dir\\u12");  // a backslash before anything else stays
}

std::string tableLine(const TableRow& row, bool utf8) {
  return tableField(cp950::decode(row.name), utf8) + '\t' + tableField(row.value, utf8);
}

bool converts(const std::string& text) {
  try {
    TReadOnlyMemoryStream in(text);
    TMemoryStream out;
    TextToBinary(in, out);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Every corpus form goes through its string table unchanged, byte for byte,
// and a changed caption changes that value only.
TEST(StringTable, CorpusFormsComeBackFromTheirTableByteForByte) {
  const fs::path dir = fs::path(VC_CORPUS_DIR) / "text";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  int forms = 0, rowsSeen = 0, captions = 0;
  const std::u16string caption = u"\u8B6F\u8005's \u00F6";
  for (const auto& entry : fs::directory_iterator(dir)) {
    SCOPED_TRACE(entry.path().filename().string());
    const std::string text = test::readFile(entry.path());
    const TextLines t = textLines(text);
    const std::vector<TableRow> rows = stringTableRows(t.lines);
    const auto lineAt = [&](std::size_t i) { return std::string_view(t.lines[i]); };
    for (bool utf8 : {false, true}) {
      WriteBack wb(t.lines.size(), lineAt);
      for (const TableRow& row : rows) {
        // Each row as the file holds it, read back.
        const std::string line = tableLine(row, utf8);
        const std::size_t tab = line.find('\t');
        WriteBackRow back{row.lineNumber, *cp950::encode(fromTableField(line.substr(0, tab), utf8)), std::nullopt};
        back.modifiedText = fromTableField(line.substr(tab + 1), utf8);
        back.codePage = row.codePage;
        EXPECT_TRUE(wb.write(back)) << row.lineNumber;
      }
      EXPECT_TRUE(writtenText(text, t, wb) == text) << (utf8 ? "UTF-8" : "CP950");
    }
    ++forms;
    rowsSeen += static_cast<int>(rows.size());
    // A caption read as Big5 (one under another script's font reads back in that script).
    auto first = std::find_if(rows.begin(), rows.end(),
                              [](const TableRow& r) { return r.name == "Caption" && r.codePage == 950; });
    if (first == rows.end()) continue;
    WriteBack wb(t.lines.size(), lineAt);
    WriteBackRow changed{first->lineNumber, first->name, std::nullopt};
    changed.modifiedText = caption;
    ASSERT_TRUE(wb.write(changed));
    const std::string written = writtenText(text, t, wb);
    const TextLines after = textLines(written);
    std::vector<TableRow> expected = rows;
    expected[static_cast<std::size_t>(first - rows.begin())].value = caption;
    const std::vector<TableRow> found = stringTableRows(after.lines);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].name, expected[i].name);
      EXPECT_TRUE(found[i].value == expected[i].value) << found[i].lineNumber;
    }
    // The lines around the caption's are the same bytes.
    const std::size_t at = first->lineNumber - 1, removed = t.lines.size() - after.lines.size();
    for (std::size_t i = 0; i < t.lines.size(); ++i)
      if (i < at) EXPECT_EQ(after.lines[i], t.lines[i]);
      else if (i > at + removed) EXPECT_EQ(after.lines[i - removed], t.lines[i]);
    if (converts(text)) EXPECT_TRUE(converts(written));
    ++captions;
  }
  std::cout << "[ corpus ] " << forms << " forms through their string table unchanged (" << rowsSeen
            << " rows); a caption changed in " << captions << "\n";
  EXPECT_GT(forms, 400);
}

}  // namespace
}  // namespace vc
