#include "translation/PoExchange.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/AtomicFile.h"
#include "platform/Cp950.h"
#include "translation/FormFileNames.h"

namespace vc {

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("無法開啟檔案 " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

namespace {

// Length of the form file header in front of the stream.
std::size_t formFileHeaderLength(const std::string& file) {
  TReadOnlyMemoryStream in(file);
  ReadFormFileHeader(in);
  return static_cast<std::size_t>(in.position());
}

void readStrings(ExchangeForm& form, std::set<std::string>& usedContexts) {
  try {
    form.strings = readFormStrings(form.stream);
  } catch (const Exception& e) {
    form.error = e.what();
    return;
  }
  for (const FormString& s : form.strings) {
    std::string base = form.name + "." + (s.component.empty() ? "" : s.component + ".") + s.property;
    std::string context = base;
    for (int i = 2; !usedContexts.insert(context).second; ++i) context = base + "~" + std::to_string(i);
    form.contexts.push_back(std::move(context));
  }
}

void openModuleForms(ExchangeSource& source, modres::Module& module, const ExchangeProgress& progress) {
  std::vector<std::string> names;
  if (!module.listFormNames(names))
    source.error = std::string("the module's list of forms could not be read in full: ") + module.listingError()->what();
  std::set<std::string> usedStems, usedContexts;
  std::size_t done = 0;
  for (const std::string& name : names) {
    ExchangeForm form;
    form.name = cp950::toUtf8(name);
    form.resource = name;
    try {
      form.stream = std::string(module.readFormResource(name)->bytes());
    } catch (const Exception& e) {
      form.error = e.what();
    }
    if (progress) progress(++done, names.size());
    // Modules keep other data as RT_RCDATA too; those are no forms.
    if (form.error.empty() && !form.stream.starts_with("TPF0")) continue;
    if (form.error.empty()) readStrings(form, usedContexts);
    // Named in the order extract names the forms it can write.
    if (form.error.empty()) form.fileName = uniqueStem(safeFileStem(name), usedStems) + ".dfm";
    source.forms.push_back(std::move(form));
  }
}

void openFormFile(ExchangeSource& source, const std::string& path, std::string bytes) {
  ExchangeForm form;
  const std::filesystem::path p(path);
  form.name = p.stem().string();
  form.fileName = p.filename().string();
  form.original = std::move(bytes);
  std::set<std::string> usedContexts;
  try {
    if (form.original.starts_with("\xFF\x0A")) {
      form.kind = ExchangeForm::Kind::BinaryFormFile;
      form.stream = form.original.substr(formFileHeaderLength(form.original));
    } else {
      form.kind = ExchangeForm::Kind::TextFormFile;
      TReadOnlyMemoryStream text(form.original);
      TMemoryStream binary;
      TextToBinary(text, binary);
      form.stream = binary.takeData();
    }
  } catch (const Exception& e) {
    form.error = e.what();
  }
  if (form.error.empty()) readStrings(form, usedContexts);
  source.forms.push_back(std::move(form));
}

std::string comment(const FormString& s) {
  std::string c = s.className;
  if (s.width) c += ", width " + std::to_string(*s.width) + " px";
  return c;
}

}  // namespace

ExchangeSource openExchangeSource(const std::string& path, const ExchangeProgress& progress) {
  ExchangeSource source;
  source.path = path;
  std::unique_ptr<modres::Module> module;
  try {
    module = modres::Module::open(path);
  } catch (const modres::EModuleError&) {
    // Not a module: a form file, or reading it says what is wrong.
  }
  if (module) {
    source.module = true;
    openModuleForms(source, *module, progress);
  } else {
    openFormFile(source, path, readWholeFile(path));
    if (progress) progress(1, 1);
  }
  return source;
}

ExchangeSource formFileExchangeSource(const std::string& path, std::string bytes) {
  ExchangeSource source;
  source.path = path;
  openFormFile(source, path, std::move(bytes));
  return source;
}

std::vector<PoEntry> templateEntries(const ExchangeSource& source) {
  std::vector<PoEntry> entries;
  for (const ExchangeForm& form : source.forms) {
    const std::string file = form.kind == ExchangeForm::Kind::ModuleForm ? form.name : form.fileName;
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      PoEntry e;
      e.context = form.contexts[i];
      e.msgid = form.strings[i].text;
      e.file = file;
      e.line = form.strings[i].line;
      e.comment = comment(form.strings[i]);
      entries.push_back(std::move(e));
    }
  }
  return entries;
}

ApplyResult applyTranslation(const ExchangeSource& source, const std::vector<PoEntry>& entries,
                             const std::string& poName) {
  ApplyResult result;
  std::unordered_map<std::string, std::vector<const PoEntry*>> byContext;
  for (const PoEntry& e : entries) byContext[e.context].push_back(&e);
  std::set<const PoEntry*> used;
  std::set<std::string> sourceContexts;
  auto at = [&](const PoEntry& e) { return poName + (e.line ? ":" + std::to_string(e.line) : std::string()) + ": "; };

  if (!source.error.empty()) result.problems.push_back(source.path + ": " + source.error);
  for (const ExchangeForm& form : source.forms) {
    if (!form.error.empty()) {
      result.problems.push_back(form.name + ": " + form.error);
      continue;
    }
    std::vector<StringReplacement> replacements;
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      const FormString& s = form.strings[i];
      sourceContexts.insert(form.contexts[i]);
      const PoEntry* match = nullptr;
      if (auto it = byContext.find(form.contexts[i]); it != byContext.end())
        for (const PoEntry* e : it->second)
          if (e->hasContext && e->msgid == s.text && !used.count(e)) {
            match = e;
            break;
          }
      if (!match) {
        result.problems.push_back("missing: " + form.contexts[i] + " (" + form.name + ":" + std::to_string(s.line) +
                                  ") has no entry");
        continue;
      }
      used.insert(match);
      if (match->fuzzy || match->msgstr.empty() || match->msgstr == match->msgid) continue;
      replacements.push_back({&s, match->msgstr});
    }
    TranslatedForm t;
    t.form = &form;
    t.changed = !replacements.empty();
    result.applied += replacements.size();
    t.stream = t.changed ? replaceFormStrings(form.stream, std::move(replacements)) : form.stream;
    result.forms.push_back(std::move(t));
  }
  for (const PoEntry& e : entries) {
    if (used.count(&e)) continue;
    const bool known = e.hasContext && sourceContexts.count(e.context);
    result.problems.push_back(at(e) + "obsolete: " + (e.hasContext ? e.context : std::string("an entry without msgctxt")) +
                              (known ? ": the form's text is no longer this msgid" : ": no such string"));
  }
  return result;
}

