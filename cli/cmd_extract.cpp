// formtext extract: every form of a module into a folder, as NAME.txt form
// text or, with --dfm, as NAME.dfm form files. A form that fails to convert
// is reported with its name and the others are still written; resources that
// are not forms are skipped with a note.
#include <cstdio>
#include <filesystem>
#include <set>

#include "cli/Command.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "platform/AtomicFile.h"
#include "platform/Cp950.h"

namespace vc::cli {
namespace {

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

class Extract : public Command {
  std::string m_module;
  std::string m_folder;
  bool m_dfm = false;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl)");
    args.positional("DIR", m_folder, "the folder to write to; made when missing");
    args.flag("--dfm", m_dfm, "write form files (NAME.dfm) instead of form text (NAME.txt)");
  }

  int run() override {
    auto module = openModule(m_module);
    std::vector<std::string> names;
    const bool listed = module->listFormNames(names);
    if (!listed && names.empty()) throw Exception(m_module + ": the module has no form resources");
    const std::filesystem::path dir = m_folder;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
      throw Exception("無法建立檔案 " + dir.string() + "。" + (ec ? ec.message() : std::string("not a folder")));
    }

    bool failed = !listed;
    int written = 0;
    std::set<std::string> used;
    for (const std::string& name : names) {
      const std::string where = m_module + ": " + cp950::toUtf8(name);
      try {
        auto resource = module->readFormResource(name);
        // Modules keep other data as RT_RCDATA too (images, settings).
        if (!resource->bytes().starts_with("TPF0")) {
          std::fprintf(stderr, "formtext: %s: not a form, skipped\n", where.c_str());
          continue;
        }
        // A form file is written only for a stream that converts, as its text would be.
        TMemoryStream text, file;
        BinaryToText(*resource, text);
        if (m_dfm) WriteFormFile(resource->bytes(), file);
        const std::string stem = uniqueStem(safeFileStem(name), used);
        writeFileAtomically((dir / (stem + (m_dfm ? ".dfm" : ".txt"))).string(), m_dfm ? file.data() : text.data());
        ++written;
      } catch (const Exception& e) {
        std::fprintf(stderr, "formtext: %s: %s\n", where.c_str(), e.what());
        failed = true;
      }
    }
    if (!failed && written == 0) throw Exception(m_module + ": the module has no forms");
    if (!listed) throw Exception(m_module + ": the resource directory ends early; the forms listed so far are written");
    return failed ? 1 : 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Extract, "extract", "every form of a module into DIR as NAME.txt (or NAME.dfm)",
                    "formtext extract program.exe forms/ --dfm");

}  // namespace vc::cli
