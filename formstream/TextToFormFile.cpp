#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"

namespace vc {

void TextToFormFile(TStream& input, TStream& output) {
  TMemoryStream binary;
  TextToBinary(input, binary);
  writeFormFile(binary.data(), output);
}

void TextToFormFile(TStream& input, TStream& output, TStream& scratch) {
  TextToBinary(input, scratch);
  writeFormFile(scratch, output);
}

}  // namespace vc
