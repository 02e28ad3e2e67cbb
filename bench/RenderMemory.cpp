// Renders a generated binary form stream of the given size (MB, default 100)
// to a null sink and prints the process's peak resident size, which must not
// grow with the input. Exits 1 when a limit (MB) is given and exceeded.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "bench/FormStreamSource.h"
#include "formstream/BinaryToText.h"

int main(int argc, char** argv) {
  long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
  double limit = argc > 2 ? std::atof(argv[2]) : 0;
  vc::bench::GeneratedFormStream in(megabytes * 1024 * 1024);
  vc::bench::NullStream out;
  vc::BinaryToText(in, out);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::printf("input %lld bytes, text %lld bytes, peak RSS %.1f MB\n", static_cast<long long>(in.size()),
              static_cast<long long>(out.written), peakMb);
  return limit > 0 && peakMb > limit ? 1 : 0;
}
