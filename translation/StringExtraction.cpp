#include "translation/StringExtraction.h"

#include <algorithm>
#include <cstdint>

#include "platform/Cp950.h"

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
                          std::size_t index, std::size_t maxUnits) {
  if (index >= lineCount) return {};
  const std::string_view first = lineAt(index);
  const std::size_t eq = first.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view line = first;
  std::u16string units;
  bool wide = false;     // a # code above 255: the units are UTF-16 already
  bool quoted = false;   // a string piece was seen
  bool wantMore = true;  // the value goes on at the next line
  bool cut = false;
  std::size_t pos = eq + 1;
  // Empty pieces add nothing, so the lines walked are bounded as well.
  constexpr std::size_t kMaxLines = 256;
  const std::size_t lastLine = index + std::min(lineCount - index - 1, kMaxLines);
  while (!cut) {
    while (pos < line.size() && static_cast<unsigned char>(line[pos]) <= ' ') ++pos;
    if (pos >= line.size()) {  // a closing quote at the end leaves pos past it
      if (!wantMore) break;
      if (index == lastLine) {
        cut = index + 1 < lineCount;
        break;
      }
      ++index;
      line = lineAt(index);
      pos = 0;
      continue;
    }
    const char c = line[pos];
    if (c == '\'') {
      for (++pos; pos < line.size(); ++pos) {
        if (line[pos] == '\'') {
          if (pos + 1 >= line.size() || line[pos + 1] != '\'') break;
          ++pos;
        }
        units.push_back(static_cast<unsigned char>(line[pos]));
      }
      ++pos;
    } else if (c == '#') {
      std::uint32_t value = 0;
      for (++pos; pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos)
        value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(line[pos] - '0'), 0xFFFF);
      if (value > 255) wide = true;
      units.push_back(static_cast<char16_t>(value));
    } else if (c == '+' && quoted) {
      ++pos;
      wantMore = true;
      continue;
    } else {
      if (quoted) break;
      return cp950::decode(trimmed(first.substr(eq + 1)));
    }
    quoted = true;
    wantMore = false;
    if (units.size() > maxUnits) {
      units.resize(maxUnits);
      cut = true;
    }
  }
  std::u16string text;
  if (wide) {
    text = std::move(units);
  } else {
    std::string bytes;
    bytes.reserve(units.size());
    for (char16_t u : units) bytes.push_back(static_cast<char>(u));
    text = cp950::decode(bytes);
  }
  if (cut) text += u"\u2026";
  return text;
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
