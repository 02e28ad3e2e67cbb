// Rendering throughput of BinaryToText beside the time to merely read the
// same bytes through a 4096-byte buffer; both report MB/s of input.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/FormStreamSource.h"
#include "formstream/BinaryToText.h"

namespace {

constexpr std::int64_t kInputSize = 16 * 1024 * 1024;

void BM_PlainRead(benchmark::State& state) {
  for (auto _ : state) {
    vc::bench::GeneratedFormStream in(kInputSize);
    std::vector<unsigned char> buf(4096);
    std::uint64_t sum = 0;
    while (std::size_t n = in.read(buf.data(), buf.size()))
      for (std::size_t i = 0; i < n; ++i) sum += buf[i];
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(state.bytes_processed() + in.size());
  }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_Render(benchmark::State& state) {
  for (auto _ : state) {
    vc::bench::GeneratedFormStream in(kInputSize);
    vc::bench::NullStream out;
    vc::BinaryToText(in, out);
    benchmark::DoNotOptimize(out.written);
    state.SetBytesProcessed(state.bytes_processed() + in.size());
    state.counters["text_bytes"] = static_cast<double>(out.written);
  }
}
BENCHMARK(BM_Render)->Unit(benchmark::kMillisecond);

}  // namespace
