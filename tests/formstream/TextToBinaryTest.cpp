#include "formstream/TextToBinary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/TWriter.h"

using namespace vc;

namespace {

std::string convert(const std::string& text) {
  TMemoryStream in(text), out;
  TextToBinary(in, out);
  return out.data();
}

// The bytes of one value: the text "P = value" inside an object, with the
// signature, header, property name and the two list ends taken off.
std::string valueBytes(const std::string& value) {
  std::string b = convert("object A: T\r\n  P = " + value + "\r\nend\r\n");
  const std::string head = std::string("TPF0\x01T\x01" "A\x01P", 10);
  EXPECT_EQ(b.substr(0, head.size()), head);
  EXPECT_EQ(b.substr(b.size() - 2), std::string(2, '\0'));
  return b.substr(head.size(), b.size() - head.size() - 2);
}

std::string errorOf(const std::string& text) {
  try {
    convert(text);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

std::string hex(const std::string& s) {
  std::string r;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    r += buf;
  }
  return r;
}

#define EXPECT_BYTES(actual, expected) EXPECT_EQ(hex(actual), hex(std::string(expected, sizeof(expected) - 1)))

}  // namespace

TEST(TextToBinary, SmallestForm) {
  EXPECT_BYTES(convert("object Form1: TForm1\r\n  Left = 192\r\nend\r\n"),
               "TPF0\x06TForm1\x05" "Form1\x04Left\x03\xC0\x00\x00\x00");
  EXPECT_BYTES(convert("object TFoo\nend"), "TPF0\x04TFoo\x00\x00\x00");
  // Keywords in any case, and children after the properties.
  EXPECT_BYTES(convert("OBJECT a: T\n X = 1\n  Object b: U\n  End\nEND"),
               "TPF0\x01T\x01" "a\x01X\x02\x01\x00\x01U\x01" "b\x00\x00\x00");
}

TEST(TextToBinary, HeadersAndFlags) {
  EXPECT_BYTES(convert("inherited Form1: TForm1\nend"), "TPF0\xF1\x06TForm1\x05" "Form1\x00\x00");
  EXPECT_BYTES(convert("inline Frame1: TFrame1\nend"), "TPF0\xF4\x07TFrame1\x06" "Frame1\x00\x00");
  EXPECT_BYTES(convert("object Button1: TButton [0]\nend"), "TPF0\xF2\x02\x00\x07TButton\x07" "Button1\x00\x00");
  EXPECT_BYTES(convert("inherited L: TL [300]\nend"), "TPF0\xF3\x03\x2C\x01\x02TL\x01L\x00\x00");
  EXPECT_BYTES(convert("object Button1: TButton [-1]\nend"), "TPF0\x07TButton\x07" "Button1\x00\x00");
}

TEST(TextToBinary, IntegersTakeTheSmallestTag) {
  EXPECT_BYTES(valueBytes("-1"), "\x02\xFF");
  EXPECT_BYTES(valueBytes("127"), "\x02\x7F");
  EXPECT_BYTES(valueBytes("128"), "\x03\x80\x00");
  EXPECT_BYTES(valueBytes("-32768"), "\x03\x00\x80");
  EXPECT_BYTES(valueBytes("40000"), "\x04\x40\x9C\x00\x00");
  EXPECT_BYTES(valueBytes("3000000000"), "\x13\x00\x5E\xD0\xB2\x00\x00\x00\x00");
  EXPECT_BYTES(valueBytes("$FFFFFFFF"), "\x13\xFF\xFF\xFF\xFF\x00\x00\x00\x00");
  EXPECT_BYTES(valueBytes("$FF"), "\x03\xFF\x00");
  EXPECT_EQ(errorOf("object A: T\n P = 99999999999999999999\nend"),
            "'99999999999999999999' is not a valid integer value");
}

TEST(TextToBinary, Strings) {
  EXPECT_BYTES(valueBytes("''"), "\x06\x00");
  EXPECT_BYTES(valueBytes("'it'#39's'"), "\x06\x04it's");
  EXPECT_BYTES(valueBytes("'abc' +\r\n    'def'"), "\x06\x06" "abcdef");
  EXPECT_EQ(valueBytes("'" + std::string(255, 'x') + "'"), "\x06\xFF" + std::string(255, 'x'));
  EXPECT_EQ(valueBytes("'" + std::string(128, 'x') + "' + '" + std::string(128, 'y') + "'"),
            std::string("\x0C\x00\x01\x00\x00", 5) + std::string(128, 'x') + std::string(128, 'y'));
  EXPECT_BYTES(valueBytes("#1234'a'"), "\x12\x02\x00\x00\x00\xD2\x04" "a\x00");
  EXPECT_EQ(errorOf("object A: T\n P = 'a' +\n 1\nend"), "希望一個字符串 在第 3 行");
  EXPECT_EQ(errorOf("object A: T\n P = 'a\nend"), "無效的字符串常數 在第 2 行");
}

TEST(TextToBinary, MixedWideAndNarrowPartsMakeOneWideString) {
  // The rendering of a long wide string: pieces with and without codes above 255.
  EXPECT_BYTES(valueBytes("#1234'ab' +\n 'c\xE9'"), "\x12\x05\x00\x00\x00\xD2\x04" "a\x00" "b\x00" "c\x00\xE9\x00");
  EXPECT_BYTES(valueBytes("'a\xE9' +\n #1234 + 'b'"), "\x12\x04\x00\x00\x00" "a\x00\xE9\x00\xD2\x04" "b\x00");
}

// Wide and UTF-8 strings holding characters U+0080 to U+00FF: their text
// converts back to the same code units, still a wide string.
TEST(TextToBinary, RenderedWideStringsWithLatinLettersStayWide) {
  struct Row {
    unsigned char tag;  // tagWString or tagUtf8String
    std::u16string units;
  };
  const Row rows[] = {
      {tagWString, u"K\u00F6rperberechnung"},
      {tagUtf8String, u"K\u00F6rperberechnung"},
      {tagWString, u"\u0080\u00A0\u00FF"},
      {tagWString, std::u16string(70, u'\u00E9') + u"x"},             // pieces of codes only
      {tagWString, std::u16string(63, u'a') + u"\u00E9\u00E9" + std::u16string(70, u'b')},  // an ASCII piece
      {tagWString, u"\u4E2D\u00E9"},
  };
  for (const Row& r : rows) {
    TMemoryStream stream;
    {
      TWriter w(stream);
      w.writeSignature();
      w.writeShortString("T");
      w.writeShortString("A");
      w.writeShortString("P");
      if (r.tag == tagWString) {
        w.writeWideString(r.units);
      } else {
        std::string utf8;
        for (char16_t u : r.units) {
          if (u < 0x80) utf8 += static_cast<char>(u);
          else if (u < 0x800) utf8 += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
          else utf8 += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | ((u >> 6) & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
        }
        w.writeByte(tagUtf8String);
        const auto n = static_cast<std::uint32_t>(utf8.size());
        w.write(&n, 4);
        w.write(utf8);
      }
      w.writeListEnd();
      w.writeListEnd();
    }
    TReadOnlyMemoryStream in(stream.data());
    TMemoryStream text;
    BinaryToText(in, text);
    SCOPED_TRACE(text.data());
    EXPECT_EQ(text.data().find_first_of(std::string("\x80\x81\xA0\xE9\xF6\xFF")), std::string::npos);
    std::string expected("TPF0\x01T\x01" "A\x01P\x12", 11);
    const auto n = static_cast<std::uint32_t>(r.units.size());
    expected.append(reinterpret_cast<const char*>(&n), 4);
    expected.append(reinterpret_cast<const char*>(r.units.data()), 2 * r.units.size());
    expected.append(2, '\0');
    EXPECT_EQ(hex(convert(text.data())), hex(expected));
  }
}

TEST(TextToBinary, IdentifiersAndTheirTags) {
  EXPECT_BYTES(valueBytes("TRUE"), "\x09");
  EXPECT_BYTES(valueBytes("false"), "\x08");
  EXPECT_BYTES(valueBytes("nil"), "\x0D");
  EXPECT_BYTES(valueBytes("Null"), "\x00");
  EXPECT_BYTES(valueBytes("Button1Click"), "\x07\x0C" "Button1Click");
  EXPECT_BYTES(valueBytes("Form2.Button1"), "\x07\x0D" "Form2.Button1");
  EXPECT_BYTES(valueBytes("B\xC3\xB6rse"), "\x07\x06" "B\xC3\xB6rse");
  EXPECT_BYTES(convert("object B\xC3\xB6rsenindex: TLabel\n Caption.\xC3\xA4 = 1\nend"),
               "TPF0\x06TLabel\x0C" "B\xC3\xB6rsenindex\x0A" "Caption.\xC3\xA4\x02\x01\x00\x00");
}

TEST(TextToBinary, Floats) {
  EXPECT_BYTES(valueBytes("15000c"), "\x10\x98\x3A\x00\x00\x00\x00\x00\x00");
  EXPECT_BYTES(valueBytes("-1.5C"), "\x10\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_BYTES(valueBytes("1.5s"), "\x0F\x00\x00\xC0\x3F");
  EXPECT_BYTES(valueBytes("0.100000001490116s"), "\x0F\xCD\xCC\xCC\x3D");
  EXPECT_BYTES(valueBytes("1.5d"), "\x11\x00\x00\x00\x00\x00\x00\xF8\x3F");
  EXPECT_BYTES(valueBytes("1.5"), "\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\x3F");
  EXPECT_BYTES(valueBytes("1E20"), "\x05\x00\x00\x62\xAC\xC5\xEB\x78\xAD\x41\x40");
  EXPECT_BYTES(valueBytes("12S"), "\x0F\x00\x00\x40\x41");
  EXPECT_EQ(errorOf("object A: T\n P = 1.2.3\nend"), "'1.2.3' is not a valid floating point value");
  EXPECT_EQ(errorOf("object A: T\n P = 1e39s\nend"), "'1e39' is not a valid floating point value");
  EXPECT_EQ(errorOf("object A: T\n P = 1e20c\nend"), "'1e20' is not a valid floating point value");
}

TEST(TextToBinary, ContainersEmptyAndFull) {
  EXPECT_BYTES(valueBytes("[]"), "\x0B\x00");
  EXPECT_BYTES(valueBytes("<>"), "\x0E\x00");
  EXPECT_BYTES(valueBytes("()"), "\x01\x00");
  EXPECT_BYTES(valueBytes("{}"), "\x0A\x00\x00\x00\x00");
  EXPECT_BYTES(valueBytes("[fsBold, fsItalic]"), "\x0B\x06" "fsBold\x08" "fsItalic\x00");
  EXPECT_BYTES(valueBytes("[12,a]"), "\x0B\x02" "12\x01" "a\x00");
  EXPECT_BYTES(valueBytes("(\n 'Memo1'\n 'it'#39's' 1 (x))"),
               "\x01\x06\x05Memo1\x06\x04it's\x02\x01\x01\x07\x01x\x00\x00");
  EXPECT_BYTES(valueBytes("{0A1B2C\n 3d}"), "\x0A\x04\x00\x00\x00\x0A\x1B\x2C\x3D");
  EXPECT_BYTES(valueBytes("<\n item\n  Caption = 'A'\n end\n ITEM [-2]\n end\n item [-1]\n end\n item [7] end>"),
               "\x0E\x01\x07" "Caption\x06\x01" "A\x00\x02\xFE\x01\x00\x01\x00\x02\x07\x01\x00\x00");
}

TEST(TextToBinary, NullCannotEndAListEarly) {
  EXPECT_EQ(errorOf("object A: T\n P = (\n  1\n  Null\n  2)\nend"), "無效的屬性值 在第 4 行");
  EXPECT_EQ(errorOf("object A: T\n P = (NULL)\nend"), "無效的屬性值 在第 2 行");
  // Inside a collection item a Null is a property value, which reads back.
  EXPECT_BYTES(valueBytes("<item P = Null end>"), "\x0E\x01\x01P\x00\x00\x00");
}

TEST(TextToBinary, PropertyNames) {
  EXPECT_BYTES(convert("object A: T\n Form1 .Caption = 'x'\nend"),
               "TPF0\x01T\x01" "A\x0D" "Form1.Caption\x06\x01x\x00\x00");
  EXPECT_EQ(errorOf("object A: T\n P = Form1 .Caption\nend"), "希望一個標識符 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = Form1.\nend"), "希望一個標識符 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P. = 1\nend"), "希望一個標識符 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P 1\nend"), "希望一個''='' 在第 2 行");
  // A name longer than a short string holds would be cut short.
  EXPECT_EQ(errorOf("object A: T\n " + std::string(256, 'p') + " = 1\nend"), "希望一個標識符 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = " + std::string(256, 'p') + "\nend"), "無效的屬性值 在第 2 行");
  // A class name of 240 bytes or more is stored only behind a prefix.
  EXPECT_EQ(errorOf("object " + std::string(240, 'T') + "\nend"), "希望一個標識符 在第 1 行");
  EXPECT_EQ(convert("inherited " + std::string(240, 'T') + "\nend").substr(4, 2), "\xF1\xF0");
}

