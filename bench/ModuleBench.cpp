// Listing the forms of a large module reads only its headers and resource
// directory. The module is made at start-up: a test module whose resource
// section is moved behind 256 MiB of filler, so the forms lie at the far end
// of a file of about 256 MiB. Reading the whole file once is the baseline.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "modres/Module.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kFiller = 256ull << 20;

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t get32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}
std::uint16_t get16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

struct LargeModule {
  fs::path dir;
  fs::path path;
  std::uint64_t size = 0;

  LargeModule() {
    std::ifstream in(std::string(VC_SOURCE_DIR) + "/tests/modres/fixtures/forms32.exe", std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t pe = get32(image, 0x3C);
    const std::size_t sections = pe + 24 + get16(image, pe + 20);
    const std::uint32_t resourceRva = get32(image, pe + 24 + 96 + 16);
    for (std::size_t i = 0; i < get16(image, pe + 6); ++i) {
      const std::size_t h = sections + 40 * i;
      if (get32(image, h + 12) != resourceRva) continue;
      const std::string rsrc = image.substr(get32(image, h + 20), get32(image, h + 16));
      const std::uint64_t at = (image.size() + kFiller + 511) / 512 * 512;
      put32(image, h + 20, static_cast<std::uint32_t>(at));
      dir = fs::temp_directory_path() / ("vc_module_bench_" + std::to_string(::getpid()));
      fs::create_directories(dir);
      path = dir / "large.exe";
      std::ofstream out(path, std::ios::binary);
      out.write(image.data(), static_cast<std::streamsize>(image.size()));
      // Filler that is really on disk (not a hole), so reading it costs what it would.
      std::string block(1 << 20, '\0');
      for (std::size_t j = 0; j < block.size(); ++j) block[j] = static_cast<char>(j * 131 + 7);
      std::uint64_t written = image.size();
      while (written + block.size() <= at) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        written += block.size();
      }
      out.write(block.data(), static_cast<std::streamsize>(at - written));
      out.write(rsrc.data(), static_cast<std::streamsize>(rsrc.size()));
      out.close();
      size = fs::file_size(path);
      return;
    }
    std::fprintf(stderr, "no resource section in the test module\n");
    std::abort();
  }
  ~LargeModule() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const LargeModule& largeModule() {
  static LargeModule m;
  return m;
}

void BM_ReadWholeFileOnce(benchmark::State& state) {
  const LargeModule& m = largeModule();
  std::vector<char> buffer(1 << 20);
  std::uint64_t total = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(m.path.c_str(), "rb");
    total = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;) total += n;
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
  state.counters["bytes_read"] = static_cast<double>(total);
  state.counters["file_bytes"] = static_cast<double>(m.size);
}
BENCHMARK(BM_ReadWholeFileOnce)->Unit(benchmark::kMillisecond);

void BM_OpenAndListForms(benchmark::State& state) {
  const LargeModule& m = largeModule();
  std::uint64_t read = 0;
  std::size_t count = 0;
  for (auto _ : state) {
    auto module = vc::modres::Module::open(m.path.string());
    std::vector<std::string> names;
    if (!module->listFormNames(names)) {
      state.SkipWithError("listing failed");
      return;
    }
    read = module->bytesRead();
    count = names.size();
  }
  state.counters["bytes_read"] = static_cast<double>(read);
  state.counters["file_bytes"] = static_cast<double>(m.size);
  state.counters["forms"] = static_cast<double>(count);
}
BENCHMARK(BM_OpenAndListForms)->Unit(benchmark::kMillisecond);

void BM_OpenListAndReadEveryForm(benchmark::State& state) {
  const LargeModule& m = largeModule();
  std::uint64_t read = 0;
  for (auto _ : state) {
    auto module = vc::modres::Module::open(m.path.string());
    std::vector<std::string> names;
    module->listFormNames(names);
    for (const std::string& name : names) benchmark::DoNotOptimize(module->readFormResource(name));
    read = module->bytesRead();
  }
  state.counters["bytes_read"] = static_cast<double>(read);
  state.counters["file_bytes"] = static_cast<double>(m.size);
}
BENCHMARK(BM_OpenListAndReadEveryForm)->Unit(benchmark::kMillisecond);

}  // namespace
