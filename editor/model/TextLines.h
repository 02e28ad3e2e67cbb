#pragma once
// Byte-string helpers shared by loading, editing and search.
#include <string_view>
#include <vector>

namespace vc {

// Splits text at CR LF, CR or LF. A text ending in a line break gives an
// empty last piece; an empty text gives one empty piece.
std::vector<std::string_view> splitLines(std::string_view text);

// True when the bytes, walked from their start, end inside a double-byte character.
bool endsInHalfCharacter(std::string_view bytes);

}  // namespace vc
