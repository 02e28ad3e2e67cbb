#include "formstream/FormFile.h"

#include <algorithm>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/TFiler.h"
#include "platform/LittleEndian.h"

namespace vc {

namespace {
// A class name is a short string, so its upper-cased copy in the header has
// at most 255 bytes before the terminating 0.
constexpr int kMaxNameLength = 255;
}  // namespace

// The header is read byte by byte instead of reading ahead and seeking back,
// so that it also works on a pipe and finds the end of names of any length.
void ReadFormFileHeader(TStream& stream) {
  unsigned char head[3] = {0, 0, 0};
  std::size_t got = stream.read(head, 3);
  (void)got;  // a short read leaves zeros, which fail the check below
  if (head[0] != 0xFF || le::u16(head + 1) != 10) throw EInvalidImage(msg::kInvalidStreamFormat);
  unsigned char b = 0;
  int n = 0;
  while (true) {
    if (stream.read(&b, 1) != 1) return;  // BinaryToText then reports the short stream
    if (b == 0) break;
    if (++n > kMaxNameLength) throw EInvalidImage(msg::kInvalidStreamFormat);
  }
  unsigned char flagsAndSize[6];
  stream.read(flagsAndSize, sizeof flagsAndSize);  // not examined
}

namespace {

// The root object's class name: behind "TPF0" an object prefix (0xF0 and up)
// may come, with a child position when its flag says so.
std::string_view rootClassName(std::string_view stream) {
  if (!stream.starts_with("TPF0")) throw EReadError(msg::kInvalidStreamFormat);
  std::size_t at = 4;
  auto next = [&]() -> unsigned char {
    if (at >= stream.size()) throw EReadError(msg::kInvalidStreamFormat);
    return static_cast<unsigned char>(stream[at++]);
  };
  unsigned char n = next();
  if (n >= 0xF0) {
    if (n & flagChildPos) {
      switch (next()) {
        case tagInt8: at += 1; break;
        case tagInt16: at += 2; break;
        case tagInt32: at += 4; break;
        default: throw EReadError(msg::kInvalidStreamFormat);  // no other tag holds a position
      }
    }
    n = next();
  }
  if (at > stream.size() || n > stream.size() - at) throw EReadError(msg::kInvalidStreamFormat);
  return stream.substr(at, n);
}

// The header of a form file whose stream has size bytes; head is the start
// of the stream, at least as far as the root object's class name.
std::string formFileHeader(std::string_view head, std::uint64_t size) {
  const std::string_view name = rootClassName(head);
  // The header counts the stream's bytes in 32 bits.
  if (size > 0xFFFFFFFFu) throw EWriteError(msg::kWriteError);
  std::string header("\xFF\x0A\x00", 3);  // numeric resource type RT_RCDATA
  for (char c : name) header += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  header += std::string("\x00\x30\x10", 3);  // end of the name, memory flags
  for (int i = 0; i < 4; ++i) header += static_cast<char>((size >> (8 * i)) & 0xFF);
  return header;
}

// "TPF0", an object prefix with a 32-bit child position, the name's length byte and the name.
constexpr std::size_t kMaxRootHead = 4 + 1 + 1 + 4 + 1 + kMaxNameLength;

}  // namespace

void writeFormFile(std::string_view binaryStream, TStream& output) {
  output.writeBytes(formFileHeader(binaryStream, binaryStream.size()));
  output.writeBytes(binaryStream);
}

void writeFormFile(TStream& binaryStream, TStream& output) {
  const auto size = static_cast<std::uint64_t>(binaryStream.size());
  binaryStream.setPosition(0);
  std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxRootHead)), '\0');
  binaryStream.readBuffer(head.data(), head.size());
  output.writeBytes(formFileHeader(head, size));
  output.writeBytes(head);
  if (size > head.size()) output.copyFrom(binaryStream, static_cast<std::int64_t>(size - head.size()));
}

void FormFileToText(TStream& input, TStream& output) {
  ReadFormFileHeader(input);
  BinaryToText(input, output);
}

}  // namespace vc
