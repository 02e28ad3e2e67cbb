#include "formstream/TParser.h"

#include <array>
#include <bit>
#include <cstring>

#include "formstream/Errors.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

// Character classes of the tokenizer, one table lookup per byte.
enum : unsigned char {
  kDigit = 1,
  kHexDigit = 2,
  // Bytes 0x80-0xFF belong to identifiers: names written by UTF-8 or Big5
  // tools carry them, and outside string literals they mean nothing else.
  kIdentStart = 4,
  kIdentChar = 8,
  kFloatChar = 16,
  kQuotedStop = 32,  // ends a run of plain bytes inside quotes
};

constexpr std::array<unsigned char, 256> kClasses = [] {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    bool digit = c >= '0' && c <= '9';
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
    unsigned char k = 0;
    if (digit) k |= kDigit | kHexDigit | kIdentChar | kFloatChar;
    if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) k |= kHexDigit;
    if (letter) k |= kIdentStart | kIdentChar;
    if (c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e') k |= kFloatChar;
    if (c == 0 || c == '\r' || c == '\n' || c == '\'') k |= kQuotedStop;
    t[static_cast<std::size_t>(c)] = k;
  }
  return t;
}();

// The value of a hexadecimal digit; 0xFF for any other byte.
constexpr std::array<unsigned char, 256> kHexValues = [] {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[static_cast<std::size_t>(c)] = c >= '0' && c <= '9'   ? static_cast<unsigned char>(c - '0')
                                     : c >= 'A' && c <= 'F' ? static_cast<unsigned char>(c - 'A' + 10)
                                     : c >= 'a' && c <= 'f' ? static_cast<unsigned char>(c - 'a' + 10)
                                                            : 0xFF;
  return t;
}();

// Eight bytes from p as one word, the first byte lowest. The buffer has
// kWordPadding bytes behind its end, so a word may start at any position up
// to the chunk's closing 0; the bytes behind that 0 never decide anything.
std::uint64_t wordAt(const unsigned char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// Nonzero when a byte of w is below n (n at most 128); exact for "any".
constexpr std::uint64_t bytesBelow(std::uint64_t w, unsigned n) { return (w - kOnes * n) & ~w & kHighs; }
constexpr std::uint64_t bytesEqual(std::uint64_t w, unsigned char c) { return bytesBelow(w ^ (kOnes * c), 1); }

// The count of blanks at p: the first byte that is not one ends the run.
std::size_t blankRun(const unsigned char* p) {
  std::size_t n = 0;
  for (;;) {
    std::uint64_t other = wordAt(p + n) ^ (kOnes * ' ');
    if (other != 0) return n + static_cast<std::size_t>(std::countr_zero(other)) / 8;
    n += 8;
  }
}

bool is(unsigned char c, unsigned char cls) { return (kClasses[c] & cls) != 0; }
bool isDigit(unsigned char c) { return is(c, kDigit); }
bool isHexDigit(unsigned char c) { return is(c, kHexDigit); }
bool isIdentStart(unsigned char c) { return is(c, kIdentStart); }
bool isIdentChar(unsigned char c) { return is(c, kIdentChar); }
bool isFloatChar(unsigned char c) { return is(c, kFloatChar); }

constexpr const char* kNumberExpected = "希望一個數字";
constexpr const char* kInvalidString = "無效的字符串常數";
constexpr const char* kLineTooLong = "行超長";
constexpr const char* kInvalidBinary = "無效的二進制值";

}  // namespace

