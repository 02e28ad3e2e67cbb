#include "translation/PoText.h"

#include <unordered_set>

#include "platform/Utf.h"

namespace vc {
namespace {

void quoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\v': out += "\\v"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          const unsigned v = static_cast<unsigned char>(c);
          out += '\\';
          out += static_cast<char>('0' + (v >> 6));
          out += static_cast<char>('0' + ((v >> 3) & 7));
          out += static_cast<char>('0' + (v & 7));
        } else {
          out += c;
        }
    }
  }
  out += "\"\n";
}

// KEY "text", or KEY "" and one line per line break when a break comes
// before the end.
void field(std::string& out, const char* key, std::string_view s) {
  out += key;
  out += ' ';
  const std::size_t firstBreak = s.find('\n');
  if (firstBreak == std::string_view::npos || firstBreak + 1 == s.size()) {
    quoted(out, s);
    return;
  }
  out += "\"\"\n";
  while (!s.empty()) {
    const std::size_t end = s.find('\n');
    const std::size_t take = end == std::string_view::npos ? s.size() : end + 1;
    quoted(out, s.substr(0, take));
    s.remove_prefix(take);
  }
}

void commentLines(std::string& out, const char* mark, std::string_view s) {
  while (!s.empty()) {
    const std::size_t end = s.find('\n');
    out += mark;
    out += s.substr(0, end);
    out += '\n';
    if (end == std::string_view::npos) break;
    s.remove_prefix(end + 1);
  }
}

// One quoted string at the start of `s` (after blanks); its text goes to
// `out`. False for anything but a plain string with nothing after it.
bool unquote(std::string_view s, std::string& out) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  if (s.empty() || s.front() != '"') return false;
  std::size_t i = 1;
  for (;; ++i) {
    if (i >= s.size()) return false;
    const char c = s[i];
    if (c == '"') break;
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= s.size()) return false;
    switch (s[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'v': out += '\v'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      default: {
        if (s[i] < '0' || s[i] > '7') return false;
        unsigned v = 0;
        int digits = 0;
        for (; digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++digits, ++i) v = v * 8 + (s[i] - '0');
        --i;
        if (v == 0 || v > 0x7F) return false;  // NUL, and bytes that may not be UTF-8: the library's
        out += static_cast<char>(v);
      }
    }
  }
  for (++i; i < s.size(); ++i)
    if (s[i] != ' ' && s[i] != '\t') return false;
  return true;
}

bool hasFuzzyFlag(std::string_view flags) {
  while (!flags.empty()) {
    std::size_t end = flags.find(',');
    std::string_view f = flags.substr(0, end);
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t')) f.remove_prefix(1);
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t')) f.remove_suffix(1);
    if (f == "fuzzy") return true;
    if (end == std::string_view::npos) break;
    flags.remove_prefix(end + 1);
  }
  return false;
}

// The charset a header names, upper-cased; empty when it names none.
std::string headerCharset(std::string_view header) {
  const std::size_t at = header.find("charset=");
  if (at == std::string_view::npos) return {};
  std::string cs;
  for (std::size_t i = at + 8; i < header.size() && header[i] != '\n' && header[i] != ';' && header[i] != ' '; ++i)
    cs += header[i] >= 'a' && header[i] <= 'z' ? static_cast<char>(header[i] - 'a' + 'A') : header[i];
  return cs;
}

}  // namespace

