// The file reader's page cache must give the same bytes as memory for every
// offset and length, including reads across page borders and at the end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "modres/ByteSource.h"

namespace vc::modres {
namespace {

TEST(ByteSource, FileReadsMatchMemoryAcrossPagesAndAtTheEnd) {
  namespace fs = std::filesystem;
  std::string bytes(5 * 4096 + 123, '\0');
  std::mt19937 rng(7);
  for (char& c : bytes) c = static_cast<char>(rng());
  const fs::path path = fs::temp_directory_path() / ("vc_bytesource_" + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  auto file = FileByteSource::open(path.string());
  MemoryByteSource memory(bytes);
  ASSERT_EQ(file->size(), bytes.size());
  std::uniform_int_distribution<std::uint64_t> offset(0, bytes.size() + 10);
  std::uniform_int_distribution<std::size_t> length(0, 9000);
  for (int i = 0; i < 5000; ++i) {
    const std::uint64_t at = offset(rng);
    const std::size_t n = i % 3 == 0 ? length(rng) : length(rng) % 16;
    std::string a(n, 'a'), b(n, 'b');
    const bool okFile = file->readAt(at, a.data(), n);
    const bool okMemory = memory.readAt(at, b.data(), n);
    ASSERT_EQ(okFile, okMemory) << at << "+" << n;
    if (okFile) {
      ASSERT_EQ(a, b) << at << "+" << n;
    }
  }
  // Reading outside fails without overflow, however large the numbers.
  char c;
  EXPECT_FALSE(file->readAt(UINT64_MAX, &c, 1));
  EXPECT_FALSE(file->readAt(bytes.size(), &c, 1));
  EXPECT_TRUE(file->readAt(bytes.size(), &c, 0));
  fs::remove(path);
}

}  // namespace
}  // namespace vc::modres
