#pragma once
// Common base of TReader and TWriter: the stream worked on and a buffer of
// kBufferSize bytes. Also the value tags and object flags of the binary form.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formstream/Stream.h"

namespace vc {

enum ValueTag : unsigned char {
  tagNull = 0,
  tagList = 1,
  tagInt8 = 2,
  tagInt16 = 3,
  tagInt32 = 4,
  tagExtended = 5,
  tagString = 6,
  tagIdent = 7,
  tagFalse = 8,
  tagTrue = 9,
  tagBinary = 10,
  tagSet = 11,
  tagLString = 12,
  tagNil = 13,
  tagCollection = 14,
  tagSingle = 15,
  tagCurrency = 16,
  tagDate = 17,
  tagWString = 18,
  tagInt64 = 19,
  // Written by newer compilers: a 4-byte length and UTF-8 bytes, and an
  // IEEE binary64. Read like tag 18 and tag 5; never written here.
  tagUtf8String = 20,
  tagDouble = 21,
};

enum FilerFlag : int { flagInherited = 1, flagChildPos = 2, flagInline = 4 };

// Objects, lists and collections nested deeper than this are rejected, so a
// hostile stream cannot exhaust the call stack.
inline constexpr int kMaxNesting = 1000;

class TFiler {
 public:
  static constexpr std::size_t kBufferSize = 4096;
  virtual ~TFiler() = default;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;
  TStream& stream() { return m_stream; }

 protected:
  TFiler(TStream& stream, std::size_t bufferSize)
      : m_stream(stream), m_buffer(bufferSize == 0 ? 1 : bufferSize) {}

  TStream& m_stream;
  std::vector<unsigned char> m_buffer;
  std::size_t m_bufPos = 0;  // next byte to serve (reader) / to fill (writer)
  std::size_t m_bufEnd = 0;  // bytes valid in the buffer (reader)
};

}  // namespace vc