std::string poText(const std::string& header, const std::vector<PoEntry>& entries, const std::string& headerComment) {
  std::string out;
  std::size_t guess = header.size() + 64;
  for (const PoEntry& e : entries)
    guess += e.context.size() + e.msgid.size() + e.msgstr.size() + e.file.size() + e.comment.size() + 64;
  out.reserve(guess);
  if (headerComment.empty())
    out += "#, fuzzy\n";
  else
    commentLines(out, "# ", headerComment);
  field(out, "msgid", "");
  field(out, "msgstr", header);
  for (const PoEntry& e : entries) {
    out += '\n';
    commentLines(out, "#. ", e.comment);
    if (!e.file.empty()) {
      out += "#: ";
      out += e.file;
      out += ':';
      out += std::to_string(e.line);
      out += '\n';
    }
    if (e.fuzzy && e.pascalFormat)
      out += "#, fuzzy, object-pascal-format\n";
    else if (e.fuzzy)
      out += "#, fuzzy\n";
    else if (e.pascalFormat)
      out += "#, object-pascal-format\n";
    field(out, "msgctxt", e.context);
    field(out, "msgid", e.msgid);
    field(out, "msgstr", e.msgstr);
  }
  return out;
}

std::optional<std::vector<PoEntry>> quickReadPo(std::string_view text) {
  // Text that is not UTF-8 is the library's to report, with its place.
  if (text.find('\r') != std::string_view::npos || text.find('\0') != std::string_view::npos || !utf::isValidUtf8(text))
    return std::nullopt;
  enum class At { Between, Context, Id, Str };
  At at = At::Between;
  std::vector<PoEntry> entries;
  std::unordered_set<std::string> keys;
  // A guess that spares most regrowing: an entry takes some 80 bytes at least.
  entries.reserve(text.size() / 80);
  keys.reserve(text.size() / 80);
  PoEntry e;
  std::string* current = nullptr;
  bool header = false;

  auto finish = [&]() -> bool {
    if (at == At::Between) return true;
    if (at != At::Str) return false;  // an entry without msgstr
    std::string key = e.hasContext ? "c" + e.context : "n";
    key += '\0';
    key += e.msgid;
    if (!keys.insert(std::move(key)).second) return false;
    if (!e.hasContext && e.msgid.empty()) {
      if (header) return false;
      header = true;
      const std::string cs = headerCharset(e.msgstr);
      if (!cs.empty() && cs != "UTF-8" && cs != "CHARSET" && cs != "ASCII") return false;
    } else {
      entries.push_back(std::move(e));
    }
    e = PoEntry();
    current = nullptr;
    at = At::Between;
    return true;
  };

  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    std::size_t lead = 0;
    while (lead < line.size() && (line[lead] == ' ' || line[lead] == '\t')) ++lead;
    line.remove_prefix(lead);
    if (line.empty()) continue;
    if (line.front() == '#') {
      if (line.starts_with("#~")) return std::nullopt;  // obsolete entries: the library's reading
      if (at != At::Between && at != At::Str) return std::nullopt;
      if (at == At::Str && !finish()) return std::nullopt;
      if (line.starts_with("#,") && hasFuzzyFlag(line.substr(2))) e.fuzzy = true;
      continue;
    }
    if (line.front() == '"') {
      if (!current || !unquote(line, *current)) return std::nullopt;
      continue;
    }
    std::size_t word = 0;
    while (word < line.size() && line[word] != ' ' && line[word] != '\t' && line[word] != '"') ++word;
    const std::string_view keyword = line.substr(0, word);
    const std::string_view rest = line.substr(word);
    if (keyword == "msgctxt") {
      if (at == At::Str && !finish()) return std::nullopt;
      if (at != At::Between) return std::nullopt;
      e.hasContext = true;
      current = &e.context;
      at = At::Context;
    } else if (keyword == "msgid") {
      if (at == At::Str && !finish()) return std::nullopt;
      if (at != At::Between && at != At::Context) return std::nullopt;
      e.line = lineNumber;
      current = &e.msgid;
      at = At::Id;
    } else if (keyword == "msgstr") {
      if (at != At::Id) return std::nullopt;
      current = &e.msgstr;
      at = At::Str;
    } else {
      return std::nullopt;  // msgid_plural, msgstr[n] and anything unknown
    }
    if (!unquote(rest, *current)) return std::nullopt;
  }
  if (!finish()) return std::nullopt;
  return entries;
}

}  // namespace vc
