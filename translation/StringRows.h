#pragma once
// String rows: property lines whose value is a string literal (Caption,
// Hint, TextHint, Text, Title, Font.Name, ...). Their value, to a translator,
// is the whole decoded text: every quoted part, # code and continuation line,
// line breaks included. Written back, it is quoted again. The string page and
// `formtext strings`/`apply` share these rules.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vc {

using LineAt = std::function<std::string_view(std::size_t)>;

// True when the value of the property on line index, behind its first "="
// (and behind a line break there, where a long string begins), starts a
// string literal: "'" or "#".
bool isStringRow(std::size_t lineCount, const LineAt& lineAt, std::size_t index);

// The decoded value of the string on line index, as the converted form holds
// it: literals joined by "+" over continuation lines, # codes and doubled
// apostrophes resolved; an 8-bit value decoded from its source code page
// (from CP950, a byte that is no character stays as the lone surrogate
// cp950::decode makes of it; see codepage::decode for the others), a wide
// one as its code units. Nothing when the line is no string row or its
// literal is broken, or when it does not end where the value should.
std::optional<std::u16string> stringRowValue(std::size_t lineCount, const LineAt& lineAt, std::size_t index,
                                             int codePage = 950);

// The decoding behind stringRowValue, also for values shown in part: at most
// maxUnits code units and maxLines lines behind the first (cut tells that
// more was left). A strict reading refuses a broken literal; otherwise an
// unterminated quote ends at its line end and the value ends where the
// literals stop.
struct DecodedString {
  std::u16string text;
  bool cut = false;
};
std::optional<DecodedString> decodeStringValue(std::size_t lineCount, const LineAt& lineAt, std::size_t index,
                                               bool strict, std::size_t maxUnits = static_cast<std::size_t>(-1),
                                               std::size_t maxLines = static_cast<std::size_t>(-1),
                                               int codePage = 950);

// text as a form text string literal that reads back as text: apostrophes
// doubled, control characters as # codes. When CP950 holds every character
// the literal is 8-bit (Big5 bytes inside the quotes); otherwise it is wide:
// every character beyond ASCII as the # code of its UTF-16 code units.
std::string quotedFormText(std::u16string_view text);

// True when name is a property name as form text writes one: identifiers
// joined by dots (Caption, Font.Name, Items.Strings).
bool isPropertyName(std::string_view name);

}  // namespace vc
