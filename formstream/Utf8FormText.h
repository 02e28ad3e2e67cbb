#pragma once
// Form text written in UTF-8 (as terminals and newer tools save it), turned
// into the CP950 form text the parser reads. Strings keep every character:
// a string holding one that CP950 cannot hold becomes a wide string, with
// such characters written as # codes. A name CP950 cannot hold keeps its
// UTF-8 bytes.
#include <string>
#include <string_view>

namespace vc {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool startsWithUtf8Bom(std::string_view text);

// CP950 form text for UTF-8 form text (a leading byte-order mark is
// dropped). Raises EParserError naming the line for bytes that are not UTF-8.
std::string formTextFromUtf8(std::string_view utf8);

}  // namespace vc
