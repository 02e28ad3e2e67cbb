// formtext patch: a copy of a module with its forms replaced by form files
// (binary or text), each named after the form it replaces. The module itself
// is never written.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/Command.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/ModuleWriter.h"
#include "platform/Cp950.h"

namespace vc::cli {
namespace {

namespace fs = std::filesystem;

// The form files of the arguments: files as given, folders for their .dfm
// files in name order.
std::vector<fs::path> formFiles(const std::vector<std::string>& args) {
  std::vector<fs::path> files;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      files.emplace_back(arg);
      continue;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(arg, ec)) {
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
      if (ext == ".dfm" && e.is_regular_file(ec)) found.push_back(e.path());
    }
    if (ec) throw Exception(arg + ": " + ec.message());
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// The binary form stream of a form file, binary (with or without its
// header) or text; it must convert, as the module will read it.
std::string formStream(const std::string& path) {
  std::string bytes = readWhole(*openInput(path));
  std::string binary;
  if (!bytes.empty() && static_cast<unsigned char>(bytes[0]) == 0xFF) {
    TMemoryStream in(std::move(bytes));
    ReadFormFileHeader(in);
    binary = readWhole(in);
  } else if (bytes.starts_with("TPF0")) {
    binary = std::move(bytes);
  } else {
    auto text = openFormText(path, false);
    TMemoryStream out;
    TextToBinary(*text, out);
    binary = out.takeData();
  }
  TMemoryStream check(binary), discard;
  BinaryToText(check, discard);
  return binary;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec) && !ec;
}

class Patch : public Command {
  std::string m_module;
  std::vector<std::string> m_forms;
  std::string m_output;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl); it is only read");
    args.positionals("FORMS", m_forms, "form files (.dfm, binary or text) or folders of them, named after their forms");
    args.output(m_output, true);
  }

  int run() override {
    if (sameFile(m_module, m_output)) throw UsageError{"-o must name a file other than MODULE"};
    auto module = openModule(m_module);
    std::vector<modres::FormReplacement> forms;
    std::map<std::string, std::string> byForm;  // shown name -> file
    for (const fs::path& file : formFiles(m_forms)) {
      const std::string path = file.string();
      const std::string stem = file.stem().string();
      const std::string name = cp950::fromUtf8(stem).value_or(stem);
      const modres::ResourceEntry* entry = module->find(name);
      if (!entry) throw Exception(path + ": names no form resource of " + m_module);
      if (auto [it, added] = byForm.emplace(entry->shownName, path); !added)
        throw Exception(path + ": replaces the same form as " + it->second);
      modres::FormReplacement form{entry->numeric, entry->id, entry->name, {}};
      form.bytes = about(path, [&] { return formStream(path); });
      forms.push_back(std::move(form));
    }
    std::string original = readWhole(*openInput(m_module));
    modres::PatchedModule patched = about(m_module, [&] { return modres::replaceFormResources(original, forms); });
    Output out(m_output, false);
    out.write(patched.image);
    out.commit();
    for (const std::string& note : patched.notes) std::fprintf(stderr, "formtext: %s: %s\n", m_output.c_str(), note.c_str());
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Patch, "patch", "a copy of a module with its forms replaced by form files",
                    "formtext patch program.exe forms/ -o translated.exe");

}  // namespace vc::cli
