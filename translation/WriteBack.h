#pragma once
// Write-back of string table values into form text: a row's property line is
// rebuilt from its name and modified value and put in place of the line (and
// of the lines its old value continued on). Shared by the string page and
// `formtext apply`.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Outcome.h"

namespace vc {

// One string row as write-back reads it. The modified value of a string row
// (its line holds a string literal) is the decoded text, which is written
// back quoted; any other row's value is written as it stands.
struct WriteBackRow {
  std::size_t lineNumber = 0;  // 1-based line of the text; 0 names no line
  std::string name;            // property name (CP950)
  std::optional<std::string> modified;  // CP950
  bool removed = false;  // an earlier write-back removed the row's line
  // The modified value as text, in place of modified: a string row may then
  // hold characters CP950 cannot (written as # codes of a wide string).
  std::optional<std::u16string> modifiedText = std::nullopt;
  // The source code page of the line: a string row whose text is the line's
  // string read in it is unchanged and left as it is.
  int codePage = 950;
};

// A quoted form text string holding value: apostrophes doubled, control
// bytes as # codes, so that the text stays convertible.
std::string quotedFormString(std::string_view value);

// The line a property rebuilds to: the indentation of the line it replaces,
// the name, " = " and the value as given.
std::string rebuiltLine(std::string_view line, std::string_view name, std::string_view value);

// True when the line, with trailing blanks and control characters cut, ends
// in "=" or "+": the value goes on on the next line.
bool valueContinues(std::string_view line);

// Writes rows into a text one after another. Lines keep the numbers they had
// in the text as given: a row names its line by that number also after an
// earlier row removed lines above it.
class WriteBack {
 public:
  using LineAt = std::function<std::string_view(std::size_t)>;
  WriteBack(std::size_t lineCount, LineAt lineAt);

  // Writes one row. Done when it was written or when its value is the value
  // the line holds already (the line is then left as it is); else left out
  // with the message (UTF-8) that says why the text was left as it was.
  Outcome<> write(const WriteBackRow& row);

  // True when the last write() rebuilt its line (false when it was left alone).
  bool lastWriteChanged() const { return m_lastChanged; }
  bool changed() const { return m_first <= m_last; }
  // The changed part as original lines [first, first + count): everything
  // from the first changed line to the last one.
  std::size_t firstChanged() const { return m_first; }
  std::size_t changedCount() const { return changed() ? m_last - m_first + 1 : 0; }
  // The lines that stand in place of the changed part.
  std::vector<std::string> changedLines() const;
  // The whole text after the writes.
  std::vector<std::string> lines() const;
  // The new 1-based number of an original line, 0 when it was removed or is
  // not a line of the text.
  std::size_t lineAfter(std::size_t lineNumber) const;
  bool removedLines() const { return m_removedCount > 0; }

 private:
  std::string_view current(std::size_t index) const;
  std::size_t nextLive(std::size_t index);  // first line at or after index still there
  void collect(std::size_t first, std::size_t end, std::vector<std::string>& out) const;

  std::size_t m_count;
  LineAt m_lineAt;
  std::vector<std::optional<std::string>> m_replaced;  // by original index, sized on first write
  std::vector<std::size_t> m_next;                     // removed lines point further on
  mutable std::vector<std::size_t> m_removedBefore;    // built on demand for lineAfter
  std::size_t m_removedCount = 0;
  std::size_t m_first = static_cast<std::size_t>(-1);
  std::size_t m_last = 0;
  bool m_lastChanged = false;
};

}  // namespace vc
