#pragma once
// Byte streams: the abstract stream and its memory, file and read-only view
// implementations. Reads and writes return the count actually moved; the
// *Buffer forms raise the read or write error when the count falls short.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vc {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::size_t read(void* buffer, std::size_t count) = 0;
  virtual std::size_t write(const void* buffer, std::size_t count) = 0;
  // Returns the new position; raises EStreamError when the stream cannot seek.
  virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t size();

  std::int64_t position() { return seek(0, SeekOrigin::Current); }
  void setPosition(std::int64_t pos) { seek(pos, SeekOrigin::Begin); }
  void readBuffer(void* buffer, std::size_t count);         // EReadError when short
  void writeBuffer(const void* buffer, std::size_t count);  // EWriteError when short
  void writeBytes(std::string_view bytes) { writeBuffer(bytes.data(), bytes.size()); }
  // Copies count bytes (all remaining when count is 0) from source; returns the count.
  std::int64_t copyFrom(TStream& source, std::int64_t count);
};

// Growable stream in memory; data() gives the bytes written so far.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : m_data(std::move(bytes)) {}
  std::size_t read(void* buffer, std::size_t count) override;
  std::size_t write(const void* buffer, std::size_t count) override;
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t size() override { return static_cast<std::int64_t>(m_data.size()); }
  const std::string& data() const { return m_data; }
  std::string takeData() { m_pos = 0; return std::move(m_data); }
  void clear() { m_data.clear(); m_pos = 0; }

 private:
  std::string m_data;
  std::size_t m_pos = 0;
};

// Where output goes when only a listener's view of it is wanted: nowhere.
// Writes succeed and count; reads give nothing.
class TDiscardStream : public TStream {
 public:
  std::size_t read(void*, std::size_t) override { return 0; }
  std::size_t write(const void*, std::size_t count) override {
    m_size += static_cast<std::int64_t>(count);
    return count;
  }
  std::int64_t seek(std::int64_t, SeekOrigin) override { return m_size; }
  std::int64_t size() override { return m_size; }

 private:
  std::int64_t m_size = 0;
};

// Read-only stream over bytes owned elsewhere. A write raises EStreamError
// with the message given at construction.
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, std::size_t size, std::string writeMessage);
  explicit TReadOnlyMemoryStream(std::string_view bytes);
  std::size_t read(void* buffer, std::size_t count) override;
  std::size_t write(const void* buffer, std::size_t count) override;
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t size() override { return static_cast<std::int64_t>(m_size); }

 private:
  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
  std::string m_writeMessage;
};

// A file on disk, or a stdio stream such as stdin/stdout (which may not seek).
class TFileStream : public TStream {
 public:
  enum class Mode { OpenRead, Create };
  // Raises EFOpenError / EFCreateError with a message naming the file.
  TFileStream(const std::string& path, Mode mode);
  // Wraps an open stdio stream; it is closed on destruction only when owned.
  TFileStream(std::FILE* file, bool owned);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t read(void* buffer, std::size_t count) override;
  std::size_t write(const void* buffer, std::size_t count) override;
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t size() override;
  // Flushes stdio buffers; false when the data could not be written.
  bool flush();

 private:
  std::FILE* m_file;
  bool m_owned;
  std::int64_t m_pos = 0;  // tracked so that position() works on pipes
};

}  // namespace vc
