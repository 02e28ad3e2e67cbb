#include "translation/ChineseConversion.h"

#include <opencc/opencc.h>

#include <algorithm>

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace vc {

const std::vector<std::string>& chineseConversions() {
  static const std::vector<std::string> names{"s2t", "s2tw", "s2twp", "s2hk"};
  return names;
}

ChineseConverter::ChineseConverter(const std::string& config) : m_config(config) {
  const auto& names = chineseConversions();
  if (std::find(names.begin(), names.end(), config) == names.end())
    throw Exception("unknown conversion " + config + " (s2t, s2tw, s2twp or s2hk)");
  opencc_t handle = opencc_open((config + ".json").c_str());
  if (handle == reinterpret_cast<opencc_t>(-1))
    throw Exception("OpenCC cannot open the conversion " + config + ": " + opencc_error());
  m_handle = handle;
}

ChineseConverter::~ChineseConverter() {
  if (m_handle) opencc_close(static_cast<opencc_t>(m_handle));
}

std::string ChineseConverter::convert(std::string_view utf8) const {
  char* out = opencc_convert_utf8(static_cast<opencc_t>(m_handle), utf8.data(), utf8.size());
  if (!out) throw Exception(std::string("OpenCC conversion failed: ") + opencc_error());
  std::string text(out);
  opencc_convert_utf8_free(out);
  return text;
}

bool holdsHan(std::string_view utf8) {
  const std::u16string text = utf::utf8ToUtf16(utf8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if ((c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0x20000 && c <= 0x3134F))
      return true;
  }
  return false;
}

}  // namespace vc
