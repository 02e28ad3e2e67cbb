// FormFileToText on arbitrary bytes: header checks, then the conversion.
#include <cstdint>

#include "formstream/FormFile.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vc::TReadOnlyMemoryStream in(data, size, "");
  vc::TMemoryStream out;
  try {
    vc::FormFileToText(in, out);
  } catch (const vc::Exception&) {
  }
  return 0;
}
