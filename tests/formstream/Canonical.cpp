#include "Canonical.h"

#include "formstream/Errors.h"
#include "formstream/ExtendedParse.h"
#include "formstream/TReader.h"
#include "formstream/TWriter.h"

namespace vc::test {
namespace {

// Numbers come back as their 15-digit rendering reads.
Extended viaText(const Extended& v) {
  auto back = parseExtended(formatGeneral(v));
  if (!back) throw Exception("not finite: " + formatGeneral(v));
  return *back;
}

class Canonicalizer {
 public:
  Canonicalizer(TReader& reader, TWriter& writer) : r(reader), w(writer) {}

  void object() {
    std::int32_t position = 0;
    int flags = r.readPrefix(position) & 7;
    if (flags & flagInherited) flags &= ~flagInline;  // rendered "inherited"
    if ((flags & flagChildPos) && position < 0) flags &= ~flagChildPos;
    w.writePrefix(flags, position);
    w.writeShortString(r.readShortString());
    w.writeShortString(r.readShortString());
    while (!r.endOfList()) property();
    r.readListEnd();
    w.writeListEnd();
    while (!r.endOfList()) object();
    r.readListEnd();
    w.writeListEnd();
  }

 private:
  void property() {
    w.writeShortString(r.readShortString());
    value();
  }

  void value() {
    switch (r.peekTag() & 0x7F) {
      case tagList:
        r.readTag();
        w.writeListBegin();
        while (!r.endOfList()) value();
        r.readListEnd();
        w.writeListEnd();
        break;
      case tagInt8: case tagInt16: case tagInt32: case tagInt64:
        w.writeInt64(r.readInt64());
        break;
      case tagExtended: case tagDouble: {
        // An integral value renders as an integer and comes back as one.
        std::string text = formatGeneral(r.readFloat());
        if (auto i = parseInt64(text)) w.writeInt64(*i);
        else if (auto x = parseExtended(text)) w.writeFloat(*x);
        else w.writeIdent(text);
        break;
      }
      case tagSingle:
        w.writeSingle(*extendedToSingle(viaText(Extended::fromSingle(r.readSingle()))));
        break;
      case tagDate:
        w.writeDate(*extendedToDouble(viaText(Extended::fromDouble(r.readDate()))));
        break;
      case tagCurrency:
        w.writeCurrency(*extendedToCurrency(viaText(Extended::fromInt64(r.readCurrency()))));
        break;
      case tagString: case tagLString:
        w.writeString(r.readString());
        break;
      case tagWString: case tagUtf8String: {
        std::u16string units = r.readWideString();
        std::string bytes;
        bool wide = false;
        for (char16_t u : units) {
          wide = wide || u > 0x7F;  // rendered as a # code, which reads back wide
          bytes.push_back(static_cast<char>(u));
        }
        if (wide) w.writeWideString(units);
        else w.writeString(bytes);
        break;
      }
      case tagBinary: {
        r.readTag();
        std::int32_t n = r.readRawInt32();
        std::string data;
        if (n > 0) r.readBytes(data, static_cast<std::uint64_t>(n));
        w.writeBinary(data.data(), data.size());
        break;
      }
      case tagSet:
        r.readTag();
        w.writeTag(tagSet);
        for (;;) {
          std::string element = r.readShortString();
          w.writeShortString(element);
          if (element.empty()) break;
        }
        break;
      case tagCollection:
        r.readTag();
        w.writeTag(tagCollection);
        while (!r.endOfList()) {
          unsigned char t = r.peekTag();
          if (t == tagInt8 || t == tagInt16 || t == tagInt32) {
            std::int32_t index = r.readInteger();
            if (index != -1) w.writeInteger(index);
          }
          r.checkTag(tagList);
          w.writeListBegin();
          while (!r.endOfList()) property();
          r.readListEnd();
          w.writeListEnd();
        }
        r.readListEnd();
        w.writeListEnd();
        break;
      case tagNull: case tagIdent: case tagFalse: case tagTrue: case tagNil:
        w.writeIdent(r.readIdent());
        break;
      default:
        throw EReadError(msg::kInvalidPropertyValue);
    }
  }

  TReader& r;
  TWriter& w;
};

}  // namespace

std::string canonicalStream(std::string_view binary) {
  TReadOnlyMemoryStream in(binary);
  TMemoryStream out;
  {
    TReader reader(in);
    TWriter writer(out);
    std::string signature(4, '\0');
    reader.read(signature.data(), 4);
    if (signature != "TPF0") throw EReadError(msg::kInvalidStreamFormat);
    writer.writeSignature();
    Canonicalizer(reader, writer).object();
    writer.flushBuffer();
  }
  return out.data();
}

}  // namespace vc::test
