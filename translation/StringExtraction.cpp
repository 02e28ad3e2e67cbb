#include "translation/StringExtraction.h"

#include <algorithm>

#include "platform/Cp950.h"
#include "translation/StringRows.h"

namespace vc {
namespace {

// Blanks and control characters (every byte up to the space) go from both
// ends. Bytes of double-byte characters are all above that range.
std::string_view trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

// "=", "'" and " " are never the second byte of a CP950 character, so byte
// searches cannot land inside one.
std::string extractedName(std::string_view line) {
  std::size_t pos = line.find(" =");
  if (pos == std::string_view::npos) return {};
  return std::string(trimmed(line.substr(0, pos)));
}

std::string extractedValue(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view value = line.substr(eq + 1);
  if (value.find('\'') != std::string_view::npos) {
    std::size_t open = line.find('\'');
    std::size_t close = line.find('\'', open + 1);
    value = close == std::string_view::npos ? std::string_view{}
                                            : line.substr(open + 1, close - open - 1);
  }
  return std::string(trimmed(value));
}

std::u16string wholeValue(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                          std::size_t index, std::size_t maxUnits, int codePage) {
  if (index >= lineCount) return {};
  const std::string_view first = lineAt(index);
  const std::size_t eq = first.find('=');
  if (eq == std::string_view::npos) return {};
  // Empty pieces add nothing, so the lines walked are bounded as well.
  constexpr std::size_t kMaxLines = 256;
  if (std::optional<DecodedString> d = decodeStringValue(lineCount, lineAt, index, false, maxUnits, kMaxLines, codePage)) {
    if (d->cut) d->text += u"\u2026";
    return std::move(d->text);
  }
  return cp950::decode(trimmed(first.substr(eq + 1)));
}

std::vector<ExtractedString> extractStrings(std::size_t lineCount,
                                            const std::function<std::string_view(std::size_t)>& lineAt) {
  std::vector<ExtractedString> rows;
  for (std::size_t i = 0; i < lineCount; ++i) {
    std::string_view line = lineAt(i);
    if (line.find('=') == std::string_view::npos) continue;
    rows.push_back({i + 1, extractedName(line), extractedValue(line)});
  }
  return rows;
}

std::vector<ExtractedString> extractStrings(const std::vector<std::string>& lines) {
  return extractStrings(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); });
}

std::vector<std::string> splitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(current));
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty() || lines.empty()) lines.push_back(std::move(current));
  return lines;
}

}  // namespace vc
