// TextToBinary on arbitrary text: it may fail with a message, never crash,
// hang or allocate beyond what the input holds. Text it accepts must survive
// rendering: the rendered stream converts to the canonical form of the first
// stream, and from there on nothing changes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Canonical.h"
#include "formstream/BinaryToText.h"
#include "formstream/TextToBinary.h"
#include "platform/Exception.h"

namespace {

constexpr const char* kLineTooLong = "行超長";

std::string toBinary(const std::string& text) {
  vc::TMemoryStream in(text), out;
  vc::TextToBinary(in, out);
  return out.data();
}

std::string toText(const std::string& binary) {
  vc::TMemoryStream in(binary), out;
  vc::BinaryToText(in, out);
  return out.data();
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "round trip broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string binary;
  try {
    binary = toBinary(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const vc::Exception&) {
    return 0;
  }
  try {
    std::string again = toBinary(toText(binary));
    if (again != vc::test::canonicalStream(binary)) fail("rendering converts to other bytes");
    if (toBinary(toText(again)) != again) fail("second round changed the stream");
  } catch (const vc::Exception& e) {
    // A set renders on one line whatever its length, and the tokenizer
    // refuses lines beyond its 4096-byte chunk: a limit of the format.
    if (std::string_view(e.what()).starts_with(kLineTooLong)) return 0;
    std::fprintf(stderr, "%s\n", e.what());
    fail("accepted text gave a stream whose rendering does not convert");
  }
  return 0;
}
