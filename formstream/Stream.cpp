#include "formstream/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "formstream/Errors.h"

namespace vc {

std::int64_t TStream::size() {
  std::int64_t pos = seek(0, SeekOrigin::Current);
  std::int64_t end = seek(0, SeekOrigin::End);
  seek(pos, SeekOrigin::Begin);
  return end;
}

void TStream::readBuffer(void* buffer, std::size_t count) {
  if (count != 0 && read(buffer, count) != count) throw EReadError(msg::kReadError);
}

void TStream::writeBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && write(buffer, count) != count) throw EWriteError(msg::kWriteError);
}

std::int64_t TStream::copyFrom(TStream& source, std::int64_t count) {
  std::vector<char> buf(64 * 1024);
  std::int64_t total = 0;
  bool all = count == 0;
  while (all || total < count) {
    std::size_t want = buf.size();
    if (!all) want = static_cast<std::size_t>(std::min<std::int64_t>(want, count - total));
    std::size_t got = source.read(buf.data(), want);
    if (got == 0) {
      if (all) break;
      throw EReadError(msg::kReadError);
    }
    writeBuffer(buf.data(), got);
    total += static_cast<std::int64_t>(got);
  }
  return total;
}

// ---- TMemoryStream

std::size_t TMemoryStream::read(void* buffer, std::size_t count) {
  if (m_pos >= m_data.size()) return 0;
  std::size_t n = std::min(count, m_data.size() - m_pos);
  std::memcpy(buffer, m_data.data() + m_pos, n);
  m_pos += n;
  return n;
}

std::size_t TMemoryStream::write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (m_pos == m_data.size()) {
    // Appending grows geometrically and does not clear what it will copy over.
    m_data.append(static_cast<const char*>(buffer), count);
  } else {
    if (m_pos + count > m_data.size()) m_data.resize(m_pos + count);
    std::memcpy(m_data.data() + m_pos, buffer, count);
  }
  m_pos += count;
  return count;
}

namespace {
std::int64_t resolveSeek(std::int64_t offset, SeekOrigin origin, std::int64_t pos, std::int64_t size) {
  switch (origin) {
    case SeekOrigin::Begin: return offset;
    case SeekOrigin::Current: return pos + offset;
    case SeekOrigin::End: return size + offset;
  }
  return pos;
}
}  // namespace

std::int64_t TMemoryStream::seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t p = resolveSeek(offset, origin, static_cast<std::int64_t>(m_pos), size());
  m_pos = static_cast<std::size_t>(std::max<std::int64_t>(p, 0));
  return static_cast<std::int64_t>(m_pos);
}

// ---- TReadOnlyMemoryStream

TReadOnlyMemoryStream::TReadOnlyMemoryStream(const void* data, std::size_t size, std::string writeMessage)
    : m_data(static_cast<const unsigned char*>(data)), m_size(size), m_writeMessage(std::move(writeMessage)) {}

TReadOnlyMemoryStream::TReadOnlyMemoryStream(std::string_view bytes)
    : TReadOnlyMemoryStream(bytes.data(), bytes.size(), msg::kReadOnlyResourceStream) {}

std::size_t TReadOnlyMemoryStream::read(void* buffer, std::size_t count) {
  if (m_pos >= m_size) return 0;
  std::size_t n = std::min(count, m_size - m_pos);
  std::memcpy(buffer, m_data + m_pos, n);
  m_pos += n;
  return n;
}

std::size_t TReadOnlyMemoryStream::write(const void*, std::size_t) { throw EStreamError(m_writeMessage); }

std::int64_t TReadOnlyMemoryStream::seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t p = resolveSeek(offset, origin, static_cast<std::int64_t>(m_pos), size());
  m_pos = static_cast<std::size_t>(std::max<std::int64_t>(p, 0));
  return static_cast<std::int64_t>(m_pos);
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& path, Mode mode) : m_owned(true) {
  m_file = std::fopen(path.c_str(), mode == Mode::OpenRead ? "rb" : "wb");
  if (!m_file) {
    std::string reason = std::strerror(errno);
    if (mode == Mode::OpenRead) throw EFOpenError("無法開啟檔案 " + path + "。" + reason);
    throw EFCreateError("無法建立檔案 " + path + "。" + reason);
  }
}

TFileStream::TFileStream(std::FILE* file, bool owned) : m_file(file), m_owned(owned) {}

TFileStream::~TFileStream() {
  if (m_owned && m_file) std::fclose(m_file);
}

std::size_t TFileStream::read(void* buffer, std::size_t count) {
  std::size_t n = std::fread(buffer, 1, count, m_file);
  m_pos += static_cast<std::int64_t>(n);
  return n;
}

std::size_t TFileStream::write(const void* buffer, std::size_t count) {
  std::size_t n = std::fwrite(buffer, 1, count, m_file);
  m_pos += static_cast<std::int64_t>(n);
  return n;
}

std::int64_t TFileStream::seek(std::int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::Current && offset == 0) return m_pos;
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  if (fseeko(m_file, static_cast<off_t>(offset), whence) != 0) throw EStreamError("資料串流無法定位");
  m_pos = static_cast<std::int64_t>(ftello(m_file));
  return m_pos;
}

std::int64_t TFileStream::size() {
  std::int64_t pos = m_pos;
  std::int64_t end = seek(0, SeekOrigin::End);
  seek(pos, SeekOrigin::Begin);
  return end;
}

bool TFileStream::flush() { return std::fflush(m_file) == 0 && !std::ferror(m_file); }

}  // namespace vc
