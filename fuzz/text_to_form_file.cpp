// TextToFormFile on arbitrary text: a failure leaves the output untouched; a
// form file it writes reads back through its header, and its rendering
// converts to a form file for the same class with the canonical stream.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Canonical.h"
#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "platform/Exception.h"

namespace {

constexpr const char* kLineTooLong = "行超長";

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "form file broken: %s\n", what);
  std::abort();
}

std::string formFile(const std::string& text) {
  vc::TMemoryStream in(text), out;
  try {
    vc::TextToFormFile(in, out);
  } catch (const vc::Exception&) {
    if (out.size() != 0) fail("output written before a failure");
    throw;
  }
  return out.data();
}

// Splits a form file into header and stream, checking the header on the way.
std::string streamOf(const std::string& file, std::string& header) {
  vc::TMemoryStream in(file);
  vc::ReadFormFileHeader(in);
  auto start = static_cast<std::size_t>(in.position());
  header = file.substr(0, start);
  std::string stream = file.substr(start);
  std::uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size |= static_cast<std::uint32_t>(static_cast<unsigned char>(header[start - 4 + i])) << (8 * i);
  if (size != stream.size() || stream.compare(0, 4, "TPF0") != 0) fail("header does not describe the stream");
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string file;
  try {
    file = formFile(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const vc::Exception&) {
    return 0;
  }
  try {
    std::string header, header2;
    std::string stream = streamOf(file, header);
    vc::TMemoryStream in(stream), text;
    vc::BinaryToText(in, text);
    std::string file2 = formFile(text.data());
    std::string stream2 = streamOf(file2, header2);
    if (stream2 != vc::test::canonicalStream(stream)) fail("rendering converts to another stream");
    if (header.substr(0, header.size() - 4) != header2.substr(0, header2.size() - 4)) fail("class name changed");
  } catch (const vc::Exception& e) {
    // A set renders on one line whatever its length, and the tokenizer
    // refuses lines beyond its 4096-byte chunk: a limit of the format.
    if (std::string_view(e.what()).starts_with(kLineTooLong)) return 0;
    std::fprintf(stderr, "%s\n", e.what());
    fail("a written form file does not read back");
  }
  return 0;
}
