#include "formstream/TParser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "formstream/Errors.h"

using namespace vc;

namespace {

struct Tok {
  TokenKind kind;
  std::string text;
  int line;
  bool operator==(const Tok&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Tok& t) {
  return os << "{" << static_cast<int>(t.kind) << ", '" << t.text << "', line " << t.line << "}";
}

std::vector<Tok> tokenize(const std::string& text) {
  TMemoryStream in(text);
  TParser p(in);
  std::vector<Tok> out;
  while (p.token() != TokenKind::EndOfText) {
    out.push_back({p.token(), p.tokenString(), p.sourceLine()});
    p.nextToken();
  }
  out.push_back({TokenKind::EndOfText, "", p.sourceLine()});
  return out;
}

// The message of the EParserError raised while tokenizing text.
std::string parseError(const std::string& text) {
  try {
    tokenize(text);
  } catch (const EParserError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(TParser, EmptyTextIsEofAtLineOne) {
  EXPECT_EQ(tokenize(""), (std::vector<Tok>{{TokenKind::EndOfText, "", 1}}));
  EXPECT_EQ(tokenize(" \r\n\t\r\n"), (std::vector<Tok>{{TokenKind::EndOfText, "", 3}}));
}

TEST(TParser, LineNumbersCountLineFeedsOnly) {
  auto t = tokenize("a\r\nb\rc\n\nd");
  EXPECT_EQ(t[0].line, 1);
  EXPECT_EQ(t[1].line, 2);
  EXPECT_EQ(t[2].line, 2);  // a lone CR does not count
  EXPECT_EQ(t[3].line, 4);
}

TEST(TParser, StringLiterals) {
  auto one = [](const std::string& text) {
    auto t = tokenize(text);
    EXPECT_EQ(t.size(), 2u) << text;
    EXPECT_EQ(t[0].kind, TokenKind::String) << text;
    return t[0].text;
  };
  EXPECT_EQ(one("'it''s'"), "it's");
  EXPECT_EQ(one("'a'#13#10'b'"), "a\r\nb");
  EXPECT_EQ(one("''"), "");
  EXPECT_EQ(one("#"), std::string(1, '\0'));
  EXPECT_EQ(one("'\xA4\xA4'#255"), "\xA4\xA4\xFF");  // beside Big5 bytes a code is a byte
  EXPECT_EQ(one("'\xA4\xA4\xA4\xE5'"), "\xA4\xA4\xA4\xE5");  // Big5 bytes unchanged
  auto two = tokenize("'abc' 'def'");
  ASSERT_EQ(two.size(), 3u);
  EXPECT_EQ(two[0].text, "abc");
  EXPECT_EQ(two[1].text, "def");
  EXPECT_EQ(one("'abc''def'"), "abc'def");
}

TEST(TParser, WideLiteralTakesQuotedBytesAsCodeUnits) {
  TMemoryStream in(std::string("'\xA4\xA4\xA4\xE5'#1234 x"));
  TParser p(in);
  EXPECT_EQ(p.token(), TokenKind::WideString);
  EXPECT_EQ(p.tokenWideString(), (std::u16string{0xA4, 0xA4, 0xA4, 0xE5, 1234}));
  // Only the low 16 bits of a huge code are kept; the literal is wide anyway.
  TMemoryStream big(std::string("#65601#999999999999"));
  TParser q(big);
  EXPECT_EQ(q.token(), TokenKind::WideString);
  EXPECT_EQ(q.tokenWideString(), (std::u16string{65, static_cast<char16_t>(999999999999ULL & 0xFFFF)}));
}

TEST(TParser, CodesFrom128BesideQuotedAsciiMakeAWideLiteral) {
  struct Row {
    const char* text;
    TokenKind kind;
    std::u16string units;
  };
  const Row rows[] = {
      {"'Fun'#231#227'o'", TokenKind::WideString, u"Fun\u00E7\u00E3o"},
      {"#128", TokenKind::WideString, u"\u0080"},
      {"#127'x'", TokenKind::String, u"\u007Fx"},
      {"'\xA4\xA4'#233", TokenKind::String, u"\u00A4\u00A4\u00E9"},  // Big5 bytes keep it 8-bit
  };
  for (const Row& r : rows) {
    TMemoryStream in{std::string(r.text)};
    TParser p(in);
    EXPECT_EQ(p.token(), r.kind) << r.text;
    EXPECT_EQ(p.tokenWideString(), r.units) << r.text;
  }
}

TEST(TParser, UnterminatedStringFailsOnItsLine) {
  EXPECT_EQ(parseError("a\n'abc\n'"), "無效的字符串常數 在第 2 行");
  EXPECT_EQ(parseError("'abc"), "無效的字符串常數 在第 1 行");
  EXPECT_EQ(parseError("'ab\rc'"), "無效的字符串常數 在第 1 行");
}

TEST(TParser, Numbers) {
  TMemoryStream in(std::string("$ff $FF -12 12 12.5 1E3 1-2 12c 1.5s 2d 3C - $"));
  TParser p(in);
  EXPECT_EQ(p.token(), TokenKind::Integer);
  EXPECT_EQ(p.tokenInt(), 255);
  p.nextToken();
  EXPECT_EQ(p.tokenInt(), 255);
  p.nextToken();
  EXPECT_EQ(p.tokenInt(), -12);
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Integer);
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Float);
  EXPECT_EQ(p.floatType(), 0);
  EXPECT_EQ(p.tokenFloat().mantissa, 0xC800000000000000u);
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Float);
  EXPECT_EQ(p.tokenString(), "1E3");
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Float);
  EXPECT_THROW(p.tokenFloat(), EConvertError);
  p.nextToken();
  EXPECT_EQ(p.floatType(), 'c');
  EXPECT_EQ(p.tokenString(), "12c");
  EXPECT_EQ(p.tokenFloat().mantissa, 0xC000000000000000u);
  p.nextToken();
  EXPECT_EQ(p.floatType(), 's');
  EXPECT_EQ(p.tokenFloat().mantissa, 0xC000000000000000u);
  p.nextToken();
  EXPECT_EQ(p.floatType(), 'd');
  p.nextToken();
  EXPECT_EQ(p.floatType(), 'C');
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Integer);
  EXPECT_EQ(p.tokenString(), "-");
  try {
    p.tokenInt();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'-' is not a valid integer value");
  }
  p.nextToken();
  EXPECT_EQ(p.token(), TokenKind::Integer);
  EXPECT_THROW(p.tokenInt(), EConvertError);
}

