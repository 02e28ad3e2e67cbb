#pragma once
// Resource names as the form list shows them. A name stored as UTF-16 becomes
// CP950 text; whatever CP950 cannot hold, or what would break a one-name-per-
// line listing (control characters, unpaired surrogates), is written as
// "{U+XXXX}" so that different names stay different and the shown text can
// be looked up again. A numeric id is shown as "#" and its decimal value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vc::modres {

std::string shownResourceName(std::u16string_view name);
std::string shownResourceId(std::uint16_t id);

// The id that a "#<decimal>" text names (up to 65535), if it is one.
std::optional<std::uint16_t> parseResourceId(std::string_view text);

}  // namespace vc::modres
