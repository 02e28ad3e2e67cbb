#include "formstream/TParser.h"

#include <cstring>

#include "formstream/Errors.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int hexValue(unsigned char c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// Bytes 0x80-0xFF belong to identifiers: names written by UTF-8 or Big5
// tools carry them, and outside string literals they mean nothing else.
bool isIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool isIdentChar(unsigned char c) { return isIdentStart(c) || isDigit(c); }

bool isFloatChar(unsigned char c) { return isDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e'; }

constexpr const char* kIdentifierExpected = "希望一個標識符";
constexpr const char* kStringExpected = "希望一個字符串";
constexpr const char* kNumberExpected = "希望一個數字";
constexpr const char* kInvalidString = "無效的字符串常數";
constexpr const char* kLineTooLong = "行超長";
constexpr const char* kInvalidBinary = "無效的二進制值";

}  // namespace

TParser::TParser(TStream& stream) : m_stream(stream), m_buf(new char[kBufferSize]) {
  m_buf[0] = 0;
  readBuffer();
  nextToken();
}

TParser::~TParser() {
  // The stream stands behind the last byte read into the buffer.
  std::int64_t back = static_cast<std::int64_t>(m_dataEnd - std::min(m_tokenStart, m_dataEnd));
  if (back == 0) return;
  try {
    m_stream.seek(-back, SeekOrigin::Current);
  } catch (...) {
    // A pipe cannot move back; nothing reads it after the text anyway.
  }
}

void TParser::readBuffer() {
  if (m_sourceEnd < kBufferSize) m_buf[m_sourceEnd] = m_saved;
  std::size_t keep = m_dataEnd - m_pos;
  std::memmove(m_buf.get(), m_buf.get() + m_pos, keep);
  m_tokenStart = m_tokenStart >= m_pos ? m_tokenStart - m_pos : 0;
  m_pos = 0;
  m_dataEnd = keep;
  while (m_dataEnd < kBufferSize) {
    std::size_t got = m_stream.read(m_buf.get() + m_dataEnd, kBufferSize - m_dataEnd);
    if (got == 0) break;
    m_dataEnd += got;
  }
  m_sourceEnd = m_dataEnd;
  if (m_dataEnd == kBufferSize) {
    // Cut behind the last line feed, so that the chunk ends at a line start.
    std::size_t lf = kBufferSize - 2;
    while (lf >= 1 && m_buf[lf] != '\n') --lf;
    if (lf == 0) {
      m_sourceEnd = 0;
      m_saved = m_buf[0];
      error(kLineTooLong);
    }
    m_sourceEnd = lf + 1;
  }
  m_saved = m_buf[m_sourceEnd];
  m_buf[m_sourceEnd] = 0;
}

void TParser::skipBlanks() {
  for (;;) {
    unsigned char c = at(m_pos);
    if (c == 0) {
      readBuffer();
      if (at(m_pos) == 0) return;
      continue;
    }
    if (c == '\n') ++m_line;
    else if (c > ' ') return;
    ++m_pos;
  }
}

int TParser::nextToken() {
  skipBlanks();
  m_tokenStart = m_pos;
  m_floatType = 0;
  unsigned char c = at(m_pos);
  if (c == '\'' || c == '#') {
    readString();
  } else if (c == '$') {
    ++m_pos;
    while (isHexDigit(at(m_pos))) ++m_pos;
    m_token = tokInteger;
  } else if (c == '-' || isDigit(c)) {
    ++m_pos;
    while (isDigit(at(m_pos))) ++m_pos;
    m_token = tokInteger;
    while (isFloatChar(at(m_pos))) {
      ++m_pos;
      m_token = tokFloat;
    }
    unsigned char s = at(m_pos);
    if (s == 'C' || s == 'D' || s == 'S' || s == 'c' || s == 'd' || s == 's') {
      m_floatType = static_cast<char>(s);
      ++m_pos;
      m_token = tokFloat;
    }
  } else if (isIdentStart(c)) {
    ++m_pos;
    while (isIdentChar(at(m_pos))) ++m_pos;
    m_token = tokSymbol;
  } else if (c == 0) {
    m_token = tokEOF;
  } else {
    ++m_pos;
    m_token = c;
  }
  return m_token;
}