TEST(TParser, ConversionMessages) {
  TMemoryStream in(std::string("1-2 99999999999999999999 1e5000s"));
  TParser p(in);
  try {
    p.tokenFloat();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1-2' is not a valid floating point value");
  }
  p.nextToken();
  try {
    p.tokenInt();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'99999999999999999999' is not a valid integer value");
  }
  p.nextToken();
  try {
    p.tokenFloat();
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1e5000' is not a valid floating point value");
  }
}

TEST(TParser, IdentifiersTakeHighBytes) {
  auto t = tokenize("object B\xC3\xB6rsenindex: TLabel \xA4\xA4_1 _x9");
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[1], (Tok{TokenKind::Symbol, "B\xC3\xB6rsenindex", 1}));
  EXPECT_EQ(t[2].kind, charToken(':'));
  EXPECT_EQ(t[4], (Tok{TokenKind::Symbol, "\xA4\xA4_1", 1}));
  EXPECT_EQ(t[5].text, "_x9");
}

TEST(TParser, SymbolsCompareIgnoringAsciiCase) {
  TMemoryStream in(std::string("oBjEcT"));
  TParser p(in);
  EXPECT_TRUE(p.tokenSymbolIs("OBJECT"));
  EXPECT_TRUE(p.tokenSymbolIs("object"));
  EXPECT_FALSE(p.tokenSymbolIs("objec"));
  EXPECT_NO_THROW(p.checkTokenSymbol("OBJECT"));
  try {
    p.checkTokenSymbol("item");
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "希望一個item 在第 1 行");
  }
}