std::string translatedFormFile(const TranslatedForm& t) {
  const ExchangeForm& form = *t.form;
  switch (form.kind) {
    case ExchangeForm::Kind::ModuleForm: {
      TMemoryStream file;
      WriteFormFile(t.stream, file);
      return file.takeData();
    }
    case ExchangeForm::Kind::BinaryFormFile: {
      if (!t.changed) return form.original;
      std::string header = form.original.substr(0, formFileHeaderLength(form.original));
      const auto size = static_cast<std::uint32_t>(t.stream.size());
      if (header.size() >= 4)
        for (int i = 0; i < 4; ++i) header[header.size() - 4 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
      return header + t.stream;
    }
    case ExchangeForm::Kind::TextFormFile: {
      if (!t.changed) return form.original;
      TReadOnlyMemoryStream in(t.stream);
      TMemoryStream text;
      BinaryToText(in, text);
      return text.takeData();
    }
  }
  return {};
}

void writeTranslatedForms(const ApplyResult& result, const std::string& dir, const ExchangeProgress& progress) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const TranslatedForm& t : result.forms) files.emplace_back(t.form->fileName, translatedFormFile(t));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir))
    throw Exception("無法建立檔案 " + dir + "。" + (ec ? ec.message() : std::string("not a folder")));
  std::size_t done = 0;
  for (const auto& [name, bytes] : files) {
    writeFileAtomically((std::filesystem::path(dir) / name).string(), bytes);
    if (progress) progress(++done, files.size());
  }
}

}  // namespace vc
