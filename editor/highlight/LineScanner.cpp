#include "editor/highlight/LineScanner.h"

#include <cstring>

namespace vc {

void LineScanner::startLine(std::string_view line, int lineIndex) {
  m_line = reinterpret_cast<const unsigned char*>(line.data());
  const void* nul = line.empty() ? nullptr : std::memchr(line.data(), 0, line.size());
  m_size = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()) : line.size();
  m_lineIndex = lineIndex;
  m_run = 0;
  advance();
}

std::string_view LineScanner::tokenText() const {
  return {reinterpret_cast<const char*>(m_line) + m_tokenStart, m_run - m_tokenStart};
}

}  // namespace vc
