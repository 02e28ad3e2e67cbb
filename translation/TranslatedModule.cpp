#include "translation/TranslatedModule.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "modres/ResourceDll.h"
#include "platform/AtomicFile.h"
#include "platform/Cp950.h"
#include "platform/WholeFile.h"
#include "translation/FormTextFile.h"

namespace vc {

namespace fs = std::filesystem;

bool isSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  const fs::path ca = fs::weakly_canonical(a, ec);
  if (ec) return false;
  const fs::path cb = fs::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

std::vector<std::string> formFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    std::error_code typeError;
    if (ext == ".dfm" && e.is_regular_file(typeError)) files.push_back(e.path().string());
  }
  if (ec) throw Exception(folder + ": " + ec.message());
  std::sort(files.begin(), files.end());
  return files;
}

std::string formFileStream(const std::string& bytes) {
  std::string binary;
  const FormFileKind kind = formFileKind(bytes);
  if (kind == FormFileKind::Binary) {
    TReadOnlyMemoryStream in(bytes);
    ReadFormFileHeader(in);
    binary = bytes.substr(static_cast<std::size_t>(in.position()));
  } else if (kind == FormFileKind::Stream) {
    binary = bytes;
  } else {
    FormTextFile file = readFormTextFile(bytes);
    TReadOnlyMemoryStream in(file.text);
    TMemoryStream out;
    TextToBinary(in, out);
    binary = out.takeData();
  }
  // The module's program reads the stream as it stands: it must convert.
  TReadOnlyMemoryStream check(binary);
  TMemoryStream discard;
  BinaryToText(check, discard);
  return binary;
}

namespace {

ModuleFormReplacement replacementFor(const modres::ResourceEntry& entry, std::string file, std::string stream) {
  return {cp950::toUtf8(entry.shownName), std::move(file), {entry.numeric, entry.id, entry.name, std::move(stream)}};
}

}  // namespace

FormFileReplacements readFormFileReplacements(modres::Module& module, const std::vector<std::string>& files,
                                              bool strict, const ExchangeProgress& progress) {
  FormFileReplacements result;
  std::map<std::string, std::string> byForm;  // listed name -> file
  std::size_t done = 0;
  for (const std::string& file : files) {
    const std::string stem = fs::path(file).stem().string();
    const modres::ResourceEntry* entry = module.find(cp950::fromUtf8(stem).value_or(stem));
    if (!entry) {
      if (strict) throw Exception(file + ": names no form resource of the module");
      result.unmatched.push_back(file);
    } else {
      if (auto [it, added] = byForm.emplace(entry->shownName, file); !added)
        throw Exception(file + ": replaces the same form as " + it->second);
      std::string bytes = readWholeFile(file);
      try {
        result.forms.push_back(replacementFor(*entry, file, formFileStream(bytes)));
      } catch (const Exception& e) {
        throw Exception(file + ": " + e.what());
      }
    }
    if (progress) progress(++done, files.size());
  }
  return result;
}

std::vector<ModuleFormReplacement> translatedReplacements(modres::Module& module, const ApplyResult& result) {
  std::vector<ModuleFormReplacement> forms;
  for (const TranslatedForm& t : result.forms) {
    if (!t.changed) continue;
    const modres::ResourceEntry* entry = module.find(t.form->resource);
    if (!entry) throw Exception(t.form->name + ": names no form resource of the module");
    forms.push_back(replacementFor(*entry, {}, t.stream));
  }
  return forms;
}

namespace {

// The copy's image: the module's bytes with the forms and strings replaced.
// opened is the module on those bytes when the caller has it.
modres::PatchedModule patchedImage(const std::string& module, const std::string& original, modres::Module* opened,
                                   const std::vector<ModuleFormReplacement>& forms, const std::string& out,
                                   const std::vector<modres::ResourceString>& strings) {
  if (isSameFile(module, out)) throw ESameModule(out + ": is the module itself; the copy needs a name of its own");
  std::vector<modres::ResourceReplacement> replacements;
  for (const ModuleFormReplacement& f : forms) replacements.push_back(modres::formResourceReplacement(f.replacement));
  try {
    if (!strings.empty()) {
      std::unique_ptr<modres::Module> own;
      if (!opened) {
        try {
          own = modres::Module::openBytes(original);
        } catch (const modres::EModuleError& e) {
          throw EModuleWrite(e.what());
        }
        opened = own.get();
      }
      for (modres::ResourceReplacement& r : modres::stringTableReplacements(opened->stringTables(), strings))
        replacements.push_back(std::move(r));
    }
    return modres::replaceResources(original, replacements);
  } catch (const EModuleWrite& e) {
    throw EModuleWrite(module + ": " + e.what());
  }
}

modres::PatchedModule patchedModule(const std::string& module, const std::vector<ModuleFormReplacement>& forms,
                                    const std::string& out, const std::vector<modres::ResourceString>& strings) {
  return patchedImage(module, readWholeFile(module), nullptr, forms, out, strings);
}

modres::PatchedModule patchedModule(const ExchangeSource& module, const std::vector<ModuleFormReplacement>& forms,
                                    const std::string& out, const std::vector<modres::ResourceString>& strings) {
  if (!module.image) throw Exception(module.path + ": not a module");
  return patchedImage(module.path, *module.image, module.opened.get(), forms, out, strings);
}

std::string satelliteOf(const std::string& module, const modres::PatchedModule& patched) {
  try {
    return modres::resourceOnlyDll(patched.image);
  } catch (const EModuleWrite& e) {
    throw EModuleWrite(module + ": " + e.what());
  }
}

}  // namespace

WrittenCopy writeModuleCopy(const std::string& module, const std::vector<ModuleFormReplacement>& forms,
                            const std::string& out, const std::vector<modres::ResourceString>& strings) {
  modres::PatchedModule patched = patchedModule(module, forms, out, strings);
  writeFileAtomically(out, patched.image);
  return {patched.signatureRemoved, std::move(patched.notes)};
}

WrittenCopy writeModuleCopy(const ExchangeSource& module, const std::vector<ModuleFormReplacement>& forms,
                            const std::string& out, const std::vector<modres::ResourceString>& strings) {
  modres::PatchedModule patched = patchedModule(module, forms, out, strings);
  writeFileAtomically(out, patched.image);
  return {patched.signatureRemoved, std::move(patched.notes)};
}

std::string satelliteFileName(const std::string& module, const std::string& locale) {
  return fs::path(module).stem().string() + "." + locale;
}

std::string satelliteTarget(const std::string& module, const std::string& out) {
  std::error_code ec;
  return fs::is_directory(out, ec) ? (fs::path(out) / satelliteFileName(module)).string() : out;
}

WrittenCopy writeSatellite(const std::string& module, const std::vector<ModuleFormReplacement>& forms,
                           const std::string& out, const std::vector<modres::ResourceString>& strings) {
  writeFileAtomically(out, satelliteOf(module, patchedModule(module, forms, out, strings)));
  return {};
}

WrittenCopy writeSatellite(const ExchangeSource& module, const std::vector<ModuleFormReplacement>& forms,
                           const std::string& out, const std::vector<modres::ResourceString>& strings) {
  writeFileAtomically(out, satelliteOf(module.path, patchedModule(module, forms, out, strings)));
  return {};
}

}  // namespace vc
