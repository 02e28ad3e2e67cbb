#include "translation/WriteBack.h"

#include <algorithm>

#include "platform/Cp950.h"
#include "translation/StringExtraction.h"
#include "translation/StringRows.h"

namespace vc {
namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string lineText(std::size_t lineNumber) { return "第 " + std::to_string(lineNumber) + " 行"; }

// A list "(", a collection "<" or a binary block "{" starts the value.
bool holdsBlock(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  std::size_t v = eq + 1;
  while (v < line.size() && isBlankOrControl(line[v])) ++v;
  return v < line.size() && (line[v] == '(' || line[v] == '<' || line[v] == '{');
}

}  // namespace

// '=', '+', '\'' and every byte below 0x20 lie below the trail byte range of
// CP950, so none of them can be half of a double-byte character.
std::string quotedFormString(std::string_view value) {
  if (value.empty()) return "''";
  std::string out;
  bool open = false;
  for (char c : value) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20) {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(b);
      continue;
    }
    if (!open) out += '\'';
    open = true;
    out += c;
    if (c == '\'') out += '\'';
  }
  if (open) out += '\'';
  return out;
}

std::string rebuiltLine(std::string_view line, std::string_view name, std::string_view value) {
  std::size_t indent = 0;
  while (indent < line.size() && (line[indent] == ' ' || line[indent] == '\t')) ++indent;
  std::string rebuilt(line.substr(0, indent));
  rebuilt += name;
  rebuilt += " = ";
  rebuilt += value;
  return rebuilt;
}

bool valueContinues(std::string_view line) {
  std::size_t e = line.size();
  while (e > 0 && isBlankOrControl(line[e - 1])) --e;
  return e > 0 && (line[e - 1] == '=' || line[e - 1] == '+');
}

WriteBack::WriteBack(std::size_t lineCount, LineAt lineAt) : m_count(lineCount), m_lineAt(std::move(lineAt)) {}

std::string_view WriteBack::current(std::size_t index) const {
  if (!m_replaced.empty() && m_replaced[index]) return *m_replaced[index];
  return m_lineAt(index);
}

std::size_t WriteBack::nextLive(std::size_t index) {
  std::size_t root = index;
  while (m_next[root] != root) root = m_next[root];
  while (m_next[index] != root) {
    std::size_t on = m_next[index];
    m_next[index] = root;
    index = on;
  }
  return root;
}

Outcome<> WriteBack::write(const WriteBackRow& row) {
  m_lastChanged = false;
  const std::string name = cp950::toUtf8(row.name);
  const std::string where = lineText(row.lineNumber);
  if (!row.modified && !row.modifiedText) return Outcome<>::leftOut(where + "的 " + name + " 沒有修改後的值，未回寫。");
  if (row.name.empty()) return Outcome<>::leftOut(where + "沒有屬性名稱，未回寫。");
  const std::string removed = where + "已因前面的回寫而移除，未回寫 " + name + "。";
  if (row.removed) return Outcome<>::leftOut(removed);
  if (row.lineNumber == 0 || row.lineNumber > m_count) return Outcome<>::leftOut(where + "不在文字中，未回寫。");
  if (m_next.empty()) {
    m_next.resize(m_count + 1);
    for (std::size_t i = 0; i <= m_count; ++i) m_next[i] = i;
    m_replaced.resize(m_count);
  }
  const std::size_t index = row.lineNumber - 1;
  if (m_next[index] != index) return Outcome<>::leftOut(removed);
  std::string_view line = current(index);
  if (extractedName(line) != row.name) return Outcome<>::leftOut(where + "已不是 " + name + " 屬性，未回寫。");
  if (holdsBlock(line)) return Outcome<>::leftOut(where + "的 " + name + " 是清單、集合或二進位資料，未回寫。");
  const LineAt currentAt = [this](std::size_t i) { return current(i); };
  std::string value;
  if (isStringRow(m_count, currentAt, index)) {
    std::u16string text = row.modifiedText ? *row.modifiedText : cp950::decode(*row.modified);
    if (stringRowValue(m_count, currentAt, index, row.codePage) == text) return {};
    value = quotedFormText(text);
  } else {
    if (row.modifiedText) {
      std::optional<std::string> bytes = cp950::encode(*row.modifiedText);
      if (!bytes) return Outcome<>::leftOut(where + "的 " + name + " 含有無法以 Big5 碼表示的字元，未回寫。");
      value = std::move(*bytes);
    } else {
      value = *row.modified;
    }
    std::string_view now = line.substr(line.find('=') + 1);
    while (!now.empty() && isBlankOrControl(now.front())) now.remove_prefix(1);
    while (!now.empty() && isBlankOrControl(now.back())) now.remove_suffix(1);
    if (now == value) return {};
  }
  std::string rebuilt = rebuiltLine(line, row.name, value);
  // The old value may go on over the following lines; they all make way.
  std::size_t last = index;
  // A "+" may also open the next line.
  auto opensWithPlus = [](std::string_view l) {
    std::size_t b = 0;
    while (b < l.size() && isBlankOrControl(l[b])) ++b;
    return b < l.size() && l[b] == '+';
  };
  for (;;) {
    std::size_t next = nextLive(last + 1);
    if (next >= m_count) break;
    if (!valueContinues(current(last)) && !opensWithPlus(current(next))) break;
    m_replaced[next].reset();
    m_next[next] = next + 1;
    ++m_removedCount;
    m_removedBefore.clear();
    last = next;
  }
  m_replaced[index] = std::move(rebuilt);
  m_lastChanged = true;
  if (!changed()) {
    m_first = index;
    m_last = last;
  } else {
    m_first = std::min(m_first, index);
    m_last = std::max(m_last, last);
  }
  return {};
}

void WriteBack::collect(std::size_t first, std::size_t end, std::vector<std::string>& out) const {
  for (std::size_t i = first; i < end; ++i)
    if (m_next.empty() || m_next[i] == i) out.emplace_back(current(i));
}

std::vector<std::string> WriteBack::changedLines() const {
  std::vector<std::string> out;
  if (changed()) collect(m_first, m_last + 1, out);
  return out;
}

std::vector<std::string> WriteBack::lines() const {
  std::vector<std::string> out;
  out.reserve(m_count - m_removedCount);
  collect(0, m_count, out);
  return out;
}

std::size_t WriteBack::lineAfter(std::size_t lineNumber) const {
  if (lineNumber == 0 || lineNumber > m_count) return 0;
  if (m_next.empty()) return lineNumber;
  const std::size_t index = lineNumber - 1;
  if (m_next[index] != index) return 0;
  if (m_removedBefore.empty()) {
    m_removedBefore.resize(m_count + 1);
    std::size_t gone = 0;
    for (std::size_t i = 0; i < m_count; ++i) {
      m_removedBefore[i] = gone;
      if (m_next[i] != i) ++gone;
    }
    m_removedBefore[m_count] = gone;
  }
  return lineNumber - m_removedBefore[index];
}

}  // namespace vc
