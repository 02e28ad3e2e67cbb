#pragma once
// The form file (.dfm): a 16-bit resource header in front of one binary form
// stream.
#include <string_view>

#include "formstream/Stream.h"

namespace vc {

// Checks and skips the header; the stream is left at the first byte of the
// binary form stream. Raises EInvalidImage "無效的資料流格式" when the
// stream does not begin with a header.
void ReadFormFileHeader(TStream& stream);

// ReadFormFileHeader on input, then BinaryToText into output.
void FormFileToText(TStream& input, TStream& output);

// Writes the form file of a binary form stream: the header naming the root
// object's class (upper-cased), then the stream. Raises EReadError
// "無效的資料流格式", writing nothing, when the stream does not begin with
// "TPF0" and a root object whose class name can be read.
void writeFormFile(std::string_view binaryStream, TStream& output);
// The same for the binary form stream that a seekable stream holds, from its
// start to its end, copied through in pieces.
void writeFormFile(TStream& binaryStream, TStream& output);

// Converts form text (TextToBinary) into memory, then writes the header and
// the binary form stream to output (writeFormFile). When the text does not convert nothing
// at all reaches output.
void TextToFormFile(TStream& input, TStream& output);
// The same with the binary form stream kept in scratch (an empty stream that
// can be read back, such as a temporary file) instead of memory: the
// header's length is known only once the whole text is converted.
void TextToFormFile(TStream& input, TStream& output, TStream& scratch);

}  // namespace vc
