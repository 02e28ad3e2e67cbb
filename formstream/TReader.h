#pragma once
// Reads the primitives of a binary form stream through a 4096-byte buffer.
// Running out of input raises EReadError "資料串流讀取錯誤"; a value of the
// wrong kind raises EReadError "無效的屬性值".
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "formstream/Extended.h"
#include "formstream/TFiler.h"

namespace vc {

class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream, std::size_t bufferSize = kBufferSize);
  // Moves the stream back to just behind the last byte consumed.
  ~TReader() override;

  // Stream position just behind the last byte consumed.
  std::int64_t position() { return m_stream.position() - static_cast<std::int64_t>(m_bufEnd - m_bufPos); }

  void read(void* buffer, std::size_t count) {
    if (count <= m_bufEnd - m_bufPos) {
      std::memcpy(buffer, m_buffer.data() + m_bufPos, count);
      m_bufPos += count;
    } else {
      readAcross(buffer, count);
    }
  }
  unsigned char readByte() {
    if (m_bufPos == m_bufEnd) fill();
    return m_buffer[m_bufPos++];
  }
  // Appends count bytes to out, growing it only as data actually arrives, so
  // a hostile length claim cannot allocate more than the input holds.
  void readBytes(std::string& out, std::uint64_t count);
  // The next count bytes, valid until the reader is used again: a view of
  // the buffer when they are all in it, else of a copy kept by the reader.
  std::string_view readView(std::uint64_t count) {
    if (count <= m_bufEnd - m_bufPos) {
      std::string_view v(reinterpret_cast<const char*>(m_buffer.data()) + m_bufPos, static_cast<std::size_t>(count));
      m_bufPos += static_cast<std::size_t>(count);
      return v;
    }
    return readViewAcross(count);
  }
  void skipBytes(std::uint64_t count);
  std::int32_t readRawInt32();

  unsigned char readTag() { return readByte(); }
  unsigned char peekTag() {
    if (m_bufPos == m_bufEnd) fill();
    return m_buffer[m_bufPos];
  }
  bool endOfList() { return peekTag() == tagNull; }
  void readListEnd();
  // Consumes a tag; when it is not `tag`, skips the whole value that starts
  // there and raises invalid value.
  void checkTag(unsigned char tag);
  void skipValue();

  std::string readShortString();
  std::string_view readShortStringView() { return readView(readByte()); }  // as readView
  // Tag 6 or 12 and the bytes, as readView.
  std::string_view readStringView();
  // Object prefix: returns the flags (0 when there is none) and, with
  // flagChildPos, stores the child position.
  int readPrefix(std::int32_t& childPos);

  std::int32_t readInteger();
  std::int64_t readInt64();
  Extended readFloat();
  float readSingle();
  double readDate();
  std::int64_t readCurrency();  // the raw amount times 10000
  std::string readString();
  std::u16string readWideString();
  void readWideString(std::u16string& out);  // the same into out, reusing its memory
  std::string readIdent();

 private:
  void fill();
  void readAcross(void* buffer, std::size_t count);
  std::string_view readViewAcross(std::uint64_t count);
  std::uint32_t readRawLength();  // a 4-byte length; negative raises invalid value
  void skipValue(int depth);
  [[noreturn]] static void invalidValue();

  std::string m_across;  // bytes of a view that did not fit the buffer
};

}  // namespace vc
