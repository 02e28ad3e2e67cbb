#include "modres/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "modres/ModuleError.h"
#include "platform/LittleEndian.h"

namespace vc::modres {

bool ByteSource::readU16(std::uint64_t offset, std::uint16_t& value) {
  unsigned char b[2];
  if (!readAt(offset, b, 2)) return false;
  value = le::u16(b);
  return true;
}

bool ByteSource::readU32(std::uint64_t offset, std::uint32_t& value) {
  unsigned char b[4];
  if (!readAt(offset, b, 4)) return false;
  value = le::u32(b);
  return true;
}

bool MemoryByteSource::readAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!fitsIn(offset, count, m_bytes.size())) return false;
  if (count != 0) std::memcpy(buffer, m_bytes.data() + offset, count);
  m_bytesRead += count;
  return true;
}

std::unique_ptr<FileByteSource> FileByteSource::open(const std::string& path) {
  // O_NONBLOCK keeps a FIFO or device from stalling the open; only regular
  // files are accepted afterwards.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) throw EModuleError(ModuleFault::Missing, "no such file");
    throw EModuleError(ModuleFault::Unreadable, std::strerror(err));
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    const bool folder = S_ISDIR(st.st_mode);
    ::close(fd);
    throw EModuleError(ModuleFault::NotAFile, folder ? "a directory, not a module" : "not a regular file");
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(fd, static_cast<std::uint64_t>(st.st_size)));
}

FileByteSource::FileByteSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size), m_pages(kPageCount) {}

FileByteSource::~FileByteSource() { ::close(m_fd); }

bool FileByteSource::readRaw(std::uint64_t offset, void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    ssize_t n = ::pread(m_fd, out, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    m_bytesRead += static_cast<std::uint64_t>(n);
    out += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

const FileByteSource::Page* FileByteSource::page(std::uint64_t start) {
  Page* victim = &m_pages[0];
  for (Page& p : m_pages) {
    if (p.start == start) {
      p.lastUse = ++m_clock;
      return &p;
    }
    if (p.lastUse < victim->lastUse) victim = &p;
  }
  std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kPageSize, m_size - start));
  victim->start = UINT64_MAX;
  if (!readRaw(start, victim->bytes.data(), length)) return nullptr;
  victim->start = start;
  victim->length = length;
  victim->lastUse = ++m_clock;
  return victim;
}

bool FileByteSource::readAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!fitsIn(offset, count, m_size)) return false;
  if (count > kPageSize) return readRaw(offset, buffer, count);
  auto* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    std::uint64_t start = offset - offset % kPageSize;
    const Page* p = page(start);
    if (p == nullptr) return false;
    std::size_t within = static_cast<std::size_t>(offset - start);
    if (within >= p->length) return false;  // the file shrank under us
    std::size_t n = std::min(count, p->length - within);
    std::memcpy(out, p->bytes.data() + within, n);
    out += n;
    offset += n;
    count -= n;
  }
  return true;
}

}  // namespace vc::modres
