// formtext patch: a copy of a module with its forms replaced by form files
// (binary or text), each named after the form it replaces. The module itself
// is never written.
#include <cstdio>
#include <filesystem>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "translation/TranslatedModule.h"

namespace vc::cli {
namespace {

namespace fs = std::filesystem;

// The form files of the arguments: files as given, folders for their .dfm
// files in name order.
std::vector<std::string> formFiles(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      files.push_back(arg);
      continue;
    }
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
    args.positionals("FORMS", m_forms, "form files (.dfm, binary or text) or folders of them, named after their forms");
    args.output(m_output, true);
    args.flag("--satellite", m_satellite, std::string("write OUT as ") + kSatelliteHelp);
  }

  int run() override {
    if (m_satellite) m_output = satelliteTarget(m_module, m_output);
    if (isSameFile(m_module, m_output)) throw UsageError{"-o must name a file other than MODULE"};
    auto module = openModule(m_module);
    FormFileReplacements forms = readFormFileReplacements(*module, formFiles(m_forms), true);
    if (m_satellite) {
      writeSatellite(m_module, forms.forms, m_output);
      return 0;
    }
    for (const std::string& note : writeModuleCopy(m_module, forms.forms, m_output).notes)
      std::fprintf(stderr, "formtext: %s: %s\n", m_output.c_str(), note.c_str());
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Patch, "patch", "a copy of a module with its forms replaced by form files",
                    "formtext patch program.exe forms/ -o translated.exe");

}  // namespace vc::cli
