// formtext patch: a copy of a module with its forms replaced by form files
// (binary or text), each named after the form it replaces, and its resource
// strings by the translation of a PO file (a folder's STRINGTABLE.po, as the
// workbench keeps it). The module itself is never written.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

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

// The form files of the arguments: files as given, and from folders their
// .dfm and .txt files (as `extract` writes them) in name order. PO files
// (and a folder's STRINGTABLE.po) go to po.
struct FormFileArgs {
  std::vector<std::string> files;
  std::set<std::string> given;  // named on the command line: each must name a form
  std::vector<std::string> po;
};

FormFileArgs formFiles(const std::vector<std::string>& args) {
  FormFileArgs result;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      (isPoFile(arg) ? result.po : result.files).push_back(arg);
      if (!isPoFile(arg)) result.given.insert(arg);
      continue;
    }
    if (fs::path strings = fs::path(arg) / kStringTableFile; fs::is_regular_file(strings, ec))
      result.po.push_back(strings.string());
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
  bool m_satellite = false;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl); it is only read");
    args.positionals("FORMS", m_forms,
                     "form files (.dfm, binary or text; .txt) or folders of them, named after their forms; a PO file "
                     "(or a folder's STRINGTABLE.po) for the resource strings");
    args.output(m_output, true);
    args.flag("--satellite", m_satellite, std::string("write OUT as ") + kSatelliteHelp);
  }

  int run() override {
    if (m_satellite) m_output = satelliteTarget(m_module, m_output);
    if (isSameFile(m_module, m_output)) throw UsageError{"-o must name a file other than MODULE"};
    auto module = openModule(m_module);
    const FormFileArgs args = formFiles(m_forms);
    if (args.po.size() > 1)
      throw UsageError{"one PO file translates the resource strings, not " + std::to_string(args.po.size())};
    FormFileReplacements forms = readFormFileReplacements(*module, args.files, false);
    for (const std::string& file : forms.unmatched)
      if (args.given.count(file)) throw Exception(file + ": names no form resource of the module");
    // The resource strings of the translation; its form entries are left to
    // `po apply` (the form files here replace the forms).
    ApplyResult strings;
    if (!args.po.empty()) {
      if (module->stringTables().empty())
        throw Exception(args.po[0] + ": the module has no resource strings to translate");
      strings = resourceStringsOfFile(*module, m_module, args.po[0]);
    }
    if (forms.forms.empty() && args.po.empty()) throw Exception("no form file names a form of " + m_module);
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
