// formtext extract: every form of a module into a folder, as NAME.txt form
// text or, with --dfm, as NAME.dfm form files. A form that fails to convert
// is reported with its name and the others are still written.
#include <cstdio>
#include <filesystem>
#include <set>

#include "cli/Command.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "platform/AtomicFile.h"
#include "platform/Cp950.h"

namespace vc::cli {
namespace {

// The class name of the root object: behind "TPF0", an object prefix
// (0xF0 and up) and, when its flag says so, a child position.
std::string rootClassName(std::string_view stream) {
  std::size_t at = 4;
  auto byte = [&]() -> unsigned {
    if (at >= stream.size()) throw EReadError(msg::kInvalidStreamFormat);
    return static_cast<unsigned char>(stream[at++]);
  };
  unsigned n = byte();
  if (n >= 0xF0) {
    if (n & 0x02) {
      const unsigned tag = byte();
      at += tag == 2 ? 1 : tag == 3 ? 2 : tag == 4 ? 4 : 0;
    }
    n = byte();
  }
  if (at + n > stream.size()) throw EReadError(msg::kInvalidStreamFormat);
  return std::string(stream.substr(at, n));
}

// A form file: the resource header (numeric type RT_RCDATA, the class name
// upper-cased as name, memory flags 0x1030, the size) and the stream.
std::string formFile(std::string_view stream) {
  std::string out("\xFF\x0A\x00", 3);
  for (char c : rootClassName(stream)) out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  out += std::string("\x00\x30\x10", 3);
  const auto size = static_cast<std::uint32_t>(stream.size());
  for (int i = 0; i < 4; ++i) out += static_cast<char>((size >> (8 * i)) & 0xFF);
  out += stream;
  return out;
}

// A file name that stays inside the folder: separators, characters that some
// file systems refuse and control bytes become "_", a leading "." too (so
// neither "." nor ".." can be formed), and it is cut to a length every file
// system takes. Names are shown to the system as UTF-8.
std::string safeFileStem(const std::string& name) {
  std::string stem;
  for (unsigned char c : cp950::toUtf8(name)) {
    const bool bad = c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                                   std::string_view::npos;
    stem += bad ? '_' : static_cast<char>(c);
  }
  if (stem.empty() || stem[0] == '.') stem.insert(stem.begin(), '_');
  constexpr std::size_t kMaxStem = 200;
  if (stem.size() > kMaxStem) {
    std::size_t cut = kMaxStem;
    while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;  // keep UTF-8 whole
    stem.resize(cut);
  }
  return stem;
}

// Distinct names can meet in one file name (after the replacements above,
// or on a file system that ignores case); later ones get "~2", "~3", ...
std::string uniqueStem(const std::string& stem, std::set<std::string>& used) {
  auto folded = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  std::string candidate = stem;
  for (int i = 2; !used.insert(folded(candidate)).second; ++i) candidate = stem + "~" + std::to_string(i);
  return candidate;
}

int runExtract(const Options& opt) {
  if (opt.args.size() != 2) throw UsageError{};
  const bool dfm = opt.has("--dfm");
  auto module = openModule(opt.args[0]);
  std::vector<std::string> names;
  const bool listed = module->listFormNames(names);
  const std::filesystem::path dir = opt.args[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir)) {
    throw Exception("無法建立檔案 " + dir.string() + "。" + (ec ? ec.message() : std::string("not a folder")));
  }

  bool failed = !listed;
  std::set<std::string> used;
  for (const std::string& name : names) {
    try {
      auto resource = module->readFormResource(name);
      TMemoryStream text;
      BinaryToText(*resource, text);
      const std::string stem = uniqueStem(safeFileStem(name), used);
      const std::filesystem::path file = dir / (stem + (dfm ? ".dfm" : ".txt"));
      writeFileAtomically(file.string(), dfm ? formFile(resource->bytes()) : text.data());
    } catch (const Exception& e) {
      printError(cp950::toUtf8(name) + ": " + e.what());
      failed = true;
    }
  }
  return failed ? 1 : 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(extract, "extract", "extract MODULE DIR [--dfm]",
                    "every form of a module into DIR as NAME.txt (or NAME.dfm)", "", runExtract);

}  // namespace vc::cli
