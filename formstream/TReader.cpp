#include "formstream/TReader.h"

#include <algorithm>
#include <cstring>

#include "formstream/Errors.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"

namespace vc {

TReader::TReader(TStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize) {}

TReader::~TReader() {
  std::size_t unread = m_bufEnd - m_bufPos;
  if (unread == 0) return;
  try {
    m_stream.seek(-static_cast<std::int64_t>(unread), SeekOrigin::Current);
  } catch (...) {
    // A pipe cannot go back; the unread bytes are lost to later readers.
  }
}

[[noreturn]] void TReader::invalidValue() { throw EReadError(msg::kInvalidPropertyValue); }

void TReader::fill() {
  m_bufPos = 0;
  m_bufEnd = m_stream.read(m_buffer.data(), m_buffer.size());
  if (m_bufEnd == 0) throw EReadError(msg::kReadError);
}

void TReader::readAcross(void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    if (m_bufPos == m_bufEnd) fill();
    std::size_t n = std::min(count, m_bufEnd - m_bufPos);
    std::memcpy(out, m_buffer.data() + m_bufPos, n);
    m_bufPos += n;
    out += n;
    count -= n;
  }
}

void TReader::readBytes(std::string& out, std::uint64_t count) {
  while (count > 0) {
    if (m_bufPos == m_bufEnd) fill();
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_bufEnd - m_bufPos));
    out.append(reinterpret_cast<const char*>(m_buffer.data() + m_bufPos), n);
    m_bufPos += n;
    count -= n;
  }
}

std::string_view TReader::readViewAcross(std::uint64_t count) {
  m_across.clear();
  readBytes(m_across, count);
  return m_across;
}

void TReader::skipBytes(std::uint64_t count) {
  while (count > 0) {
    if (m_bufPos == m_bufEnd) fill();
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_bufEnd - m_bufPos));
    m_bufPos += n;
    count -= n;
  }
}

std::int32_t TReader::readRawInt32() {
  unsigned char b[4];
  read(b, 4);
  return static_cast<std::int32_t>(le::u32(b));
}

std::uint32_t TReader::readRawLength() {
  std::int32_t n = readRawInt32();
  if (n < 0) invalidValue();
  return static_cast<std::uint32_t>(n);
}

void TReader::readListEnd() {
  if (readByte() != tagNull) invalidValue();
}

void TReader::checkTag(unsigned char tag) {
  if (peekTag() == tag) {
    ++m_bufPos;
    return;
  }
  skipValue();
  invalidValue();
}

void TReader::skipValue() { skipValue(0); }

void TReader::skipValue(int depth) {
  if (depth > kMaxNesting) invalidValue();
  unsigned char tag = readTag();
  switch (tag & 0x7F) {
    case tagNull: case tagFalse: case tagTrue: case tagNil: return;
    case tagList:
      while (!endOfList()) skipValue(depth + 1);
      readListEnd();
      return;
    case tagInt8: skipBytes(1); return;
    case tagInt16: skipBytes(2); return;
    case tagInt32: case tagSingle: skipBytes(4); return;
    case tagExtended: skipBytes(10); return;
    case tagString: case tagIdent: skipBytes(readByte()); return;
    case tagBinary: case tagLString: case tagUtf8String: skipBytes(readRawLength()); return;
    case tagWString: skipBytes(2 * std::uint64_t{readRawLength()}); return;
    case tagSet:
      while (true) {
        unsigned char n = readByte();
        if (n == 0) return;
        skipBytes(n);
      }
    case tagCollection:
      while (!endOfList()) {
        unsigned char t = peekTag();
        if (t == tagInt8 || t == tagInt16 || t == tagInt32) readInteger();
        if (readTag() != tagList) invalidValue();
        while (!endOfList()) {
          skipBytes(readByte());
          skipValue(depth + 1);
        }
        readListEnd();
      }
      readListEnd();
      return;
    case tagCurrency: case tagDate: case tagInt64: case tagDouble: skipBytes(8); return;
    default: invalidValue();
  }
}

std::string TReader::readShortString() {
  std::string s;
  readBytes(s, readByte());
  return s;
}

int TReader::readPrefix(std::int32_t& childPos) {
  unsigned char b = peekTag();
  if (b < 0xF0) return 0;
  ++m_bufPos;
  int flags = b & 0x0F;
  if (flags & flagChildPos) childPos = readInteger();
  return flags;
}

std::int32_t TReader::readInteger() {
  unsigned char b[4];
  switch (readTag()) {
    case tagInt8: read(b, 1); return static_cast<std::int8_t>(b[0]);
    case tagInt16: read(b, 2); return static_cast<std::int16_t>(le::u16(b));
    case tagInt32: read(b, 4); return static_cast<std::int32_t>(le::u32(b));
    default: invalidValue();
  }
}

std::int64_t TReader::readInt64() {
  if (peekTag() != tagInt64) return readInteger();
  ++m_bufPos;
  unsigned char b[8];
  read(b, 8);
  return static_cast<std::int64_t>(le::u64(b));
}

namespace {
double doubleFromBits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
}  // namespace

Extended TReader::readFloat() {
  unsigned char b[10];
  switch (peekTag()) {
    case tagExtended:
      ++m_bufPos;
      read(b, 10);
      return Extended::fromBytes(b);
    case tagDouble:
      ++m_bufPos;
      read(b, 8);
      return Extended::fromDouble(doubleFromBits(le::u64(b)));
    default:
      return Extended::fromInt64(readInteger());
  }
}

float TReader::readSingle() {
  if (peekTag() != tagSingle) return static_cast<float>(readInteger());
  ++m_bufPos;
  unsigned char b[4];
  read(b, 4);
  std::uint32_t bits = le::u32(b);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

double TReader::readDate() {
  if (peekTag() != tagDate) return static_cast<double>(readInteger());
  ++m_bufPos;
  unsigned char b[8];
  read(b, 8);
  return doubleFromBits(le::u64(b));
}

std::int64_t TReader::readCurrency() {
  if (peekTag() != tagCurrency) return std::int64_t{readInteger()} * 10000;
  ++m_bufPos;
  unsigned char b[8];
  read(b, 8);
  return static_cast<std::int64_t>(le::u64(b));
}

std::string_view TReader::readStringView() {
  switch (readTag()) {
    case tagString: return readView(readByte());
    case tagLString: return readView(readRawLength());
    default: invalidValue();
  }
}

std::string TReader::readString() { return std::string(readStringView()); }

std::u16string TReader::readWideString() {
  std::u16string w;
  readWideString(w);
  return w;
}

void TReader::readWideString(std::u16string& out) {
  switch (readTag()) {
    case tagWString: {
      std::uint64_t units = readRawLength();
      // The units are taken in only once all their bytes have arrived.
      std::string_view raw = readView(2 * units);
      le::utf16(reinterpret_cast<const unsigned char*>(raw.data()), units, out);
      return;
    }
    case tagUtf8String:
      out = utf::utf8ToUtf16(readView(readRawLength()));
      return;
    default: invalidValue();
  }
}

std::string TReader::readIdent() {
  switch (readTag() & 0x7F) {
    case tagIdent: return readShortString();
    case tagNull: return "Null";
    case tagFalse: return "False";
    case tagTrue: return "True";
    case tagNil: return "nil";
    default: invalidValue();
  }
}

}  // namespace vc
