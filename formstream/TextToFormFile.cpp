#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"

namespace vc {

void TextToFormFile(TStream& input, TStream& output) {
  TMemoryStream binary;
  TextToBinary(input, binary);
  WriteFormFile(binary.data(), output);
}

void TextToFormFile(TStream& input, TStream& output, TStream& scratch) {
  TextToBinary(input, scratch);
  WriteFormFile(scratch, output);
}

}  // namespace vc