TParser::TParser(TStream& stream) : m_stream(stream), m_buf(new char[kBufferSize + kWordPadding]()) {
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

// The scanning loops work on local copies of the position: the buffer's
// bytes may alias any member, so members would be reloaded at every byte.

void TParser::skipBlanks() {
  const unsigned char* buf = bytes();
  std::size_t p = m_pos;
  int line = m_line;
  for (;;) {
    unsigned char c = buf[p];
    if (c > ' ') break;
    if (c == 0) {
      m_pos = p;
      m_line = line;
      readBuffer();
      buf = bytes();
      p = m_pos;
      if (buf[p] == 0) break;
      continue;
    }
    if (c == '\n') ++line;
    ++p;
    // Indentation and the blanks between tokens come in runs.
    if (buf[p] == ' ') p += blankRun(buf + p);
  }
  m_pos = p;
  m_line = line;
}

TokenKind TParser::nextToken() {
  skipBlanks();
  const unsigned char* buf = bytes();
  std::size_t p = m_pos;
  m_tokenStart = p;
  m_floatType = 0;
  unsigned char c = buf[p];
  TokenKind kind;
  if (isIdentStart(c)) {
    ++p;
    while (isIdentChar(buf[p])) ++p;
    kind = TokenKind::Symbol;
  } else if (c == '\'' || c == '#') {
    readString();
    return m_token;
  } else if (c == '$') {
    ++p;
    while (isHexDigit(buf[p])) ++p;
    kind = TokenKind::Integer;
  } else if (c == '-' || isDigit(c)) {
    ++p;
    while (isDigit(buf[p])) ++p;
    kind = TokenKind::Integer;
    while (isFloatChar(buf[p])) {
      ++p;
      kind = TokenKind::Float;
    }
    unsigned char s = buf[p];
    if (s == 'C' || s == 'D' || s == 'S' || s == 'c' || s == 'd' || s == 's') {
      m_floatType = static_cast<char>(s);
      ++p;
      kind = TokenKind::Float;
    }
  } else if (c == 0) {
    kind = TokenKind::EndOfText;
  } else {
    ++p;
    kind = charToken(static_cast<char>(c));
  }
  m_pos = p;
  m_token = kind;
  return kind;
}

void TParser::readString() {
  // Bytes gather in m_string until a # code needs 16 bits; from then on all
  // code units gather in m_wide, the bytes so far taken as units. A literal
  // whose # codes stay below 256 is wide as well when one of them is 128 or
  // more and no byte inside its quotes is: such a code is a Latin letter of
  // a wide string, not half of a Big5 character.
  m_string.clear();
  m_wide.clear();
  bool wide = false;
  bool highCode = false;    // a # code of 128 to 255
  bool highQuoted = false;  // a byte of 0x80 or more inside quotes
  auto append = [&](const char* from, std::size_t n) {
    if (wide)
      for (std::size_t i = 0; i < n; ++i) m_wide.push_back(static_cast<unsigned char>(from[i]));
    else
      m_string.append(from, n);
  };
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
      if (value > 255 && !wide) {
        wide = true;
        for (char b : m_string) m_wide.push_back(static_cast<unsigned char>(b));
        m_string.clear();
      }
      if (wide) m_wide.push_back(static_cast<char16_t>(low16));
      else m_string.push_back(static_cast<char>(low16));
      if (value >= 0x80 && value <= 0xFF) highCode = true;
    } else if (c == '\'') {
      ++p;
      for (;;) {
        std::size_t run = p;
        const unsigned char* buf = bytes();
        // Whole words while none of their bytes can stop the run.
        for (std::uint64_t w = wordAt(buf + p); (bytesBelow(w, '\r' + 1) | bytesEqual(w, '\'')) == 0;
             w = wordAt(buf + p))
          p += 8;
        while (!is(buf[p], kQuotedStop)) ++p;
        if (!highQuoted)
          for (std::size_t i = run; i < p; ++i) highQuoted |= buf[i] >= 0x80;
        append(m_buf.get() + run, p - run);
        if (at(p) != '\'') error(kInvalidString);
        ++p;
        if (at(p) != '\'') break;
        append("'", 1);
        ++p;
      }
    } else {
      break;
    }
  }
  if (!wide && highCode && !highQuoted) {
    wide = true;
    for (char b : m_string) m_wide.push_back(static_cast<unsigned char>(b));
    m_string.clear();
  }
  m_pos = p;
  m_token = wide ? TokenKind::WideString : TokenKind::String;
}

std::string_view TParser::tokenText() const {
  if (m_token == TokenKind::String) return m_string;
  return rawText();
}

std::u16string TParser::tokenWideString() const {
  if (m_token == TokenKind::WideString) return m_wide;
  std::u16string r;
  if (m_token == TokenKind::String)
    for (char c : m_string) r.push_back(static_cast<unsigned char>(c));
  return r;
}

std::int64_t TParser::tokenInt() const {
  std::string_view text = rawText();
  if (auto v = parseInt64(text)) return *v;
  throw EConvertError("'" + cp950::toUtf8(text) + "' is not a valid integer value");
}

Extended TParser::tokenFloat() const {
  std::string_view text = rawText();
  if (m_floatType != 0) text.remove_suffix(1);
  if (auto v = parseExtended(text)) return *v;
  throw EConvertError("'" + cp950::toUtf8(text) + "' is not a valid floating point value");
}

bool TParser::sameSymbol(std::string_view symbol) const {
  std::string_view text = rawText();
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(symbol[i]);
    if (a >= 'a' && a <= 'z') a -= 32;
    if (b >= 'a' && b <= 'z') b -= 32;
    if (a != b) return false;
  }
  return true;
}

void TParser::checkToken(TokenKind kind) const {
  if (m_token == kind) return;
  switch (kind) {
    case TokenKind::Symbol: error(msg::kIdentifierExpected);
    case TokenKind::String:
    case TokenKind::WideString: error(msg::kStringExpected);
    case TokenKind::Integer:
    case TokenKind::Float: error(kNumberExpected);
    default: error("希望一個''" + cp950::toUtf8(std::string(1, static_cast<char>(kind))) + "''");
  }
}

void TParser::checkTokenSymbol(std::string_view symbol) const {
  if (!tokenSymbolIs(symbol)) error("希望一個" + cp950::toUtf8(symbol));
}

std::string_view TParser::tokenComponentIdent() {
  checkToken(TokenKind::Symbol);
  while (at(m_pos) == '.') {
    ++m_pos;
    if (!isIdentStart(at(m_pos))) error(msg::kIdentifierExpected);
    do ++m_pos;
    while (isIdentChar(at(m_pos)));
  }
  return rawText();
}

void TParser::hexToBinary(TStream& out) {
  unsigned char decoded[256];
  skipBlanks();
  while (at(m_pos) != '}') {
    const unsigned char* buf = bytes();
    std::size_t n = 0;
    std::size_t p = m_pos;
    // The second digit is looked at only behind a first one, so never
    // behind the 0 that ends the chunk.
    while (n < sizeof decoded) {
      unsigned char high = kHexValues[buf[p]];
      if (high > 15) break;
      unsigned char low = kHexValues[buf[p + 1]];
      if (low > 15) break;
      decoded[n++] = static_cast<unsigned char>(high << 4 | low);
      p += 2;
    }
    m_pos = p;
    if (n == 0) error(kInvalidBinary);
    out.writeBuffer(decoded, n);
    skipBlanks();
  }
  nextToken();
}

void TParser::error(const std::string& message, int line) const {
  throw EParserError(message + " 在第 " + std::to_string(line) + " 行");
}

}  // namespace vc