TEST(TextToBinary, TextAfterTheRootObject) {
  EXPECT_BYTES(convert("object A: T\nend\nanything ( goes"), "TPF0\x01T\x01" "A\x00\x00");
  EXPECT_EQ(errorOf("object A: T\nend\n'unterminated"), "無效的字符串常數 在第 3 行");
  // The input is left at the first token behind the root object.
  TMemoryStream in(std::string("object A: T\nend\n  next")), out;
  TextToBinary(in, out);
  EXPECT_EQ(in.position(), 18);
}

TEST(TextToBinary, Messages) {
  EXPECT_EQ(errorOf(""), "希望一個OBJECT 在第 1 行");
  EXPECT_EQ(errorOf("\n\nform Form1: TForm1\nend"), "希望一個OBJECT 在第 3 行");
  EXPECT_EQ(errorOf("object A: T\n object B: U\n end\n Left = 1\nend"), "希望一個OBJECT 在第 4 行");
  EXPECT_EQ(errorOf("object : T\nend"), "希望一個標識符 在第 1 行");
  EXPECT_EQ(errorOf("object A: 1\nend"), "希望一個標識符 在第 1 行");
  EXPECT_EQ(errorOf("object A: T\n P = =\nend"), "無效的屬性值 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P ="), "無效的屬性值 在第 2 行");
  EXPECT_EQ(errorOf("object A: T [x]\nend"), "希望一個數字 在第 1 行");
  EXPECT_EQ(errorOf("object A: T [1\nend"), "希望一個'']'' 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = [a b]\nend"), "希望一個'','' 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = [a, 'b']\nend"), "希望一個標識符 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = <\n  thing\n end>\nend"), "希望一個item 在第 3 行");
  EXPECT_EQ(errorOf("object A: T\n P = 1\n"), "希望一個標識符 在第 3 行");
  EXPECT_EQ(errorOf("object A: T\n object B: U\n end\n"), "希望一個OBJECT 在第 4 行");
  EXPECT_EQ(errorOf("object A: T\n P = {0A 1}\nend"), "無效的二進制值 在第 2 行");
  EXPECT_EQ(errorOf("object A: T\n P = (1 2"), "無效的屬性值 在第 2 行");
}

TEST(TextToBinary, NestingIsBounded) {
  std::string deep = "object A: T\n P = ";
  for (int i = 0; i < 5000; ++i) deep += "(\n";
  EXPECT_EQ(errorOf(deep), "無效的屬性值 在第 1001 行");
  std::string objects;
  for (int i = 0; i < 1500; ++i) objects += "object A: T\n";
  EXPECT_EQ(errorOf(objects), "無效的屬性值 在第 1001 行");
}

TEST(TextToBinary, OutputKeepsWhatWasWrittenBeforeAFailure) {
  TMemoryStream in(std::string("object A: T\n P = 1\n Q = ?\nend")), out;
  EXPECT_THROW(TextToBinary(in, out), EParserError);
  EXPECT_EQ(out.data().substr(0, 4), "TPF0");
}
