#pragma once
// Reads the primitives of a binary form stream through a 4096-byte buffer.
// Running out of input raises EReadError "資料串流讀取錯誤"; a value of the
// wrong kind raises EReadError "無效的屬性值".
#include <cstdint>
#include <string>

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

  void read(void* buffer, std::size_t count);
  unsigned char readByte();
  // Appends count bytes to out, growing it only as data actually arrives, so
  // a hostile length claim cannot allocate more than the input holds.
  void readBytes(std::string& out, std::uint64_t count);
  void skipBytes(std::uint64_t count);
  std::int32_t readRawInt32();

  unsigned char readTag();
  unsigned char peekTag();
  bool endOfList() { return peekTag() == tagNull; }
  void readListEnd();
  // Consumes a tag; when it is not `tag`, skips the whole value that starts
  // there and raises invalid value.
  void checkTag(unsigned char tag);
  void skipValue();

  std::string readShortString();
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
  std::string readIdent();

 private:
  void fill();
  std::uint32_t readRawLength();  // a 4-byte length; negative raises invalid value
  void skipValue(int depth);
  [[noreturn]] static void invalidValue();
};

}  // namespace vc
