// BinaryToText golden cases, grouped by feature; expected texts are byte-exact.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/TWriter.h"

namespace vc {
namespace {

// Builds a stream: "TPF0", an object of class TForm1 named Form1 whose
// properties come from `props`, optional children, then the two list ends.
std::string form(const std::function<void(TWriter&)>& props,
                 const std::function<void(TWriter&)>& children = nullptr) {
  TMemoryStream out;
  {
    TWriter w(out);
    w.writeSignature();
    w.writeShortString("TForm1");
    w.writeShortString("Form1");
    props(w);
    w.writeListEnd();
    if (children) children(w);
    w.writeListEnd();
  }
  return out.data();
}

std::string render(const std::string& stream) {
  TReadOnlyMemoryStream in(stream);
  TMemoryStream out;
  BinaryToText(in, out);
  return out.data();
}

// The text of a one-property form: "object Form1: TForm1" / "  P = <value>".
std::string oneProperty(const std::string& valueText) {
  return "object Form1: TForm1\r\n  P = " + valueText + "\r\nend\r\n";
}

std::string renderValue(const std::function<void(TWriter&)>& value) {
  return render(form([&](TWriter& w) {
    w.writeShortString("P");
    value(w);
  }));
}

struct Failure {
  std::string message;
  std::string partialText;
};

Failure renderFailure(const std::string& stream) {
  TReadOnlyMemoryStream in(stream);
  TMemoryStream out;
  try {
    BinaryToText(in, out);
  } catch (const EReadError& e) {
    return {e.message(), out.data()};
  }
  ADD_FAILURE() << "rendered without error: " << out.data();
  return {};
}

std::string raw(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}

TEST(BinaryToTextTest, WholeFormExample) {
  TMemoryStream out;
  {
    TWriter w(out);
    w.writeSignature();
    w.writeShortString("TForm1");
    w.writeShortString("Form1");
    w.writeShortString("Left"); w.writeInteger(192);
    w.writeShortString("Caption"); w.writeString("Form1");
    w.writeShortString("Font.Style"); w.writeTag(tagSet);
    w.writeShortString("fsBold"); w.writeShortString("fsItalic"); w.writeShortString("");
    w.writeShortString("Hint"); w.writeString("first\r\nsecond");
    w.writeShortString("OnCreate"); w.writeIdent("FormCreate");
    w.writeListEnd();
    w.writeShortString("TMemo"); w.writeShortString("Memo1");
    w.writeShortString("Lines.Strings"); w.writeListBegin();
    w.writeString("Memo1"); w.writeString("it's"); w.writeListEnd();
    w.writeListEnd(); w.writeListEnd();
    w.writePrefix(flagInherited | flagChildPos, 2);
    w.writeShortString("TListView"); w.writeShortString("ListView1");
    w.writeShortString("Columns"); w.writeTag(tagCollection);
    w.writeListBegin(); w.writeShortString("Caption"); w.writeString("A"); w.writeListEnd();
    w.writeListBegin(); w.writeShortString("Width"); w.writeInteger(100); w.writeListEnd();
    w.writeListEnd();
    w.writeShortString("Glyph.Data"); w.writeBinary("\x0A\x1B\x2C", 3);
    w.writeListEnd(); w.writeListEnd();
    w.writeListEnd();
  }
  EXPECT_EQ(render(out.data()),
            "object Form1: TForm1\r\n"
            "  Left = 192\r\n"
            "  Caption = 'Form1'\r\n"
            "  Font.Style = [fsBold, fsItalic]\r\n"
            "  Hint = 'first'#13#10'second'\r\n"
            "  OnCreate = FormCreate\r\n"
            "  object Memo1: TMemo\r\n"
            "    Lines.Strings = (\r\n"
            "      'Memo1'\r\n"
            "      'it'#39's')\r\n"
            "  end\r\n"
            "  inherited ListView1: TListView [2]\r\n"
            "    Columns = <\r\n"
            "      item\r\n"
            "        Caption = 'A'\r\n"
            "      end\r\n"
            "      item\r\n"
            "        Width = 100\r\n"
            "      end>\r\n"
            "    Glyph.Data = {0A1B2C}\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST(BinaryToTextTest, ObjectHeaders) {
  auto header = [](int flags, std::int32_t pos, const char* name) {
    TMemoryStream out;
    {
      TWriter w(out);
      w.writeSignature();
      w.writePrefix(flags, pos);
      w.writeShortString("TFoo");
      w.writeShortString(name);
      w.writeListEnd();
      w.writeListEnd();
    }
    std::string text = render(out.data());
    return text.substr(0, text.find("\r\n"));
  };
  EXPECT_EQ(header(0, 0, ""), "object TFoo");
  EXPECT_EQ(header(flagInherited | flagChildPos, 2, "A"), "inherited A: TFoo [2]");
  EXPECT_EQ(header(flagInherited | flagInline, 0, "A"), "inherited A: TFoo");
  EXPECT_EQ(header(flagInline, 0, "A"), "inline A: TFoo");
  EXPECT_EQ(header(flagChildPos, -70000, "A"), "object A: TFoo [-70000]");
  EXPECT_EQ(header(8, 0, "A"), "object A: TFoo");
}

TEST(BinaryToTextTest, EmptyValues) {
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeString(""); }), oneProperty("''"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeListBegin(); w.writeListEnd(); }), oneProperty("()"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeTag(tagSet); w.writeListEnd(); }), oneProperty("[]"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeTag(tagCollection); w.writeListEnd(); }), oneProperty("<>"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeBinary("", 0); }), oneProperty("{}"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeWideString(u""); }), oneProperty("''"));
  // Binary data with a negative length holds nothing.
  EXPECT_EQ(renderValue([](TWriter& w) { w.write(raw({10, 0xFF, 0xFF, 0xFF, 0xFF})); }), oneProperty("{}"));
}

