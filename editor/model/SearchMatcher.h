#pragma once
// Finds the non-overlapping occurrences of a byte pattern in one line with a
// quick-search skip table. A match never begins or ends inside a double-byte
// CP950 character, and case folding touches only single-byte letters, so a
// Big5 character whose second byte is an ASCII letter is never matched or
// changed by halves.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

class SearchMatcher {
 public:
  SearchMatcher(std::string_view pattern, bool matchCase, bool wholeWord);

  // 0-based offsets of the matches in line, left to right; each search goes
  // on after the last byte of the previous match.
  void findAll(std::string_view line, std::vector<int>& offsets) const;
  std::size_t patternLength() const { return m_pattern.size(); }

  // Letter or digit in the single-byte sense the whole-word rule uses.
  static bool isWordByte(unsigned char b);

 private:
  std::string m_pattern;  // folded unless matchCase
  mutable std::string m_folded;  // the folded line, reused from line to line
  bool m_matchCase;
  bool m_wholeWord;
  std::array<std::size_t, 256> m_shift{};
};

}  // namespace vc
