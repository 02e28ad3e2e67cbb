// formtext patch: a copy of a module with its forms replaced by form files
// (binary or text), each named after the form it replaces, and its resource
// strings by the translation of a PO file (a folder's STRINGTABLE.po, as the
// workbench keeps it). The module itself is never written.
#include <cstdio>
#include <filesystem>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "translation/PoExchange.h"
#include "translation/ResourceStringTranslation.h"
#include "translation/TranslatedModule.h"

namespace vc::cli {
namespace {

namespace fs = std::filesystem;

bool isPoFile(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".po";
}

// The form files of the arguments: files as given, folders for their .dfm
// files in name order. PO files (and a folder's STRINGTABLE.po) go to po.
std::vector<std::string> formFiles(const std::vector<std::string>& args, std::vector<std::string>& po) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      (isPoFile(arg) ? po : files).push_back(arg);
      continue;
    }
    if (fs::path strings = fs::path(arg) / kStringTableFile; fs::is_regular_file(strings, ec))
      po.push_back(strings.string());
    std::vector<std::string> found = formFilesIn(arg);
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

class Patch : public Command {
  std::string m_module;
  std::vector<std::string> m_forms;
  std::string m_output;
  bool m_satellite = false;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl); it is only read");
    args.positionals("FORMS", m_forms,
                     "form files (.dfm, binary or text) or folders of them, named after their forms; a PO file (or a "
                     "folder's STRINGTABLE.po) for the resource strings");
    args.output(m_output, true);
    args.flag("--satellite", m_satellite, std::string("write OUT as ") + kSatelliteHelp);
  }

  int run() override {
    if (m_satellite) m_output = satelliteTarget(m_module, m_output);
    if (isSameFile(m_module, m_output)) throw UsageError{"-o must name a file other than MODULE"};
    auto module = openModule(m_module);
    std::vector<std::string> po;
    FormFileReplacements forms = readFormFileReplacements(*module, formFiles(m_forms, po), true);
    if (po.size() > 1) throw UsageError{"one PO file translates the resource strings, not " + std::to_string(po.size())};
    // The resource strings of the translation; its form entries are left to
    // `po apply` (the form files here replace the forms).
    ApplyResult strings;
    if (!po.empty()) {
      if (module->stringTables().empty()) throw Exception(po[0] + ": the module has no resource strings to translate");
      strings = resourceStringsOfFile(*module, m_module, po[0]);
    }
    if (m_satellite)
      writeSatellite(m_module, forms.forms, m_output, strings.resourceStrings);
    else
      for (const std::string& note : writeModuleCopy(m_module, forms.forms, m_output, strings.resourceStrings).notes)
        std::fprintf(stderr, "formtext: %s: %s\n", m_output.c_str(), note.c_str());
    for (const std::string& p : strings.problems) std::fprintf(stderr, "formtext: %s\n", p.c_str());
    return strings.problems.empty() ? 0 : 1;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Patch, "patch", "a copy of a module with its forms replaced by form files, its resource strings by a PO file",
                    "formtext patch program.exe forms/ -o translated.exe");

}  // namespace vc::cli
