#pragma once
// Simplified to Traditional Chinese through OpenCC, by OpenCC's own
// configuration names: "s2t", "s2tw", "s2twp" (Taiwan, with its phrases) and
// "s2hk".
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// The configurations a prefill may name.
const std::vector<std::string>& chineseConversions();

class ChineseConverter {
 public:
  // Raises vc::Exception for a name not among chineseConversions() or a
  // configuration OpenCC cannot open.
  explicit ChineseConverter(const std::string& config);
  ~ChineseConverter();
  ChineseConverter(const ChineseConverter&) = delete;
  ChineseConverter& operator=(const ChineseConverter&) = delete;

  const std::string& config() const { return m_config; }
  // The UTF-8 text converted.
  std::string convert(std::string_view utf8) const;

 private:
  std::string m_config;
  void* m_handle = nullptr;
};

// True when the UTF-8 text holds a Han character (CJK ideographs, their
// extensions and compatibility ideographs).
bool holdsHan(std::string_view utf8);

}  // namespace vc
