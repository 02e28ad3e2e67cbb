#pragma once
// Writes the primitives of a binary form stream (and plain text bytes)
// through a 4096-byte buffer. The buffer reaches the stream when it is full,
// on flushBuffer() and when the writer is discarded, so after a failure the
// stream holds everything written before it.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "formstream/Extended.h"
#include "formstream/TFiler.h"

namespace vc {

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream, std::size_t bufferSize = kBufferSize);
  // Passes the rest of the buffer on; a write error at this point is lost,
  // so callers that finish normally call flushBuffer() first.
  ~TWriter() override;

  void flushBuffer();  // raises EWriteError when the stream takes less
  void write(const void* buffer, std::size_t count) {
    // Inline while the bytes fit, which they nearly always do; the buffer
    // is passed on only when a byte has to go behind its end.
    if (count <= m_buffer.size() - m_bufPos) {
      if (count != 0) std::memcpy(m_buffer.data() + m_bufPos, buffer, count);
      m_bufPos += count;
    } else {
      writeAcross(buffer, count);
    }
  }
  void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
  // Room for count bytes that the caller fills at once, or null when they
  // do not fit behind what the buffer holds (write them piece by piece then).
  char* claim(std::size_t count) {
    if (count > m_buffer.size() - m_bufPos) return nullptr;
    char* room = reinterpret_cast<char*>(m_buffer.data()) + m_bufPos;
    m_bufPos += count;
    return room;
  }
  void writeByte(unsigned char b) {
    if (m_bufPos == m_buffer.size()) flushBuffer();
    m_buffer[m_bufPos++] = b;
  }

  void writeSignature();
  void writeTag(unsigned char tag) { writeByte(tag); }
  void writeListBegin() { writeByte(tagList); }
  void writeListEnd() { writeByte(tagNull); }
  // Nothing when flags is 0; else 0xF0|flags and, with flagChildPos, the
  // position as an integer value.
  void writePrefix(int flags, std::int32_t childPos);
  // Length byte and at most the first 255 bytes.
  void writeShortString(std::string_view s) {
    std::size_t n = s.size() < 255 ? s.size() : 255;
    writeByte(static_cast<unsigned char>(n));
    write(s.data(), n);
  }
  void writeInteger(std::int32_t v);  // smallest of tags 2, 3, 4
  void writeInt64(std::int64_t v);    // tag 19 only beyond the 32-bit range
  void writeString(std::string_view s);  // tag 6 up to 255 bytes, else tag 12
  void writeWideString(std::u16string_view w);
  // False, True, Null and nil (any ASCII case) become their own tags.
  void writeIdent(std::string_view s);
  void writeFloat(const Extended& v);
  void writeSingle(float v);
  void writeDate(double v);
  void writeCurrency(std::int64_t scaled);
  void writeBinary(const void* data, std::size_t count);

 private:
  void writeAcross(const void* buffer, std::size_t count);
  void writeLE(std::uint64_t v, int bytes);
};

}  // namespace vc
