// Write-back over arbitrary text: every "=" line is written back twice (the
// second time one line further on), tool tips are taken, and the lines that
// stay keep their order. The text's string table, through its file fields
// and written back unchanged, leaves the text as it was, byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "translation/StringExtraction.h"
#include "translation/StringTable.h"
#include "translation/WriteBack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = vc::splitTextLines(text);
  auto lineAt = [&](std::size_t i) { return std::string_view(lines[i]); };
  vc::WriteBack wb(lines.size(), lineAt);
  const auto rows = vc::extractStrings(lines);
  for (int pass = 0; pass < 2; ++pass)
    for (const vc::ExtractedString& row : rows) {
      (void)vc::wholeValue(lines.size(), lineAt, row.lineNumber - 1, 64);
      wb.write({row.lineNumber + pass, row.name, row.value + "'" + text.substr(0, 3)});
    }
  const std::vector<std::string> after = wb.lines();
  std::size_t previous = 0;
  for (std::size_t n = 1; n <= lines.size(); ++n) {
    const std::size_t now = wb.lineAfter(n);
    if (now == 0) continue;
    if (now <= previous || now > after.size()) std::abort();
    previous = now;
  }
  if (wb.changed() && wb.firstChanged() + wb.changedCount() > lines.size()) std::abort();

  const bool utf8 = size % 2 == 0;
  const vc::TextLines t = vc::textLines(text);
  vc::WriteBack same(t.lines.size(), [&](std::size_t i) { return std::string_view(t.lines[i]); });
  for (const vc::TableRow& r : vc::stringTableRows(t.lines)) {
    vc::WriteBackRow row{r.lineNumber, r.name, std::nullopt};
    row.modifiedText = vc::fromTableField(vc::tableField(r.value, utf8), utf8);
    if (!same.write(row)) std::abort();
  }
  if (vc::writtenText(text, t, same) != text) std::abort();
  return 0;
}
