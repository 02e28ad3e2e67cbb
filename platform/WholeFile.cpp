#include "platform/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace vc {
namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
  throw EFileRead("無法開啟文件 " + path + "：" + why);
}

}  // namespace

std::string readWholeFile(const std::string& path, std::uint64_t limit) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) refuse(path, std::strerror(errno));
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0) refuse(path, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) refuse(path, "是資料夾");
  if (static_cast<std::uint64_t>(info.st_size) > limit)
    refuse(path, "大於 " + std::to_string(limit >> 20) + " MiB");
  std::string bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    if (bytes.size() + n > limit) refuse(path, "大於 " + std::to_string(limit >> 20) + " MiB");
    bytes.append(buffer, n);
  }
  if (std::ferror(file.get())) refuse(path, std::strerror(errno));
  return bytes;
}

}  // namespace vc
