#include "formstream/TWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "formstream/Errors.h"

namespace vc {

TWriter::TWriter(TStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter() {
  try {
    flushBuffer();
  } catch (...) {
    // Already unwinding from the conversion's own error, or the caller chose
    // not to flush; either way there is no one left to report to.
  }
}

void TWriter::flushBuffer() {
  std::size_t n = m_bufPos;
  m_bufPos = 0;
  m_stream.writeBuffer(m_buffer.data(), n);
}

void TWriter::writeAcross(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    if (m_bufPos == m_buffer.size()) flushBuffer();
    std::size_t n = std::min(count, m_buffer.size() - m_bufPos);
    std::memcpy(m_buffer.data() + m_bufPos, in, n);
    m_bufPos += n;
    in += n;
    count -= n;
  }
}

void TWriter::writeLE(std::uint64_t v, int bytes) {
  unsigned char b[8];
  for (int i = 0; i < bytes; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
  write(b, static_cast<std::size_t>(bytes));
}

void TWriter::writeSignature() { write("TPF0", 4); }

void TWriter::writePrefix(int flags, std::int32_t childPos) {
  if (flags == 0) return;
  writeByte(static_cast<unsigned char>(0xF0 | flags));
  if (flags & flagChildPos) writeInteger(childPos);
}

void TWriter::writeInteger(std::int32_t v) {
  if (v >= -128 && v <= 127) {
    writeByte(tagInt8);
    writeLE(static_cast<std::uint32_t>(v), 1);
  } else if (v >= -32768 && v <= 32767) {
    writeByte(tagInt16);
    writeLE(static_cast<std::uint32_t>(v), 2);
  } else {
    writeByte(tagInt32);
    writeLE(static_cast<std::uint32_t>(v), 4);
  }
}

void TWriter::writeInt64(std::int64_t v) {
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
    writeInteger(static_cast<std::int32_t>(v));
    return;
  }
  writeByte(tagInt64);
  writeLE(static_cast<std::uint64_t>(v), 8);
}

void TWriter::writeString(std::string_view s) {
  if (s.size() <= 255) {
    writeByte(tagString);
    writeByte(static_cast<unsigned char>(s.size()));
  } else {
    writeByte(tagLString);
    writeLE(s.size(), 4);
  }
  write(s.data(), s.size());
}

void TWriter::writeWideString(std::u16string_view w) {
  writeByte(tagWString);
  writeLE(w.size(), 4);
  for (char16_t c : w) writeLE(c, 2);
}

namespace {
bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace

void TWriter::writeIdent(std::string_view s) {
  if (sameIgnoringAsciiCase(s, "False")) {
    writeByte(tagFalse);
  } else if (sameIgnoringAsciiCase(s, "True")) {
    writeByte(tagTrue);
  } else if (sameIgnoringAsciiCase(s, "Null")) {
    writeByte(tagNull);
  } else if (sameIgnoringAsciiCase(s, "nil")) {
    writeByte(tagNil);
  } else {
    writeByte(tagIdent);
    writeShortString(s);
  }
}

void TWriter::writeFloat(const Extended& v) {
  unsigned char b[10];
  v.toBytes(b);
  writeByte(tagExtended);
  write(b, 10);
}

void TWriter::writeSingle(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  writeByte(tagSingle);
  writeLE(bits, 4);
}

void TWriter::writeDate(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  writeByte(tagDate);
  writeLE(bits, 8);
}

void TWriter::writeCurrency(std::int64_t scaled) {
  writeByte(tagCurrency);
  writeLE(static_cast<std::uint64_t>(scaled), 8);
}

void TWriter::writeBinary(const void* data, std::size_t count) {
  writeByte(tagBinary);
  writeLE(count, 4);
  write(data, count);
}

}  // namespace vc