TEST(BinaryToTextTest, IdentifiersAndNumbers) {
  EXPECT_EQ(renderValue([](TWriter& w) { w.write(raw({2, 0xFF})); }), oneProperty("-1"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.write(raw({19, 5, 0, 0, 0, 0, 0, 0, 0})); }), oneProperty("5"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeInt64(-5000000000LL); }), oneProperty("-5000000000"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeCurrency(15000); }), oneProperty("15000c"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeSingle(0.1f); }), oneProperty("0.100000001490116s"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeFloat(Extended::fromDouble(1e20)); }), oneProperty("1E20"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeDate(45000.25); }), oneProperty("45000.25d"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeIdent("nil"); }), oneProperty("nil"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeIdent("Null"); }), oneProperty("Null"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeIdent("False"); }), oneProperty("False"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeIdent("clBtnFace"); }), oneProperty("clBtnFace"));
  // The high bit of an identifier tag is ignored.
  EXPECT_EQ(renderValue([](TWriter& w) { w.write(raw({0x89})); }), oneProperty("True"));
}

TEST(BinaryToTextTest, StringLineBreaking) {
  std::string s64(64, 'a');
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeString(s64); }), oneProperty("'" + s64 + "'"));
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeString(s64 + "b"); }),
            oneProperty("\r\n    '" + s64 + "' +\r\n    'b'"));
  EXPECT_EQ(renderValue([&](TWriter& w) {
              w.writeListBegin();
              w.writeString(s64 + "b");
              w.writeListEnd();
            }),
            oneProperty("(\r\n    \r\n      '" + s64 + "' +\r\n      'b')"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeString("it's"); }), oneProperty("'it'#39's'"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeString("\tx"); }), oneProperty("#9'x'"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeString("\x01"); }), oneProperty("#1"));
  // # codes count one position each: 64 of them fill a line.
  std::string codes;
  for (int i = 0; i < 64; ++i) codes += "#9";
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeString(std::string(65, '\t')); }),
            oneProperty("\r\n    " + codes + " +\r\n    #9"));
  // 300 bytes in tag 12: five pieces.
  std::string text = renderValue([](TWriter& w) { w.writeString(std::string(300, 'z')); });
  EXPECT_EQ(text, oneProperty("\r\n    '" + std::string(64, 'z') + "' +\r\n    '" + std::string(64, 'z') +
                              "' +\r\n    '" + std::string(64, 'z') + "' +\r\n    '" + std::string(64, 'z') +
                              "' +\r\n    '" + std::string(44, 'z') + "'"));
}

