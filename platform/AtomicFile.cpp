#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Exception.h"

namespace vc {
namespace {

std::string folderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name behind a chain of symbolic links: a link's target replaces it,
// relative to the link's folder. A missing end is where a new file goes.
std::string followLinks(std::string path, int& err) {
  constexpr int kMaxLinks = 40;  // as the kernel allows
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) {
      err = n < 0 ? errno : ENAMETOOLONG;
      return {};
    }
    std::string target(buf.data(), static_cast<std::size_t>(n));
    path = target.starts_with('/') ? target : folderOf(path) + "/" + target;
  }
  err = ELOOP;
  return {};
}

mode_t newFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path) : m_path(path) {
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) fail(EISDIR);
  if (exists && !S_ISREG(st.st_mode)) {
    m_inPlace = true;
  } else {
    int err = 0;
    m_target = followLinks(path, err);
    if (m_target.empty()) fail(err);
    // A name that only looks like a link chain (the links under /proc, such
    // as /dev/stdout) may not lead back to the open file: write it in place.
    struct stat end {};
    if (exists && (::lstat(m_target.c_str(), &end) != 0 || end.st_dev != st.st_dev || end.st_ino != st.st_ino))
      m_inPlace = true;
  }
  if (m_inPlace) {
    m_fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (S_ISREG(st.st_mode) ? O_TRUNC : 0));
    if (m_fd < 0) fail(errno);
    return;
  }

  // Hidden, beside the target, and short enough for any file system.
  std::string base = baseOf(m_target).substr(0, 200);
  std::string pattern = folderOf(m_target) + "/." + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  m_fd = ::mkstemp(name.data());
  if (m_fd < 0) fail(errno);
  m_temp = name.data();
  // Keep the permissions of a file that is replaced; new files get the
  // usual 0666 less the umask.
  if (::fchmod(m_fd, exists ? (st.st_mode & 07777) : newFileMode()) != 0) fail(errno);
}

AtomicFileWriter::~AtomicFileWriter() { abort(); }

void AtomicFileWriter::abort() noexcept {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_temp.empty()) ::unlink(m_temp.c_str());
  m_temp.clear();
}

void AtomicFileWriter::fail(int err) {
  abort();
  throw Exception("無法寫入檔案 " + m_path + "。" + std::strerror(err));
}

void AtomicFileWriter::write(std::string_view bytes) {
  if (m_fd < 0) fail(EBADF);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(m_fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

void AtomicFileWriter::commit() {
  if (m_fd < 0) fail(EBADF);
  if (!m_inPlace && ::fsync(m_fd) != 0) fail(errno);
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) fail(errno);
  if (m_inPlace) return;
  if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) fail(errno);
  m_temp.clear();
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter writer(path);
  writer.write(bytes);
  writer.commit();
}

}  // namespace vc
