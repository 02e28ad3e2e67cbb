// formtext patch: a copy of a module with its forms replaced by form files
// (binary or text), each named after the form it replaces. The module itself
// is never written.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "translation/TranslatedModule.h"

namespace vc::cli {
namespace {

namespace fs = std::filesystem;

// The form files of the arguments: files as given, and from folders their
// .dfm and .txt files (as `extract` writes them) in name order.
struct FormFileArgs {
  std::vector<std::string> files;
  std::set<std::string> given;  // named on the command line: each must name a form
};

FormFileArgs formFiles(const std::vector<std::string>& args) {
  FormFileArgs result;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      result.files.push_back(arg);
      result.given.insert(arg);
      continue;
    }
    std::vector<std::string> found;
    for (const fs::directory_entry& e : fs::directory_iterator(arg, ec)) {
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
      std::error_code typeError;
      if ((ext == ".dfm" || ext == ".txt") && e.is_regular_file(typeError)) found.push_back(e.path().string());
    }
    if (ec) throw Exception(arg + ": " + ec.message());
    std::sort(found.begin(), found.end());
    result.files.insert(result.files.end(), found.begin(), found.end());
  }
  return result;
}

class Patch : public Command {
  std::string m_module;
  std::vector<std::string> m_forms;
  std::string m_output;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl); it is only read");
    args.positionals("FORMS", m_forms, "form files (.dfm, binary or text; .txt) or folders of them, named after their forms");
    args.output(m_output, true);
  }

  int run() override {
    if (isSameFile(m_module, m_output)) throw UsageError{"-o must name a file other than MODULE"};
    auto module = openModule(m_module);
    const FormFileArgs args = formFiles(m_forms);
    FormFileReplacements forms = readFormFileReplacements(*module, args.files, false);
    for (const std::string& file : forms.unmatched)
      if (args.given.count(file)) throw Exception(file + ": names no form resource of the module");
    if (forms.forms.empty()) throw Exception("no form file names a form of " + m_module);
    for (const std::string& note : writeModuleCopy(m_module, forms.forms, m_output).notes)
      std::fprintf(stderr, "formtext: %s: %s\n", m_output.c_str(), note.c_str());
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Patch, "patch", "a copy of a module with its forms replaced by form files",
                    "formtext patch program.exe forms/ -o translated.exe");

}  // namespace vc::cli
