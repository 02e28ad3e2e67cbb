// TextToBinary throughput (MB of form text per second) beside two
// yardsticks on the same text in the same run: merely reading it through a
// 4096-byte buffer, and iconv(3) from CP950 to UTF-8 over it. Texts:
//  - typical: the rendering of a generated 16 MB stream (integers, Big5
//    strings cut over lines, string lists, sets, collections, binary);
//  - strings: the rendering of a string-heavy stream (Big5 lines, long
//    strings, wide strings with # codes);
//  - numbers: lists of 15-digit floats with and without suffixes, where the
//    exact decimal conversion dominates.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/FormStreamSource.h"
#include "bench/Iconv.h"
#include "formstream/BinaryToText.h"
#include "formstream/TextToBinary.h"

namespace {

std::string renderGenerated(const std::string& record) {
  vc::bench::GeneratedFormStream in(16 * 1024 * 1024, record);
  vc::TMemoryStream out;
  vc::BinaryToText(in, out);
  return out.takeData();
}

const std::string& typicalText() {
  static const std::string text = renderGenerated(vc::bench::componentRecord());
  return text;
}

const std::string& stringText() {
  static const std::string text = renderGenerated(vc::bench::stringRecord());
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

void plainRead(benchmark::State& state, const std::string& (*text)()) {
  const std::string& t = text();
  for (auto _ : state) {
    vc::TReadOnlyMemoryStream in(t);
    std::vector<unsigned char> buf(4096);
    std::uint64_t sum = 0;
    while (std::size_t n = in.read(buf.data(), buf.size()))
      for (std::size_t i = 0; i < n; ++i) sum += buf[i];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.size()));
}

void convert(benchmark::State& state, const std::string& (*text)()) {
  const std::string& t = text();
  for (auto _ : state) {
    vc::TReadOnlyMemoryStream in(t);
    vc::bench::NullStream out;
    vc::TextToBinary(in, out);
    benchmark::DoNotOptimize(out.written);
    state.counters["binary_bytes"] = static_cast<double>(out.written);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.size()));
}

void iconvText(benchmark::State& state, const std::string& (*text)()) {
  const std::string& t = text();
  for (auto _ : state) benchmark::DoNotOptimize(vc::bench::iconvCp950(t));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.size()));
}

BENCHMARK_CAPTURE(plainRead, typical, typicalText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convert, typical, typicalText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(iconvText, typical, typicalText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plainRead, strings, stringText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convert, strings, stringText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(iconvText, strings, stringText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plainRead, numbers, numberText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convert, numbers, numberText)->Unit(benchmark::kMillisecond);

}  // namespace
