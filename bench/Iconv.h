#pragma once
// The work of `iconv -f CP950 -t UTF-8` over bytes in memory, through
// glibc's iconv(3): the benchmarks' yardstick for per-byte text work.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace vc::bench {

// Converts all of text and returns the count of UTF-8 bytes; a byte that is
// not CP950 is stepped over, as `iconv -c` would.
inline std::int64_t iconvCp950(std::string_view text) {
  iconv_t cd = iconv_open("UTF-8", "CP950");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert from CP950");
  char out[64 * 1024];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  std::int64_t produced = 0;
  while (inLeft > 0) {
    char* dst = out;
    std::size_t outLeft = sizeof out;
    std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
    produced += static_cast<std::int64_t>(sizeof out - outLeft);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ++in;  // EILSEQ, or EINVAL for a lead byte at the very end
      --inLeft;
    }
  }
  iconv_close(cd);
  return produced;
}

}  // namespace vc::bench
