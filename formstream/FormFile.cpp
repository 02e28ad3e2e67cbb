#include "formstream/FormFile.h"

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"

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
  if (head[0] != 0xFF || (head[1] | head[2] << 8) != 10) throw EInvalidImage(msg::kInvalidStreamFormat);
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

void FormFileToText(TStream& input, TStream& output) {
  ReadFormFileHeader(input);
  BinaryToText(input, output);
}

}  // namespace vc
