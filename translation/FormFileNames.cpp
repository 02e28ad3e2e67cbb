#include "translation/FormFileNames.h"

#include <string_view>

#include "platform/Cp950.h"

namespace vc {

std::string safeFileStem(const std::string& name) {
  std::string stem;
  for (unsigned char c : cp950::toUtf8(name)) {
    const bool bad = c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                                   std::string_view::npos;
    stem += bad ? '_' : static_cast<char>(c);
  }
  if (stem.empty() || stem[0] == '.') stem.insert(stem.begin(), '_');
  constexpr std::size_t kMaxStem = 200;
  if (stem.size() > kMaxStem) {
    std::size_t cut = kMaxStem;
    while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;  // keep UTF-8 whole
    stem.resize(cut);
  }
  return stem;
}

// Distinct names can meet in one file name (after the replacements above, or
// on a file system that ignores case).
std::string uniqueStem(const std::string& stem, std::set<std::string>& used) {
  auto folded = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  std::string candidate = stem;
  for (int i = 2; !used.insert(folded(candidate)).second; ++i) candidate = stem + "~" + std::to_string(i);
  return candidate;
}

}  // namespace vc