void TParser::readString() {
  // One pass gathers code units and notes whether any # code needs 16 bits;
  // the 8-bit value is then the same units taken as bytes.
  std::u16string units;
  bool wide = false;
  std::size_t p = m_pos;
  for (;;) {
    unsigned char c = at(p);
    if (c == '#') {
      ++p;
      std::uint32_t value = 0;   // saturates; only "above 255" matters beyond 16 bits
      std::uint32_t low16 = 0;
      while (isDigit(at(p))) {
        unsigned d = at(p) - '0';
        if (value < 100000) value = value * 10 + d;
        low16 = (low16 * 10 + d) & 0xFFFF;
        ++p;
      }
      if (value > 255) wide = true;
      units.push_back(static_cast<char16_t>(low16));
    } else if (c == '\'') {
      ++p;
      for (;;) {
        unsigned char q = at(p);
        if (q == 0 || q == '\r' || q == '\n') error(kInvalidString);
        ++p;
        if (q == '\'') {
          if (at(p) != '\'') break;
          ++p;
        }
        units.push_back(q);
      }
    } else {
      break;
    }
  }
  m_pos = p;
  if (wide) {
    m_token = tokWString;
    m_wide = std::move(units);
    m_string.clear();
  } else {
    m_token = tokString;
    m_string.assign(units.size(), '\0');
    for (std::size_t i = 0; i < units.size(); ++i) m_string[i] = static_cast<char>(units[i]);
    m_wide.clear();
  }
}

std::string TParser::tokenString() const {
  if (m_token == tokString) return m_string;
  return std::string(rawText());
}

std::u16string TParser::tokenWideString() const {
  if (m_token == tokWString) return m_wide;
  std::u16string r;
  if (m_token == tokString)
    for (char c : m_string) r.push_back(static_cast<unsigned char>(c));
  return r;
}

std::int64_t TParser::tokenInt() const {
  std::string text(rawText());
  if (auto v = parseInt64(text)) return *v;
  throw EConvertError("'" + cp950::toUtf8(text) + "' is not a valid integer value");
}

Extended TParser::tokenFloat() const {
  std::string_view text = rawText();
  if (m_floatType != 0) text.remove_suffix(1);
  if (auto v = parseExtended(text)) return *v;
  throw EConvertError("'" + cp950::toUtf8(text) + "' is not a valid floating point value");
}

bool TParser::tokenSymbolIs(std::string_view symbol) const {
  if (m_token != tokSymbol) return false;
  std::string_view text = rawText();
  if (text.size() != symbol.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(symbol[i]);
    if (a >= 'a' && a <= 'z') a -= 32;
    if (b >= 'a' && b <= 'z') b -= 32;
    if (a != b) return false;
  }
  return true;
}

void TParser::checkToken(int kind) const {
  if (m_token == kind) return;
  switch (kind) {
    case tokSymbol: error(kIdentifierExpected);
    case tokString:
    case tokWString: error(kStringExpected);
    case tokInteger:
    case tokFloat: error(kNumberExpected);
    default: error("希望一個''" + cp950::toUtf8(std::string(1, static_cast<char>(kind))) + "''");
  }
}

void TParser::checkTokenSymbol(std::string_view symbol) const {
  if (!tokenSymbolIs(symbol)) error("希望一個" + cp950::toUtf8(symbol));
}

std::string TParser::tokenComponentIdent() {
  checkToken(tokSymbol);
  while (at(m_pos) == '.') {
    ++m_pos;
    if (!isIdentStart(at(m_pos))) error(kIdentifierExpected);
    do ++m_pos;
    while (isIdentChar(at(m_pos)));
  }
  return std::string(rawText());
}

void TParser::hexToBinary(TStream& out) {
  unsigned char bytes[256];
  skipBlanks();
  while (at(m_pos) != '}') {
    std::size_t n = 0;
    while (n < sizeof bytes && isHexDigit(at(m_pos)) && isHexDigit(at(m_pos + 1))) {
      bytes[n++] = static_cast<unsigned char>(hexValue(at(m_pos)) << 4 | hexValue(at(m_pos + 1)));
      m_pos += 2;
    }
    if (n == 0) error(kInvalidBinary);
    out.writeBuffer(bytes, n);
    skipBlanks();
  }
  nextToken();
}

void TParser::error(const std::string& message, int line) const {
  throw EParserError(message + " 在第 " + std::to_string(line) + " 行");
}

}  // namespace vc
