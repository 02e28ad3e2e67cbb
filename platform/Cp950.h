#pragma once
// Code page 950 (Big5) services. Form data is kept as CP950 byte strings
// (std::string); it is decoded only to be shown or exchanged with the system.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vc::cp950 {

// Lead bytes of a double-byte character: 0x81 to 0xFE.
constexpr bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// True when s[pos] (0-based) is the second byte of a double-byte character:
// the run of lead bytes directly in front of it has odd length. A position
// at or behind the end is never a trail byte.
bool isTrailByte(std::string_view s, std::size_t pos);

// Length in bytes (1 or 2) of the character that starts at s[pos], as text
// is walked from the start of a line: a lead byte followed by any byte forms
// a double-byte unit. pos must be inside s.
std::size_t charLength(std::string_view s, std::size_t pos);

// Start of the character that contains s[pos] when s is walked from its
// start (pos itself when it starts a character).
std::size_t charStart(std::string_view s, std::size_t pos);

// Lossless decoding: every byte pair that is a CP950 character and encodes
// back to the same two bytes becomes its code point; every other byte b >= 0x80
// becomes the lone surrogate U+DC00+b, which encode() turns back into b.
std::u16string decode(std::string_view bytes);

// Encodes UTF-16. Lone surrogates U+DC80..U+DCFF become the byte they carry.
// Characters without a CP950 encoding make the result empty (nullopt) and,
// when failedAt is given, store the index of the first such code unit.
std::optional<std::string> encode(std::u16string_view text, std::size_t* failedAt = nullptr);

// Encodes and substitutes "?" for characters without a CP950 encoding.
std::string encodeLossy(std::u16string_view text);

// The code point of the double-byte character lead/trail, or 0 when the pair
// is not a character that round-trips.
char16_t decodePair(unsigned char lead, unsigned char trail);

// CP950 bytes to UTF-8 for messages and terminals (undecodable bytes become
// U+FFFD in UTF-8 output, since lone surrogates cannot be written there).
std::string toUtf8(std::string_view bytes);

// UTF-8 to CP950 bytes; nullopt when a character has no CP950 encoding.
std::optional<std::string> fromUtf8(std::string_view utf8);

}  // namespace vc::cp950
