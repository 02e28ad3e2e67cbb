#include <string>

#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "formstream/TFiler.h"
#include "formstream/TextToBinary.h"

namespace vc {

namespace {

// The root object's class name, behind any object prefix and child position.
std::string rootClassName(const std::string& stream) {
  std::size_t pos = 4;  // behind "TPF0"
  auto next = [&]() -> unsigned char {
    if (pos >= stream.size()) throw EWriteError(msg::kWriteError);  // not from our own writer
    return static_cast<unsigned char>(stream[pos++]);
  };
  unsigned char b = next();
  if (b >= 0xF0) {
    if (b & flagChildPos) {
      unsigned char tag = next();
      pos += tag == tagInt8 ? 1 : tag == tagInt16 ? 2 : tag == tagInt32 ? 4 : 0;
    }
    b = next();
  }
  if (pos + b > stream.size()) throw EWriteError(msg::kWriteError);
  std::string name = stream.substr(pos, b);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

}  // namespace

void TextToFormFile(TStream& input, TStream& output) {
  TMemoryStream binary;
  TextToBinary(input, binary);
  const std::string& bytes = binary.data();
  std::string header = "\xFF\x0A";
  header.push_back('\0');
  header += rootClassName(bytes);
  header.push_back('\0');
  header += "\x30\x10";
  auto size = static_cast<std::uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(size >> (8 * i)));
  output.writeBytes(header);
  output.writeBytes(bytes);
}

}  // namespace vc