TEST(BinaryToTextTest, Big5CharactersAreNeverSplit) {
  // 63 ASCII bytes, then a Big5 character (A4 A4) straddling position 64.
  std::string s = std::string(63, 'a') + "\xA4\xA4" + "b";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeString(s); }),
            oneProperty("\r\n    '" + std::string(63, 'a') + "' +\r\n    '\xA4\xA4" "b'"));
  // Aligned characters end exactly at 64 and are kept whole.
  std::string big5;
  for (int i = 0; i < 33; ++i) big5 += "\xA4\xA4";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeString(big5); }),
            oneProperty("\r\n    '" + big5.substr(0, 64) + "' +\r\n    '\xA4\xA4'"));
  // The lead byte alone at position 64 after 63 # codes: an empty piece.
  std::string hashes(63, '\r');
  std::string expected;
  for (int i = 0; i < 63; ++i) expected += "#13";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeString(hashes + "\xA4\x40" "c"); }),
            oneProperty("\r\n    " + expected + "'' +\r\n    '\xA4\x40" "c'"));
}

TEST(BinaryToTextTest, WideStrings) {
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeWideString(u"\u6703\u8B70\u5BA4|Room"); }),
            oneProperty("#26371#35696#23460'|Room'"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.writeWideString(u"it's\u00E9\r"); }), oneProperty("'it'#39's'#233#13"));
  std::u16string cjk(65, u'\u4E2D');
  std::string codes;
  for (int i = 0; i < 64; ++i) codes += "#20013";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeWideString(cjk); }),
            oneProperty("\r\n    " + codes + " +\r\n    #20013"));
  // The step-back tests the ANSI form at the same index: "x" and 32 CJK
  // characters convert to 65 bytes, so index 64 falls on the trail byte of
  // the last character there although the wide string has 'a' at 64.
  std::u16string mixed = u"x" + std::u16string(32, u'\u4E2D') + std::u16string(40, u'a');
  std::string first = "'x'";
  for (int i = 0; i < 32; ++i) first += "#20013";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeWideString(mixed); }),
            oneProperty("\r\n    " + first + "'" + std::string(30, 'a') + "' +\r\n    '" + std::string(10, 'a') + "'"));
}

TEST(BinaryToTextTest, ModernTags) {
  std::string caption = "\xE6\x9C\x83\xE8\xAD\xB0\xE5\xAE\xA4|Room";  // 會議室|Room in UTF-8
  EXPECT_EQ(renderValue([&](TWriter& w) {
              w.writeByte(tagUtf8String);
              std::uint32_t n = static_cast<std::uint32_t>(caption.size());
              w.write(&n, 4);
              w.write(caption);
            }),
            oneProperty("#26371#35696#23460'|Room'"));
  EXPECT_EQ(renderValue([](TWriter& w) { w.write(raw({20, 2, 0, 0, 0, 0xC3, 'x'})); }), oneProperty("#65533'x'"));
  double tenth = 0.1;
  EXPECT_EQ(renderValue([&](TWriter& w) {
              w.writeByte(tagDouble);
              w.write(&tenth, 8);
            }),
            oneProperty("0.1"));
  EXPECT_EQ(renderFailure(form([](TWriter& w) {
              w.writeShortString("P");
              w.write(raw({20, 0, 0, 0, 0x80}));
            })).message,
            msg::kInvalidPropertyValue);
}

TEST(BinaryToTextTest, BinaryData) {
  std::string b31(31, '\xAB'), b32(32, '\x01'), b33(33, '\xFF');
  std::string ab;
  for (int i = 0; i < 31; ++i) ab += "AB";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeBinary(b31.data(), 31); }), oneProperty("{" + ab + "}"));
  std::string ones;
  for (int i = 0; i < 32; ++i) ones += "01";
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeBinary(b32.data(), 32); }), oneProperty("{\r\n    " + ones + "}"));
  EXPECT_EQ(renderValue([&](TWriter& w) { w.writeBinary(b33.data(), 33); }),
            oneProperty("{\r\n    " + std::string(64, 'F') + "\r\n    FF}"));
}

