#pragma once
// Windows code pages other than 950, decoded through the system's iconv:
// the bytes of 8-bit strings written under another script's font.
#include <string>
#include <string_view>

namespace vc::codepage {

// The iconv name of a Windows code page (936 → "CP936"), or nullptr when the
// system has no converter for it.
const char* iconvName(int codePage);

// The bytes as text of the code page. 950 decodes as cp950::decode does
// (losslessly); in any other code page a byte that starts no character, or
// a character cut short at the end, comes out as U+FFFD. An unknown code
// page decodes as 950.
std::u16string decode(std::string_view bytes, int codePage);

}  // namespace vc::codepage