TEST(TParser, CheckTokenMessages) {
  TMemoryStream in(std::string("\n\n="));
  TParser p(in);
  auto message = [&](TokenKind kind) {
    try {
      p.checkToken(kind);
    } catch (const EParserError& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(message(TokenKind::Symbol), "希望一個標識符 在第 3 行");
  EXPECT_EQ(message(TokenKind::String), "希望一個字符串 在第 3 行");
  EXPECT_EQ(message(TokenKind::WideString), "希望一個字符串 在第 3 行");
  EXPECT_EQ(message(TokenKind::Integer), "希望一個數字 在第 3 行");
  EXPECT_EQ(message(TokenKind::Float), "希望一個數字 在第 3 行");
  EXPECT_EQ(message(charToken(']')), "希望一個'']'' 在第 3 行");
  EXPECT_EQ(message(charToken('=')), "(no error)");
}

TEST(TParser, ComponentIdentifiers) {
  TMemoryStream in(std::string("Form1.Caption Form1 . Caption Form2.B\xC3\xA4r x."));
  TParser p(in);
  EXPECT_EQ(p.tokenComponentIdent(), "Form1.Caption");
  EXPECT_EQ(p.nextToken(), TokenKind::Symbol);
  EXPECT_EQ(p.tokenComponentIdent(), "Form1");
  EXPECT_EQ(p.nextToken(), charToken('.'));
  EXPECT_THROW(p.tokenComponentIdent(), EParserError);
  EXPECT_EQ(p.nextToken(), TokenKind::Symbol);
  EXPECT_EQ(p.tokenString(), "Caption");
  p.nextToken();
  EXPECT_EQ(p.tokenComponentIdent(), "Form2.B\xC3\xA4r");
  p.nextToken();
  try {
    p.tokenComponentIdent();
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "希望一個標識符 在第 1 行");
  }
}

TEST(TParser, BinaryData) {
  auto decode = [](const std::string& text) {
    TMemoryStream in(text);
    TParser p(in);
    TMemoryStream out;
    p.hexToBinary(out);
    EXPECT_EQ(p.token(), charToken('}'));
    p.nextToken();
    EXPECT_EQ(p.tokenString(), "next");
    return out.data();
  };
  EXPECT_EQ(decode("{}next"), "");
  EXPECT_EQ(decode("{0a1B2c}next"), "\x0A\x1B\x2C");
  EXPECT_EQ(decode("{ 0A\r\n  1B 2C\n}next"), "\x0A\x1B\x2C");
  std::string many(600, 'F');
  EXPECT_EQ(decode("{" + many + "}next"), std::string(300, '\xFF'));
  auto error = [](const std::string& text) {
    TMemoryStream in(text);
    TParser p(in);
    TMemoryStream out;
    try {
      p.hexToBinary(out);
    } catch (const EParserError& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(error("{0A1}"), "無效的二進制值 在第 1 行");
  EXPECT_EQ(error("{0A 1 B}"), "無效的二進制值 在第 1 行");
  EXPECT_EQ(error("{0A\n\nZZ}"), "無效的二進制值 在第 3 行");
  EXPECT_EQ(error("{0A0B"), "無效的二進制值 在第 1 行");
}

TEST(TParser, DiscardLeavesTheStreamAtTheCurrentToken) {
  TMemoryStream in(std::string("object X end   trailing text"));
  {
    TParser p(in);
    p.nextToken();
    p.nextToken();
    p.nextToken();
    EXPECT_EQ(p.tokenString(), "trailing");
  }
  EXPECT_EQ(in.position(), 15);
}

TEST(TParser, LongLines) {
  // A line that needs more than 4095 bytes with its line feed cannot be read...
  EXPECT_EQ(parseError("a\n" + std::string(5000, 'x') + "\n"), "行超長 在第 2 行");
  EXPECT_EQ(parseError(std::string(4095, 'x') + "\nb"), "行超長 在第 1 行");
  // ...one of 4094 bytes and its line feed just fits a chunk,
  auto t = tokenize(std::string(4094, 'x') + "\nb");
  EXPECT_EQ(t[0].text.size(), 4094u);
  EXPECT_EQ(t[1], (Tok{TokenKind::Symbol, "b", 2}));
  // and a last line of any length fits when fewer than 4096 bytes remain from its start.
  EXPECT_EQ(tokenize(std::string(4095, 'x'))[0].text.size(), 4095u);
  // A line of 3000 bytes anywhere is read: the chunk is cut in front of it.
  for (std::size_t lead : {1000u, 1095u, 1096u, 1097u, 3000u, 4090u}) {
    std::string text = std::string(lead - 1, ' ') + "\n" + std::string(3000, 'y') + "\nz";
    auto u = tokenize(text);
    ASSERT_EQ(u.size(), 3u) << lead;
    EXPECT_EQ(u[0], (Tok{TokenKind::Symbol, std::string(3000, 'y'), 2})) << lead;
    EXPECT_EQ(u[1], (Tok{TokenKind::Symbol, "z", 3})) << lead;
  }
}

TEST(TParser, TokensSurviveEveryChunkBoundary) {
  // Lines of random lengths place tokens just before and just after each
  // refill; every token must come out whole, on its own line number.
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    std::string text;
    std::vector<Tok> want;
    int line = 1;
    while (text.size() < 20000) {
      std::size_t len = 1 + rng() % (rng() % 4 == 0 ? 4000 : 60);
      std::string ident(len, 'a' + static_cast<char>(line % 26));
      std::string str = "'s" + std::to_string(line) + "'#39";
      text += ident + " = " + str + (rng() % 2 ? "\r\n" : "\n");
      want.push_back({TokenKind::Symbol, ident, line});
      want.push_back({charToken('='), "=", line});
      want.push_back({TokenKind::String, "s" + std::to_string(line) + "'", line});
      ++line;
    }
    want.push_back({TokenKind::EndOfText, "", line});
    ASSERT_EQ(tokenize(text), want) << "round " << round;
  }
}

TEST(TParser, ZeroByteEndsTheText) {
  auto t = tokenize(std::string("a\0b", 3));
  EXPECT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].kind, TokenKind::EndOfText);
}
