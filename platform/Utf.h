#pragma once
// Conversions between UTF-8 and UTF-16 that never fail: malformed input
// becomes U+FFFD.
#include <string>
#include <string_view>

namespace vc::utf {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
// Whether bytes are well-formed UTF-8: no stray or overlong sequence, no
// surrogate, nothing past U+10FFFF.
bool isValidUtf8(std::string_view bytes);
// Appends the UTF-8 form of code point cp (U+FFFD for surrogates and values
// beyond U+10FFFF).
void appendUtf8(std::string& out, char32_t cp);

}  // namespace vc::utf
