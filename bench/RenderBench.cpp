// Rendering throughput of BinaryToText beside two yardsticks on the same
// input in the same run: merely reading the stream through a 4096-byte
// buffer, and iconv(3) from CP950 to UTF-8 over the text the rendering
// produces. All three report MB/s of the binary stream, so their ratios are
// ratios of time. Inputs: the typical component record and a string-heavy
// one (Big5 lines, long strings cut over lines, wide strings).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <vector>

#include "bench/FormStreamSource.h"
#include "bench/Iconv.h"
#include "formstream/BinaryToText.h"

namespace {

constexpr std::int64_t kInputSize = 16 * 1024 * 1024;

const std::string& renderedText(const std::string& record) {
  static std::map<const std::string*, std::string> texts;
  std::string& text = texts[&record];
  if (text.empty()) {
    vc::bench::GeneratedFormStream in(kInputSize, record);
    vc::TMemoryStream out;
    vc::BinaryToText(in, out);
    text = out.takeData();
  }
  return text;
}

void plainRead(benchmark::State& state, const std::string& record) {
  for (auto _ : state) {
    vc::bench::GeneratedFormStream in(kInputSize, record);
    std::vector<unsigned char> buf(4096);
    std::uint64_t sum = 0;
    while (std::size_t n = in.read(buf.data(), buf.size()))
      for (std::size_t i = 0; i < n; ++i) sum += buf[i];
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(state.bytes_processed() + in.size());
  }
}

void render(benchmark::State& state, const std::string& record) {
  for (auto _ : state) {
    vc::bench::GeneratedFormStream in(kInputSize, record);
    vc::bench::NullStream out;
    vc::BinaryToText(in, out);
    benchmark::DoNotOptimize(out.written);
    state.SetBytesProcessed(state.bytes_processed() + in.size());
    state.counters["text_bytes"] = static_cast<double>(out.written);
  }
}

void iconvText(benchmark::State& state, const std::string& record) {
  const std::string& text = renderedText(record);
  const std::int64_t streamSize = vc::bench::GeneratedFormStream(kInputSize, record).size();
  for (auto _ : state) {
    benchmark::DoNotOptimize(vc::bench::iconvCp950(text));
    state.SetBytesProcessed(state.bytes_processed() + streamSize);
  }
  state.counters["text_bytes"] = static_cast<double>(text.size());
}

const std::string kTypical = vc::bench::componentRecord();
const std::string kStrings = vc::bench::stringRecord();

BENCHMARK_CAPTURE(plainRead, typical, kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, typical, kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(iconvText, typical, kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plainRead, strings, kStrings)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, strings, kStrings)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(iconvText, strings, kStrings)->Unit(benchmark::kMillisecond);

}  // namespace
