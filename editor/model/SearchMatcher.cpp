#include "editor/model/SearchMatcher.h"

#include <cstring>

#include "platform/Cp950.h"

namespace vc {
namespace {

// Lower-cases the single-byte letters of text, leaving both bytes of every
// double-byte character alone.
void foldInto(std::string_view text, std::string& out) {
  out.assign(text.data(), text.size());
  for (std::size_t i = 0; i < out.size();) {
    auto b = static_cast<unsigned char>(out[i]);
    if (cp950::isLeadByte(b) && i + 1 < out.size()) {
      i += 2;
      continue;
    }
    if (b >= 'A' && b <= 'Z') out[i] = static_cast<char>(b + 32);
    ++i;
  }
}

// Walks the characters of a line forward to answer "does a character start
// here?" for positions asked in increasing order, in linear time overall.
class Boundaries {
 public:
  explicit Boundaries(std::string_view line) : m_line(line) {}
  bool startsAt(std::size_t pos) {
    while (m_pos < pos) {
      m_prev = m_pos;
      m_pos += cp950::charLength(m_line, m_pos);
    }
    return m_pos == pos;
  }
  // After startsAt(pos) returned true: the character before pos is double-byte.
  bool doubleByteBefore(std::size_t pos) const { return pos >= 2 && m_prev == pos - 2 && m_pos == pos; }

 private:
  std::string_view m_line;
  std::size_t m_pos = 0;
  std::size_t m_prev = 0;
};

}  // namespace

bool SearchMatcher::isWordByte(unsigned char b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

SearchMatcher::SearchMatcher(std::string_view pattern, bool matchCase, bool wholeWord)
    : m_matchCase(matchCase), m_wholeWord(wholeWord) {
  if (matchCase)
    m_pattern.assign(pattern.data(), pattern.size());
  else
    foldInto(pattern, m_pattern);
  const std::size_t m = m_pattern.size();
  m_shift.fill(m + 1);
  for (std::size_t i = 0; i < m; ++i) m_shift[static_cast<unsigned char>(m_pattern[i])] = m - i;
}

void SearchMatcher::findAll(std::string_view line, std::vector<int>& offsets) const {
  offsets.clear();
  const std::size_t m = m_pattern.size();
  const std::size_t n = line.size();
  if (m == 0 || m > n) return;
  std::string_view text = line;
  if (!m_matchCase) {
    foldInto(line, m_folded);
    text = m_folded;
  }
  // Every byte of the line below 0x80 makes the boundary checks trivial.
  bool ascii = true;
  for (unsigned char c : line)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  Boundaries starts(line), ends(line);
  const char* t = text.data();
  const char* p = m_pattern.data();
  std::size_t pos = 0;
  while (pos + m <= n) {
    if (t[pos] == p[0] && std::memcmp(t + pos, p, m) == 0) {
      bool ok = ascii || (starts.startsAt(pos) && ends.startsAt(pos + m));
      if (ok && m_wholeWord) {
        bool before = pos > 0 && isWordByte(static_cast<unsigned char>(line[pos - 1])) &&
                      (ascii || !starts.doubleByteBefore(pos));
        // pos + m starts a character here, so a letter there is a single byte.
        bool after = pos + m < n && isWordByte(static_cast<unsigned char>(line[pos + m]));
        ok = !before && !after;
      }
      if (ok) {
        offsets.push_back(static_cast<int>(pos));
        pos += m;
        continue;
      }
    }
    if (pos + m >= n) break;
    pos += m_shift[static_cast<unsigned char>(t[pos + m])];
  }
}

}  // namespace vc
