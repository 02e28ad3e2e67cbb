// TextToBinary throughput (MB of form text per second) beside the time to
// merely read the same bytes through a 4096-byte buffer, in the same run:
//  - typical text: the rendering of a generated 16 MB stream (integers,
//    Big5 strings cut over lines, string lists, sets, collections, binary);
//  - number-heavy text: lists of 15-digit floats with and without suffixes,
//    where the exact decimal conversion dominates.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/FormStreamSource.h"
#include "formstream/BinaryToText.h"
#include "formstream/TextToBinary.h"

namespace {

const std::string& typicalText() {
  static const std::string text = [] {
    vc::bench::GeneratedFormStream in(16 * 1024 * 1024);
    vc::TMemoryStream out;
    vc::BinaryToText(in, out);
    return out.takeData();
  }();
  return text;
}

const std::string& numberText() {
  static const std::string text = [] {
    std::string t = "object Form1: TForm1\r\n";
    std::uint64_t x = 88172645463325252ULL;
    while (t.size() < 8 * 1024 * 1024) {
      t += "  object Label1: TQRLabel\r\n    Size.Values = (\r\n";
      for (int i = 0; i < 4; ++i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        t += "      " + std::to_string(x % 1000) + "." + std::to_string(1000000000000ULL + x % 1000000000000ULL).substr(1) +
             (i == 1 ? "s" : i == 2 ? "d" : "") + "\r\n";
      }
      t += "      1.5E-7)\r\n    Scale = 0.100000001490116s\r\n    Price = 15000c\r\n  end\r\n";
    }
    return t + "end\r\n";
  }();
  return text;
}

void plainRead(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    vc::TReadOnlyMemoryStream in(text);
    std::vector<unsigned char> buf(4096);
    std::uint64_t sum = 0;
    while (std::size_t n = in.read(buf.data(), buf.size()))
      for (std::size_t i = 0; i < n; ++i) sum += buf[i];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void convert(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    vc::TReadOnlyMemoryStream in(text);
    vc::bench::NullStream out;
    vc::TextToBinary(in, out);
    benchmark::DoNotOptimize(out.written);
    state.counters["binary_bytes"] = static_cast<double>(out.written);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_PlainReadTypical(benchmark::State& state) { plainRead(state, typicalText()); }
void BM_TextToBinaryTypical(benchmark::State& state) { convert(state, typicalText()); }
void BM_PlainReadNumbers(benchmark::State& state) { plainRead(state, numberText()); }
void BM_TextToBinaryNumbers(benchmark::State& state) { convert(state, numberText()); }
BENCHMARK(BM_PlainReadTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextToBinaryTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextToBinaryNumbers)->Unit(benchmark::kMillisecond);

}  // namespace
