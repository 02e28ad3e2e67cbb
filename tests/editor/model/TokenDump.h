#pragma once
// Scans lines the way the editor does and renders the tokens as text.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "editor/highlight/Highlighter.h"

namespace vc::test {

// "kind:text" per token, tokens of one line joined by " | ".
inline std::string scanLine(Highlighter& h, const std::string& line) {
  std::string out;
  h.startLine(line, 0);
  while (!h.atLineEnd()) {
    if (!out.empty()) out += " | ";
    out += std::to_string(h.tokenKind()) + ":" + std::string(h.tokenText());
    h.advance();
  }
  return out;
}

// Each line scanned with the state carried over, as the full rescan does.
inline std::vector<std::string> scanLines(Highlighter& h, const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  h.resetRangeState();
  for (const std::string& l : lines) {
    RangeState s = h.rangeState();
    h.setRangeState(s);
    out.push_back(scanLine(h, l));
  }
  return out;
}

// Scans line from range state s and checks that the tokens are non-empty,
// follow each other without gaps and cover the whole line.
inline void expectTokensCoverLine(Highlighter& h, const std::string& line, RangeState s) {
  h.setRangeState(s);
  h.startLine(line, 0);
  std::size_t covered = 0;
  int guard = 0;
  while (!h.atLineEnd() && ++guard < 1000) {
    EXPECT_EQ(static_cast<std::size_t>(h.tokenStart()), covered);
    EXPECT_FALSE(h.tokenText().empty());
    covered += h.tokenText().size();
    h.advance();
  }
  EXPECT_EQ(covered, line.size()) << "range state " << s;
}

}  // namespace vc::test
