#pragma once
// Renders one binary form stream ("TPF0"...) as form text: CP950 bytes,
// two blanks of indentation per level, CR LF line ends.
#include "formstream/Stream.h"

namespace vc {

// Reads from input's current position to the end of the root object and
// appends the text to output. Malformed input raises EReadError; the output
// then keeps the text written before the failure, and the input is left
// behind the last byte consumed.
void BinaryToText(TStream& input, TStream& output);

}  // namespace vc
