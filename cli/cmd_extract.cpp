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
#include "translation/FormFileNames.h"

namespace vc::cli {
namespace {

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
    std::string problem;
    const std::vector<std::string> names = formNames(*module, m_module, problem);
    if (names.empty()) throw Exception(problem);
    const std::filesystem::path dir = m_folder;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
      throw Exception("無法建立檔案 " + dir.string() + "。" + (ec ? ec.message() : std::string("not a folder")));
    }

    bool failed = false;
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
        if (m_dfm) writeFormFile(resource->bytes(), file);
        const std::string stem = uniqueStem(safeFileStem(name), used);
        writeFileAtomically((dir / (stem + (m_dfm ? ".dfm" : ".txt"))).string(), m_dfm ? file.data() : text.data());
        ++written;
      } catch (const Exception& e) {
        std::fprintf(stderr, "formtext: %s: %s\n", where.c_str(), e.what());
        failed = true;
      }
    }
    if (!problem.empty()) throw Exception(problem + " (the forms listed before are written)");
    if (!failed && written == 0) throw Exception(m_module + ": no forms: none of its RT_RCDATA resources is a form");
    return failed ? 1 : 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Extract, "extract", "every form of a module into DIR as NAME.txt (or NAME.dfm)",
                    "formtext extract program.exe forms/ --dfm");

}  // namespace vc::cli
