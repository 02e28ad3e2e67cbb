#include "editor/model/TextLines.h"

#include "platform/Cp950.h"

namespace vc {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    pieces.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

bool endsInHalfCharacter(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (cp950::isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 == bytes.size()) return true;
    i += cp950::charLength(bytes, i);
  }
  return false;
}

}  // namespace vc
