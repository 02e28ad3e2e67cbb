#pragma once
// The part both highlighters share: the line being scanned, the current token
// and the range state carried to the next line. Subclasses scan in advance().
#include <cstddef>
#include <string_view>

#include "editor/highlight/Highlighter.h"

namespace vc {

class LineScanner : public Highlighter {
 public:
  void startLine(std::string_view line, int lineIndex) override;
  bool atLineEnd() const override { return m_kind == m_endOfLineKind; }
  int tokenStart() const override { return static_cast<int>(m_tokenStart); }
  std::string_view tokenText() const override;
  int tokenKind() const override { return m_kind; }
  RangeState rangeState() const override { return m_range; }

 protected:
  LineScanner(int endOfLineKind, RangeState initialRange)
      : m_kind(endOfLineKind), m_range(initialRange), m_endOfLineKind(endOfLineKind) {}

  // The byte at i, or 0 at and behind the end, so scans stop there.
  unsigned char at(std::size_t i) const { return i < m_size ? m_line[i] : 0; }

  const unsigned char* m_line = nullptr;
  std::size_t m_size = 0;  // up to the first NUL
  std::size_t m_run = 0;
  std::size_t m_tokenStart = 0;
  int m_kind;
  int m_lineIndex = 0;
  RangeState m_range;

 private:
  int m_endOfLineKind;
};

}  // namespace vc
