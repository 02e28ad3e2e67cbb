#include "translation/FormTextFile.h"

#include <algorithm>
#include <cctype>

#include "platform/Cp950.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace vc {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool startsWithWord(std::string_view s, std::string_view word) {
  if (s.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != word[i]) return false;
  if (s.size() == word.size()) return true;
  const unsigned char next = static_cast<unsigned char>(s[word.size()]);
  return !(std::isalnum(next) || next == '_');
}

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// 1-based line of the UTF-16 code unit at index.
std::size_t lineAt(std::u16string_view text, std::size_t index) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(index), u'\n'));
}

std::string fromUtf8(std::string_view utf8) {
  const std::u16string wide = utf::utf8ToUtf16(utf8);
  std::size_t failedAt = 0;
  std::optional<std::string> cp950 = cp950::encode(wide, &failedAt);
  if (cp950) return *cp950;
  std::size_t end = failedAt + 1;
  if (end < wide.size() && wide[failedAt] >= 0xD800 && wide[failedAt] <= 0xDBFF) ++end;
  throw Exception("這個 UTF-8 窗體文字檔第 " + std::to_string(lineAt(wide, failedAt)) + " 行的字元「" +
                  utf::utf16ToUtf8(wide.substr(failedAt, end - failedAt)) +
                  "」無法以 Big5 (CP950) 表示，檔案未載入，也不會被修改。");
}

}  // namespace

bool isFormTextFile(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  std::size_t i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
    ++i;
  bytes.remove_prefix(i);
  return startsWithWord(bytes, "object") || startsWithWord(bytes, "inherited") ||
         startsWithWord(bytes, "inline");
}

FormFileKind formFileKind(std::string_view bytes) {
  if (!bytes.empty() && static_cast<unsigned char>(bytes[0]) == 0xFF) return FormFileKind::Binary;
  if (bytes.starts_with("TPF0")) return FormFileKind::Stream;
  return isFormTextFile(bytes) ? FormFileKind::Text : FormFileKind::Unknown;
}

FormTextFile readFormTextFile(std::string_view bytes) {
  FormTextFile file;
  if (const std::size_t end = bytes.find_first_of("\r\n"); end != std::string_view::npos)
    file.lineBreak = bytes[end] == '\n' ? "\n" : bytes.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
  if (bytes.substr(0, kBom.size()) == kBom) {
    bytes.remove_prefix(kBom.size());
    if (!utf::isValidUtf8(bytes))
      throw Exception("這個窗體文字檔以 UTF-8 標記開頭，內容卻不是有效的 UTF-8，檔案未載入。");
    file.encoding = FormTextEncoding::Utf8Bom;
    file.text = fromUtf8(bytes);
  } else if (!isAscii(bytes) && utf::isValidUtf8(bytes)) {
    // Big5 text is practically never valid UTF-8: its common lead bytes
    // (0xA4-0xBF) are UTF-8 continuation bytes.
    file.encoding = FormTextEncoding::Utf8;
    file.text = fromUtf8(bytes);
  } else {
    file.text = std::string(bytes);
  }
  return file;
}

std::string encodeFormTextFile(std::string_view cp950Text, FormTextEncoding encoding, std::string_view lineBreak) {
  std::string broken;
  if (lineBreak != "\r\n") {
    for (std::size_t at = 0; at < cp950Text.size();) {
      const std::size_t end = cp950Text.find("\r\n", at);
      broken += cp950Text.substr(at, end - at);
      if (end == std::string_view::npos) break;
      broken += lineBreak;
      at = end + 2;
    }
    cp950Text = broken;
  }
  if (encoding == FormTextEncoding::Cp950) return std::string(cp950Text);
  const std::u16string wide = cp950::decode(cp950Text);
  // decode() keeps bytes that are no character as lone surrogates.
  auto bad = std::find_if(wide.begin(), wide.end(), [](char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
  if (bad != wide.end())
    throw Exception("第 " + std::to_string(lineAt(wide, static_cast<std::size_t>(bad - wide.begin()))) +
                    " 行含有不是 Big5 字元的位元組，無法存成 UTF-8 窗體文字檔。");
  std::string out = encoding == FormTextEncoding::Utf8Bom ? std::string(kBom) : std::string();
  return out + utf::utf16ToUtf8(wide);
}

}  // namespace vc
