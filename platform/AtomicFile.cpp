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

[[noreturn]] void fail(const std::string& path, int err) {
  throw Exception("無法寫入檔案 " + path + "。" + std::strerror(err));
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
  std::string pattern = folderOf(path) + "/.vellumcraft-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) fail(path, errno);
  std::string tmp(name.data());

  // Keep the permissions of a file that is replaced; new files get the
  // usual 0666 less the umask.
  struct stat st {};
  mode_t mode;
  if (stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      fail(path, err);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fchmod(fd, mode) != 0 || fsync(fd) != 0) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    fail(path, err);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    fail(path, err);
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    fail(path, err);
  }
}

}  // namespace vc