TEST(BinaryToTextTest, Collections) {
  EXPECT_EQ(renderValue([](TWriter& w) {
              w.writeTag(tagCollection);
              w.writeInteger(3);
              w.writeListBegin();
              w.writeListEnd();
              w.writeInteger(-300);
              w.writeListBegin();
              w.writeShortString("X");
              w.writeInteger(1);
              w.writeListEnd();
              w.writeListEnd();
            }),
            oneProperty("<\r\n    item [3]\r\n    end\r\n    item [-300]\r\n      X = 1\r\n    end>"));
  Failure f = renderFailure(form([](TWriter& w) {
    w.writeShortString("P");
    w.writeTag(tagCollection);
    w.write(raw({19, 1, 0, 0, 0, 0, 0, 0, 0}));
    w.writeListBegin();
    w.writeListEnd();
    w.writeListEnd();
  }));
  EXPECT_EQ(f.message, msg::kInvalidPropertyValue);
  EXPECT_EQ(f.partialText, "object Form1: TForm1\r\n  P = <\r\n    item\r\n");
}

TEST(BinaryToTextTest, InputPositionAndTrailingBytes) {
  std::string stream = form([](TWriter& w) {
    w.writeShortString("A");
    w.writeInteger(1);
  }) + "garbage";
  TReadOnlyMemoryStream in(stream);
  TMemoryStream out;
  BinaryToText(in, out);
  EXPECT_EQ(out.data(), "object Form1: TForm1\r\n  A = 1\r\nend\r\n");
  EXPECT_EQ(in.position(), static_cast<std::int64_t>(stream.size() - 7));
}

TEST(BinaryToTextTest, Failures) {
  EXPECT_EQ(renderFailure("TPF1xxxx").message, msg::kInvalidStreamFormat);
  EXPECT_EQ(renderFailure("TP").message, msg::kReadError);
  std::string whole = form([](TWriter& w) {
    w.writeShortString("Caption");
    w.writeString("abc");
  });
  Failure cut = renderFailure(whole.substr(0, whole.size() - 1));
  EXPECT_EQ(cut.message, msg::kReadError);
  EXPECT_EQ(cut.partialText, "object Form1: TForm1\r\n  Caption = 'abc'\r\n");
  // Unknown tags are rejected where they stand, with the high bit or without.
  for (int tag : {22, 0x94, 0x7F, 0x82, 0x8C})
    EXPECT_EQ(renderFailure(form([&](TWriter& w) {
                w.writeShortString("P");
                w.writeByte(static_cast<unsigned char>(tag));
                w.write(raw({1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
              })).message,
              msg::kInvalidPropertyValue)
        << tag;
  EXPECT_EQ(renderFailure(form([](TWriter& w) { w.writeShortString("P"); w.write(raw({12, 0, 0, 0, 0x80})); })).message,
            msg::kInvalidPropertyValue);
  EXPECT_EQ(renderFailure(form([](TWriter& w) { w.writeShortString("P"); w.write(raw({18, 0xFF, 0xFF, 0xFF, 0xFF})); })).message,
            msg::kInvalidPropertyValue);
  // A child position that is not an integer.
  EXPECT_EQ(renderFailure("TPF0" + raw({0xF2, 6, 1, 'x', 1, 'A', 1, 'B', 0, 0})).message, msg::kInvalidPropertyValue);
}

TEST(BinaryToTextTest, DeepNestingIsRejected) {
  for (int kind = 0; kind < 3; ++kind) {
    std::string s = "TPF0" + raw({1, 'T', 0, 1, 'P'});
    for (int i = 0; i < 5000; ++i) s += kind == 0 ? raw({1}) : kind == 1 ? raw({14, 1, 1, 'Q'}) : raw({0});
    if (kind == 2) s = "TPF0" + [] {
      std::string t;
      for (int i = 0; i < 5000; ++i) t += raw({1, 'T', 0, 0});
      return t;
    }();
    EXPECT_EQ(renderFailure(s).message, msg::kInvalidPropertyValue) << kind;
  }
  // 900 nested lists are fine.
  std::string s = "TPF0" + raw({1, 'T', 0, 1, 'P'}) + std::string(900, '\x01') + std::string(900, '\0') + raw({0, 0});
  EXPECT_NO_THROW(render(s));
}

}  // namespace
}  // namespace vc
