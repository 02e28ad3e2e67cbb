#pragma once
// Random access to the bytes of a module without holding the whole file:
// every read names its offset and length and fails cleanly when any byte of
// it lies outside the source.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vc::modres {

// True when [offset, offset + count) lies inside [0, size), without overflow.
constexpr bool fitsIn(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
  return offset <= size && count <= size - offset;
}

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Fills buffer with exactly count bytes from offset; false when they are not all there.
  virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
  // Bytes fetched from the underlying storage so far (for measuring).
  std::uint64_t bytesRead() const { return m_bytesRead; }

  bool readU16(std::uint64_t offset, std::uint16_t& value);
  bool readU32(std::uint64_t offset, std::uint32_t& value);

 protected:
  std::uint64_t m_bytesRead = 0;
};

// Bytes held in memory (fuzzing, tests).
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::string bytes) : m_bytes(std::move(bytes)) {}
  std::uint64_t size() const override { return m_bytes.size(); }
  bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  std::string m_bytes;
};

// A regular file read at offsets. Small reads go through a few cached pages,
// since the resource directory is walked eight bytes at a time.
class FileByteSource : public ByteSource {
 public:
  // Raises EModuleError (Missing, NotAFile, Unreadable) when the path does
  // not name a readable regular file.
  static std::unique_ptr<FileByteSource> open(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::uint64_t size() const override { return m_size; }
  bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  static constexpr std::size_t kPageSize = 4096;
  static constexpr std::size_t kPageCount = 16;
  struct Page {
    std::uint64_t start = UINT64_MAX;
    std::uint64_t lastUse = 0;
    std::size_t length = 0;
    std::array<unsigned char, kPageSize> bytes{};
  };

  FileByteSource(int fd, std::uint64_t size);
  bool readRaw(std::uint64_t offset, void* buffer, std::size_t count);
  const Page* page(std::uint64_t start);

  int m_fd;
  std::uint64_t m_size;
  std::uint64_t m_clock = 0;
  std::vector<Page> m_pages;
};

}  // namespace vc::modres
