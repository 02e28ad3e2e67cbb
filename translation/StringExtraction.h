#pragma once
// String extraction: every line of a form text that holds "=" becomes one
// row of property name and value, cut out of the line's bytes. Shared by the
// string page and `formtext strings`.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

struct ExtractedString {
  std::size_t lineNumber = 0;  // 1-based line of the text
  std::string name;            // property name; empty when the line has no " ="
  std::string value;           // extracted value (CP950 bytes)
};

// The property name of one line: the text before its first " =", trimmed.
std::string extractedName(std::string_view line);
// The value of one line: the text after its first "=", or, when that holds an
// apostrophe, the text between the line's first apostrophe and the next one;
// trimmed.
std::string extractedValue(std::string_view line);

// The whole value of the property on line index as a person reads it: quoted
// runs and # codes decoded and joined over continuation lines (at most
// maxUnits code units and 256 continuation lines; "…" marks a cut); any other
// value as written after "=", trimmed and decoded. 8-bit strings are read in
// codePage, the line's source code page.
std::u16string wholeValue(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                          std::size_t index, std::size_t maxUnits = 4096, int codePage = 950);

// Rows for lines 0..lineCount-1 read through lineAt, in line order.
std::vector<ExtractedString> extractStrings(std::size_t lineCount,
                                            const std::function<std::string_view(std::size_t)>& lineAt);
std::vector<ExtractedString> extractStrings(const std::vector<std::string>& lines);

// Splits text at CR LF, CR or LF. A final line break does not start another
// line; empty text gives one empty line.
std::vector<std::string> splitTextLines(std::string_view text);

}  // namespace vc
