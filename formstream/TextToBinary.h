#pragma once
// Converts form text into one binary form stream ("TPF0"...).
#include "formstream/Stream.h"

namespace vc {

// Reads form text from input's current position up to the root object's
// "end" and appends the binary form stream to output. Malformed text raises
// EParserError (message ending in " 在第 N 行") or EConvertError; output then
// holds the bytes written before the failure, so callers that must not keep
// a partial stream convert into memory first.
void TextToBinary(TStream& input, TStream& output);

}  // namespace vc
