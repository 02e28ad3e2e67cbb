// The translation exchange against `formtext extract --dfm` of the same
// module, in the same run, each a run of the real command:
//  - the corpus module with the most forms (skipped without the corpus);
//  - a generated module of 500 forms with 40 captioned components each.
// Apply is measured with the untouched template and with every entry
// translated (half into Big5 text, half into Cyrillic and emoji), writing
// the forms to a folder and writing a translated copy of the module.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formstream/Stream.h"
#include "formstream/TextToBinary.h"

namespace {

namespace fs = std::filesystem;

void put(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string formStream(int n) {
  std::string t = "object Form" + std::to_string(n) + ": TForm" + std::to_string(n) + "\r\n  Caption = '\xA5\x44\xB5\xF8\xB5\xA1 " +
                  std::to_string(n) + "'\r\n  ClientWidth = 640\r\n";
  for (int i = 0; i < 40; ++i) {
    t += "  object Button" + std::to_string(i) + ": TButton\r\n    Left = " + std::to_string(i * 8) +
         "\r\n    Width = 75\r\n    Caption = '\xBD\x54\xA9\x77 " + std::to_string(i) +
         "'\r\n    Hint = 'Press to go on'\r\n    Font.Name = 'Tahoma'\r\n  end\r\n";
  }
  t += "end\r\n";
  vc::TReadOnlyMemoryStream in(t);
  vc::TMemoryStream out;
  vc::TextToBinary(in, out);
  return out.takeData();
}

// A PE32 image whose only section holds a resource directory with `forms`
// RT_RCDATA resources named TFORM0, TFORM1, ...
std::string generatedModule(int forms) {
  constexpr std::uint32_t kRsrcFile = 0x200, kRsrcRva = 0x1000;
  std::string rsrc;
  auto dirHeader = [&](int named, int ids) {
    std::size_t at = rsrc.size();
    rsrc.resize(at + 16);
    put(rsrc, at + 12, named, 2);
    put(rsrc, at + 14, ids, 2);
  };
  auto entry = [&](std::uint32_t name, std::uint32_t offset) {
    std::size_t at = rsrc.size();
    rsrc.resize(at + 8);
    put(rsrc, at, name, 4);
    put(rsrc, at + 4, offset, 4);
  };
  const std::uint32_t typeDir = 24;
  const std::uint32_t langDirs = typeDir + 16 + 8 * forms;
  const std::uint32_t dataEntries = langDirs + 24 * forms;
  const std::uint32_t names = dataEntries + 16 * forms;
  std::string nameBytes, data;
  std::vector<std::uint32_t> nameAt, dataAt, dataSize;
  for (int i = 0; i < forms; ++i) {
    std::string name = "TFORM" + std::to_string(i);
    nameAt.push_back(names + static_cast<std::uint32_t>(nameBytes.size()));
    nameBytes += static_cast<char>(name.size());
    nameBytes += '\0';
    for (char c : name) nameBytes += std::string{c, '\0'};
  }
  while (nameBytes.size() % 4) nameBytes += '\0';
  const std::uint32_t dataStart = names + static_cast<std::uint32_t>(nameBytes.size());
  for (int i = 0; i < forms; ++i) {
    std::string s = formStream(i);
    dataAt.push_back(dataStart + static_cast<std::uint32_t>(data.size()));
    dataSize.push_back(static_cast<std::uint32_t>(s.size()));
    data += s;
    while (data.size() % 4) data += '\0';
  }
  dirHeader(0, 1);
  entry(10, 0x80000000u | typeDir);
  dirHeader(forms, 0);
  for (int i = 0; i < forms; ++i) entry(0x80000000u | nameAt[i], 0x80000000u | (langDirs + 24 * i));
  for (int i = 0; i < forms; ++i) {
    dirHeader(0, 1);
    entry(0x0404, dataEntries + 16 * i);
  }
  for (int i = 0; i < forms; ++i) {
    std::size_t at = rsrc.size();
    rsrc.resize(at + 16);
    put(rsrc, at, kRsrcRva + dataAt[i], 4);
    put(rsrc, at + 4, dataSize[i], 4);
  }
  rsrc += nameBytes + data;
  while (rsrc.size() % 0x200) rsrc += '\0';

  std::string image(kRsrcFile, '\0');
  image[0] = 'M', image[1] = 'Z';
  put(image, 0x3C, 0x40, 4);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  const std::size_t coff = 0x44, opt = coff + 20;
  put(image, coff, 0x14C, 2);      // i386
  put(image, coff + 2, 1, 2);      // one section
  put(image, coff + 16, 224, 2);   // optional header size
  put(image, coff + 18, 0x2102, 2);
  put(image, opt, 0x10B, 2);       // PE32
  put(image, opt + 32, 0x1000, 4);  // section alignment
  put(image, opt + 36, 0x200, 4);   // file alignment
  put(image, opt + 56, kRsrcRva + static_cast<std::uint32_t>(rsrc.size()), 4);  // image size
  put(image, opt + 60, kRsrcFile, 4);  // headers size
  put(image, opt + 92, 16, 4);
  put(image, opt + 96 + 16, kRsrcRva, 4);
  put(image, opt + 96 + 20, static_cast<std::uint32_t>(rsrc.size()), 4);
  const std::size_t sec = opt + 224;
  image.replace(sec, 5, ".rsrc");
  put(image, sec + 8, static_cast<std::uint32_t>(rsrc.size()), 4);
  put(image, sec + 12, kRsrcRva, 4);
  put(image, sec + 16, static_cast<std::uint32_t>(rsrc.size()), 4);
  put(image, sec + 20, kRsrcFile, 4);
  put(image, sec + 36, 0x40000040, 4);
  return image + rsrc;
}

double childCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int run(const std::string& args) {
  return std::system((std::string(VC_FORMTEXT) + " " + args + " 2>/dev/null").c_str());
}

// Kept (VC_PO_BENCH_KEEP=1) for a look at the files.
struct Work {
  fs::path dir = fs::temp_directory_path() / ("vc_po_bench_" + std::to_string(::getpid()));
  fs::path generated = dir / "generated500.exe";
  fs::path largest;
  Work() {
    fs::create_directories(dir);
    std::string image = generatedModule(500);
    std::ofstream(generated, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    // The corpus module with the most forms.
    std::error_code ec;
    std::size_t most = 0;
    for (const auto& e : fs::directory_iterator(fs::path(VC_CORPUS_DIR) / "modules", ec)) {
      const fs::path list = dir / "list.txt";
      run("list " + e.path().string() + " > " + list.string());
      std::ifstream in(list);
      std::size_t n = 0;
      for (std::string line; std::getline(in, line);) ++n;
      if (n > most) most = n, largest = e.path();
    }
  }
  ~Work() {
    std::error_code ec;
    if (!std::getenv("VC_PO_BENCH_KEEP")) fs::remove_all(dir, ec);
  }
};

Work& work() {
  static Work w;
  return w;
}


// The template of the module with every msgstr filled, made with sed so that
// the bench depends on nothing but the command.
void makeTranslation(const fs::path& module, const fs::path& pot, const fs::path& po) {
  run("po export " + module.string() + " -o " + pot.string() + " >/dev/null");
  std::system(("awk '/^msgid \"/ && NR > 3 { id = substr($0, 7); n++ } "
               "/^msgstr \"\"$/ && id != \"\" { print \"msgstr \" (n % 2 ? \"\\\"\xD0\x9F\xF0\x9F\x98\x80\" : \"\\\"\xE8\xAD\xAF\") substr(id, 2); id = \"\"; next } "
               "{ print }' " + pot.string() + " > " + po.string()).c_str());
}

enum class Op { ExtractDfm, Export, ApplyUntouched, ApplyTranslated, ApplyToModule };

void measure(benchmark::State& state, Op op, bool generated) {
  Work& w = work();
  const fs::path module = generated ? w.generated : w.largest;
  if (module.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  const std::string tag = generated ? "g" : "c";
  const fs::path pot = w.dir / (tag + ".pot"), po = w.dir / (tag + ".po"), out = w.dir / (tag + "_out");
  if (!fs::exists(po)) makeTranslation(module, pot, po);
  std::string args;
  switch (op) {
    case Op::ExtractDfm: args = "extract " + module.string() + " " + out.string() + " --dfm"; break;
    case Op::Export: args = "po export " + module.string() + " -o " + (w.dir / (tag + "_x.pot")).string(); break;
    case Op::ApplyUntouched: args = "po apply " + module.string() + " " + pot.string() + " -o " + out.string(); break;
    case Op::ApplyTranslated: args = "po apply " + module.string() + " " + po.string() + " -o " + out.string(); break;
    case Op::ApplyToModule:
      args = "po apply " + module.string() + " " + po.string() + " --module " + (w.dir / (tag + "_translated.exe")).string();
      break;
  }
  // The command's own CPU time too: the wall clock of a run that writes 500
  // files is mostly the disk's.
  const double before = childCpuSeconds();
  for (auto _ : state) {
    if (run(args + " >/dev/null") > 1) state.SkipWithError(("failed: " + args).c_str());
  }
  state.counters["cpu_ms"] =
      benchmark::Counter(1000 * (childCpuSeconds() - before) / static_cast<double>(state.iterations()));
}

}  // namespace

BENCHMARK_CAPTURE(measure, ExtractDfm_Largest, Op::ExtractDfm, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoExport_Largest, Op::Export, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyUntouched_Largest, Op::ApplyUntouched, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyTranslated_Largest, Op::ApplyTranslated, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyToModule_Largest, Op::ApplyToModule, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, ExtractDfm_500Forms, Op::ExtractDfm, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoExport_500Forms, Op::Export, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyUntouched_500Forms, Op::ApplyUntouched, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyTranslated_500Forms, Op::ApplyTranslated, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(measure, PoApplyToModule_500Forms, Op::ApplyToModule, true)->Unit(benchmark::kMillisecond)->UseRealTime();
