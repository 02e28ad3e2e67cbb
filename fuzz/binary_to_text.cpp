// BinaryToText on arbitrary bytes: it may fail with a message, never crash,
// hang or allocate beyond what the input holds.
#include <cstdint>

#include "formstream/BinaryToText.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vc::TReadOnlyMemoryStream in(data, size, "");
  vc::TMemoryStream out;
  try {
    vc::BinaryToText(in, out);
  } catch (const vc::Exception&) {
  }
  return 0;
}
