#pragma once
// Tokenizer of form text. Reads the text in chunks that always end at a line
// start, so no token is ever split between two chunks.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "formstream/ExtendedParse.h"
#include "formstream/Stream.h"

namespace vc {

// Token kinds. A one-byte token such as '=' is the kind of that byte's value
// (charToken), which never collides: bytes below 6 are blanks or the end.
enum class TokenKind : unsigned char {
  EndOfText = 0,
  Symbol = 1,
  String = 2,      // every # code below 256, and below 128 unless a quoted byte is too
  Integer = 3,
  Float = 4,
  WideString = 5,  // a # code of 256 or more, or one of 128 or more beside quoted ASCII only
};
constexpr TokenKind charToken(char c) { return static_cast<TokenKind>(static_cast<unsigned char>(c)); }

class TParser {
 public:
  static constexpr std::size_t kBufferSize = 4096;
  static constexpr std::size_t kWordPadding = 8;  // readable bytes behind the buffer

  // Reads the first token at once, so its errors arise here.
  explicit TParser(TStream& stream);
  // Moves the stream back to the start of the current token.
  ~TParser();
  TParser(const TParser&) = delete;
  TParser& operator=(const TParser&) = delete;

  TokenKind nextToken();
  TokenKind token() const { return m_token; }
  // Decoded value for a String token; the raw token text for every other
  // kind. tokenText is valid until the next token is read.
  std::string tokenString() const { return std::string(tokenText()); }
  std::string_view tokenText() const;
  // The decoded value of a string token as UTF-16 code units (a String token's
  // bytes each become the code unit of the same value).
  std::u16string tokenWideString() const;
  std::int64_t tokenInt() const;        // EConvertError when not an integer
  Extended tokenFloat() const;        // EConvertError when not a float
  char floatType() const { return m_floatType; }  // 's', 'D', ... or 0
  bool tokenSymbolIs(std::string_view symbol) const {
    return m_token == TokenKind::Symbol && m_pos - m_tokenStart == symbol.size() && sameSymbol(symbol);
  }
  void checkToken(TokenKind kind) const;
  void checkTokenSymbol(std::string_view symbol) const;
  // Extends the current identifier by directly attached ".name" parts.
  std::string_view tokenComponentIdent();  // valid as tokenText
  // Decodes hexadecimal pairs up to the closing "}", which becomes current.
  void hexToBinary(TStream& out);
  int sourceLine() const { return m_line; }
  [[noreturn]] void error(const std::string& message) const { error(message, m_line); }
  [[noreturn]] void error(const std::string& message, int line) const;

 private:
  void readBuffer();
  void skipBlanks();
  void readString();
  bool sameSymbol(std::string_view symbol) const;  // of the same length, ignoring ASCII case
  unsigned char at(std::size_t i) const { return static_cast<unsigned char>(m_buf[i]); }
  const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(m_buf.get()); }
  std::string_view rawText() const { return {m_buf.get() + m_tokenStart, m_pos - m_tokenStart}; }

  TStream& m_stream;
  std::unique_ptr<char[]> m_buf;
  std::size_t m_dataEnd = 0;   // bytes of the buffer filled from the stream
  std::size_t m_sourceEnd = 0; // end of the current chunk, where a 0 byte stands
  char m_saved = 0;            // the byte that the chunk's 0 replaced
  std::size_t m_pos = 0;
  std::size_t m_tokenStart = 0;
  TokenKind m_token = TokenKind::EndOfText;
  char m_floatType = 0;
  int m_line = 1;
  std::string m_string;
  std::u16string m_wide;
};

}  // namespace vc
