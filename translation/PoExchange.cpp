#include "translation/PoExchange.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "formstream/TFiler.h"
#include "formstream/TWriter.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/AtomicFile.h"
#include "platform/CodePages.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "platform/WholeFile.h"
#include "translation/FormFileNames.h"
#include "translation/TranslationChecks.h"

namespace vc {

namespace {

// Length of the form file header in front of the stream.
std::size_t formFileHeaderLength(const std::string& file) {
  TReadOnlyMemoryStream in(file);
  ReadFormFileHeader(in);
  return static_cast<std::size_t>(in.position());
}

bool isEightBit(const FormString& s) { return s.tag == tagString || s.tag == tagLString; }

bool holdsHighBytes(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

void readStrings(ExchangeForm& form, std::set<std::string>& usedContexts, const SourceCodePageOptions& codePages) {
  try {
    form.strings = readFormStrings(form.stream);
    form.fonts = readFormFonts(form.stream, codePages);
  } catch (const Exception& e) {
    form.read = Outcome<>::leftOut(e.what());
    return;
  }
  // 8-bit strings in their own code page.
  for (FormString& s : form.strings) {
    const int codePage = isEightBit(s) ? form.fonts.at(s.begin).codePage : 950;
    form.codePages.push_back(codePage);
    if (codePage == 950) continue;
    s.text = utf::utf16ToUtf8(codepage::decode(s.bytes, codePage));
    normalizedBreaks(s.text);
  }
  for (const FormString& s : form.strings) {
    std::string base = form.name + "." + (s.component.empty() ? "" : s.component + ".") + s.property;
    std::string context = base;
    for (int i = 2; !usedContexts.insert(context).second; ++i) context = base + "~" + std::to_string(i);
    form.contexts.push_back(std::move(context));
  }
}

void openModuleForms(ExchangeSource& source, modres::Module& module, const ExchangeProgress& progress) {
  const SourceCodePageOptions codePages = source.codePages;
  std::vector<std::string> names;
  source.listing = module.listFormNames(names);
  std::set<std::string> usedStems, usedContexts;
  std::size_t done = 0;
  for (const std::string& name : names) {
    ExchangeForm form;
    form.name = cp950::toUtf8(name);
    form.resource = name;
    try {
      form.stream = std::string(module.readFormResource(name)->bytes());
    } catch (const Exception& e) {
      form.read = Outcome<>::leftOut(e.what());
    }
    if (progress) progress(++done, names.size());
    // Modules keep other data as RT_RCDATA too; those are no forms.
    if (form.read && !form.stream.starts_with("TPF0")) continue;
    // Named in the order extract names the forms it can write.
    if (form.read) form.fileName = uniqueStem(safeFileStem(name), usedStems) + ".dfm";
    source.forms.push_back(std::move(form));
  }
  // An automatic code page is the one the module's forms name.
  std::vector<std::string_view> streams;
  for (const ExchangeForm& form : source.forms)
    if (form.read) streams.push_back(form.stream);
  source.codePages = resolvedCodePages(codePages, streams);
  for (ExchangeForm& form : source.forms)
    if (form.read) readStrings(form, usedContexts, source.codePages);
}

void openFormFile(ExchangeSource& source, const std::string& path, std::string bytes) {
  ExchangeForm form;
  const std::filesystem::path p(path);
  form.name = p.stem().string();
  form.fileName = p.filename().string();
  form.original = std::move(bytes);
  std::set<std::string> usedContexts;
  try {
    if (formFileKind(form.original) == FormFileKind::Binary) {
      form.kind = ExchangeForm::Kind::BinaryFormFile;
      form.stream = form.original.substr(formFileHeaderLength(form.original));
    } else {
      // Form text, written back with the line ends it had. A byte-order
      // mark says UTF-8; without one the bytes are taken as they are (Big5
      // text may happen to be valid UTF-8 too).
      form.kind = ExchangeForm::Kind::TextFormFile;
      FormTextFile file;
      if (form.original.starts_with("\xEF\xBB\xBF")) {
        file = readFormTextFile(form.original);
      } else {
        file.text = form.original;
        if (const std::size_t end = file.text.find_first_of("\r\n"); end != std::string::npos)
          file.lineBreak = file.text[end] == '\n' ? "\n" : file.text.compare(end, 2, "\r\n") == 0 ? "\r\n" : "\r";
      }
      form.encoding = file.encoding;
      form.lineBreak = file.lineBreak;
      TReadOnlyMemoryStream text(file.text);
      TMemoryStream binary;
      TextToBinary(text, binary);
      form.stream = binary.takeData();
    }
  } catch (const Exception& e) {
    form.read = Outcome<>::leftOut(e.what());
  }
  if (form.read) {
    source.codePages = resolvedCodePages(source.codePages, {form.stream});
    readStrings(form, usedContexts, source.codePages);
  }
  source.forms.push_back(std::move(form));
}


// Why a PO file cannot hold a string's text; empty when it can.
std::string unfitForPo(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == 0) return "it holds a NUL character";
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) return "it holds an unpaired surrogate (U+" + [&] {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(c));
      return std::string(buf);
    }() + ")";
  }
  return {};
}

std::string stringTableContext(std::uint16_t id, std::uint16_t language, std::uint16_t first) {
  return std::string(kStringTableContext) + (language == first ? "" : "@" + std::to_string(language)) + "." +
         std::to_string(id);
}

void openStringTables(ExchangeSource& source, modres::Module& module) {
  const modres::StringTables& tables = module.stringTables();
  if (tables.directoryError)
    source.resourceStringErrors.push_back(std::string("the string tables could not be read in full: ") +
                                          tables.directoryError->what());
  for (const modres::StringBlockError& e : tables.errors) source.resourceStringErrors.push_back(e.reason());
  const std::uint16_t first = tables.firstLanguage().value_or(0);
  std::vector<modres::ResourceString> strings = tables.strings();
  // The first language's strings, then the others', each by id.
  std::stable_sort(strings.begin(), strings.end(), [&](const modres::ResourceString& a, const modres::ResourceString& b) {
    if ((a.language == first) != (b.language == first)) return a.language == first;
    return a.language != b.language ? a.language < b.language : a.id < b.id;
  });
  for (const modres::ResourceString& s : strings) {
    ExchangeResourceString r;
    r.id = s.id;
    r.language = s.language;
    r.context = stringTableContext(s.id, s.language, first);
    if (std::string why = unfitForPo(s.text); !why.empty()) r.taken = Outcome<>::leftOut(why);
    r.text = utf::utf16ToUtf8(s.text);
    r.lineBreak = normalizedBreaks(r.text);
    r.pascalFormat = hasPascalFormatDirective(r.text);
    source.resourceStrings.push_back(std::move(r));
  }
}

std::string comment(const FormString& s, int codePage) {
  std::string c = s.className;
  if (s.width) c += ", width " + std::to_string(*s.width) + " px";
  if (codePage != 950) c += ", code page " + std::to_string(codePage);
  return c;
}

}  // namespace

bool hasPascalFormatDirective(std::string_view text) {
  for (const FormatDirective& d : formatDirectives(text))
    if (d.type != 0) return true;
  return false;
}

std::string listingProblem(const ExchangeSource& source) {
  if (source.listing) return {};
  return std::string("the module's list of forms could not be read in full: ") + source.listing.reason().what();
}

ExchangeSource openExchangeSource(const std::string& path, const ExchangeProgress& progress,
                                  const SourceCodePageOptions& codePages) {
  ExchangeSource source;
  source.path = path;
  source.codePages = codePages;
  // The file is read once; a module is opened on its bytes.
  auto image = std::make_shared<const std::string>(readWholeFile(path));
  std::shared_ptr<modres::Module> module;
  try {
    module = modres::Module::openBytes(*image);
  } catch (const modres::EModuleError&) {
    // Not a module: a form file, or reading it says what is wrong.
  }
  if (module) {
    source.module = true;
    source.image = image;
    source.opened = module;
    openModuleForms(source, *module, progress);
    openStringTables(source, *module);
    // A module without forms is still translated when it has resource strings.
    if (source.forms.empty() && !source.resourceStrings.empty() && !source.listing &&
        source.listing.reason().fault() == modres::ModuleFault::NoForms)
      source.listing = {};
  } else {
    openFormFile(source, path, *image);
    if (progress) progress(1, 1);
  }
  return source;
}

ExchangeSource formFileExchangeSource(const std::string& path, std::string bytes,
                                      const SourceCodePageOptions& codePages) {
  ExchangeSource source;
  source.path = path;
  source.codePages = codePages;
  openFormFile(source, path, std::move(bytes));
  return source;
}

ExchangeSource stringTableExchangeSource(modres::Module& module, const std::string& path) {
  ExchangeSource source;
  source.path = path;
  source.module = true;
  openStringTables(source, module);
  return source;
}

std::vector<PoEntry> resourceStringEntries(const std::vector<PoEntry>& entries) {
  std::vector<PoEntry> out;
  const std::string plain = std::string(kStringTableContext) + ".", other = std::string(kStringTableContext) + "@";
  for (const PoEntry& e : entries)
    if (e.context.starts_with(plain) || e.context.starts_with(other)) out.push_back(e);
  return out;
}

std::vector<PoEntry> templateEntries(const ExchangeSource& source) {
  std::vector<PoEntry> entries;
  std::size_t count = source.resourceStrings.size();
  for (const ExchangeForm& form : source.forms) count += form.strings.size();
  entries.reserve(count);
  for (const ExchangeForm& form : source.forms) {
    const std::string file = form.kind == ExchangeForm::Kind::ModuleForm ? form.name : form.fileName;
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      PoEntry e;
      e.context = form.contexts[i];
      e.msgid = form.strings[i].text;
      e.file = file;
      e.line = form.strings[i].line;
      e.comment = comment(form.strings[i], form.codePages[i]);
      entries.push_back(std::move(e));
    }
  }
  for (const ExchangeResourceString& r : source.resourceStrings) {
    if (!r.taken) continue;
    PoEntry e;
    e.context = r.context;
    e.msgid = r.text;
    e.comment = "resource string " + std::to_string(r.id) + ", language " + std::to_string(r.language);
    e.pascalFormat = r.pascalFormat;
    entries.push_back(std::move(e));
  }
  return entries;
}

namespace {

// The stored form of a translation: each "\n" as the string's own break.
std::u16string storedText(const ExchangeResourceString& r, const std::string& translation) {
  std::string text;
  text.reserve(translation.size());
  for (char c : translation) {
    if (c == '\n')
      text += r.lineBreak;
    else
      text += c;
  }
  return utf::utf8ToUtf16(text);
}

// The entries of a translation by msgctxt, each taken at most once, and the
// msgctxts of the source they were matched against.
class EntryIndex {
 public:
  explicit EntryIndex(const std::vector<PoEntry>& entries) : m_entries(entries), m_used(entries.size(), 0) {
    m_byContext.reserve(entries.size());
    for (const PoEntry& e : entries) m_byContext.emplace(std::string_view(e.context), &e);
    m_sourceContexts.reserve(entries.size());
  }

  // The first entry in file order, not taken yet, with this msgctxt and
  // msgid; it is taken now. Null when there is none.
  const PoEntry* take(std::string_view context, std::string_view msgid) {
    m_sourceContexts.insert(context);
    const PoEntry* match = nullptr;
    auto [from, to] = m_byContext.equal_range(context);
    for (auto it = from; it != to; ++it) {
      const PoEntry* e = it->second;
      if (e->hasContext && e->msgid == msgid && !m_used[index(e)] && (!match || e < match)) match = e;
    }
    if (match) m_used[index(match)] = 1;
    return match;
  }
  bool taken(const PoEntry& e) const { return m_used[index(&e)] != 0; }
  bool inSource(const PoEntry& e) const { return e.hasContext && m_sourceContexts.count(e.context) != 0; }
  const std::vector<PoEntry>& entries() const { return m_entries; }

 private:
  std::size_t index(const PoEntry* e) const { return static_cast<std::size_t>(e - m_entries.data()); }

  const std::vector<PoEntry>& m_entries;
  std::vector<char> m_used;
  std::unordered_multimap<std::string_view, const PoEntry*> m_byContext;
  std::unordered_set<std::string_view> m_sourceContexts;  // views of the source's msgctxts
};

void applyResourceStrings(const ExchangeSource& source, EntryIndex& index, ApplyResult& result) {
  for (const std::string& e : source.resourceStringErrors) result.problems.push_back(source.path + ": " + e);
  const std::string prefix = kStringTableContext;
  bool any = false;
  for (const PoEntry& e : index.entries())
    any = any || e.context.starts_with(prefix + ".") || e.context.starts_with(prefix + "@");
  std::size_t missing = 0;
  for (const ExchangeResourceString& r : source.resourceStrings) {
    if (!r.taken) {
      result.problems.push_back("left out: " + r.context + ": " + r.taken.reason());
      continue;
    }
    const PoEntry* match = index.take(r.context, r.text);
    if (!match) {
      ++missing;
      if (any) result.problems.push_back("missing: " + r.context + " (resource string) has no entry");
      continue;
    }
    if (match->fuzzy || match->msgstr.empty() || match->msgstr == match->msgid) continue;
    std::u16string text = storedText(r, match->msgstr);
    if (text.size() > modres::kMaxStringUnits) {
      result.problems.push_back(r.context + ": the translation is longer than a string table can hold (" +
                                std::to_string(text.size()) + " UTF-16 units; at most " +
                                std::to_string(modres::kMaxStringUnits) + ")");
      continue;
    }
    result.resourceStrings.push_back({r.id, r.language, std::move(text)});
  }
  result.applied += result.resourceStrings.size();
  if (!any && missing)
    result.problems.push_back("missing: the translation has no resource strings (the module has " + std::to_string(missing) +
                              "); a template from po export holds them");
}

std::string storedCharset(bool ident, int charset) {
  TMemoryStream out;
  {
    TWriter w(out);
    if (ident)
      w.writeIdent(charsetName(charset));
    else
      w.writeInteger(charset);
    w.flushBuffer();
  }
  return out.takeData();
}

// A form that takes translations into strings read in another code page
// than 950 is made to show them on a Traditional Chinese system: each font
// whose charset is in force for a translated string, and each font of a
// component holding one (a grid's TitleFont), changes another script's
// charset to CHINESEBIG5_CHARSET and a font name of that script to its
// counterpart. So does every other font of the form, unless strings left
// untranslated need it to show their own script.
std::vector<ValueReplacement> traditionalFonts(const ExchangeForm& form, const std::vector<StringReplacement>& strings,
                                               const FontNameMap& fontNames) {
  const FormFonts& fonts = form.fonts;
  std::set<std::int64_t> translated;
  for (const StringReplacement& r : strings)
    if (isEightBit(*r.string) && fonts.at(r.string->begin).codePage != 950) translated.insert(r.string->begin);
  if (translated.empty()) return {};
  std::vector<bool> governsTranslated(fonts.fonts.size()), governsUntranslated(fonts.fonts.size());
  for (const FormString& s : form.strings) {
    if (!isEightBit(s)) continue;
    const FormFonts::StringFont& f = fonts.at(s.begin);
    std::vector<std::size_t> governing{f.governor};
    if (f.holder < fonts.holderFonts.size())
      governing.insert(governing.end(), fonts.holderFonts[f.holder].begin(), fonts.holderFonts[f.holder].end());
    const bool done = translated.count(s.begin) > 0;
    if (!done && (f.codePage == 950 || !holdsHighBytes(s.bytes))) continue;
    for (std::size_t i : governing)
      if (i < fonts.fonts.size()) (done ? governsTranslated : governsUntranslated)[i] = true;
  }
  std::vector<ValueReplacement> values;
  for (std::size_t i = 0; i < fonts.fonts.size(); ++i) {
    if (!governsTranslated[i] && governsUntranslated[i]) continue;
    const FormFonts::Font& f = fonts.fonts[i];
    if (f.charsetEnd && charsetNeedsBig5(f.charset))
      values.push_back({f.charsetBegin, f.charsetEnd, storedCharset(f.charsetIsIdent, kChineseBig5Charset)});
    if (f.nameEnd)
      if (std::optional<std::u16string> name = fontNames.map(f.name))
        values.push_back({f.nameBegin, f.nameEnd, storedFormString(*name, f.nameIsEightBit)});
  }
  return values;
}

}  // namespace

ApplyResult applyTranslation(const ExchangeSource& source, const std::vector<PoEntry>& entries,
                             const std::string& poName, const FontNameMap* fontNames) {
  if (!fontNames) fontNames = &FontNameMap::shipped();
  ApplyResult result;
  EntryIndex index(entries);
  auto at = [&](const PoEntry& e) { return poName + (e.line ? ":" + std::to_string(e.line) : std::string()) + ": "; };

  if (!source.listing) result.problems.push_back(source.path + ": " + listingProblem(source));
  for (const ExchangeForm& form : source.forms) {
    if (!form.read) {
      result.problems.push_back(form.name + ": " + form.read.reason());
      continue;
    }
    std::vector<StringReplacement> replacements;
    for (std::size_t i = 0; i < form.strings.size(); ++i) {
      const FormString& s = form.strings[i];
      const PoEntry* match = index.take(form.contexts[i], s.text);
      if (!match) {
        result.problems.push_back("missing: " + form.contexts[i] + " (" + form.name + ":" + std::to_string(s.line) +
                                  ") has no entry");
        continue;
      }
      // A msgstr that is its msgid changes nothing, unless the string is
      // written in another code page: then the text goes in as Big5.
      const bool otherScript = isEightBit(s) && form.codePages[i] != 950 && holdsHighBytes(s.bytes);
      if (match->fuzzy || match->msgstr.empty() || (match->msgstr == match->msgid && !otherScript)) continue;
      replacements.push_back({&s, match->msgstr});
    }
    TranslatedForm t;
    t.form = &form;
    t.changed = !replacements.empty();
    result.applied += replacements.size();
    if (t.changed) {
      std::vector<ValueReplacement> fonts = traditionalFonts(form, replacements, *fontNames);
      t.stream = replaceFormStrings(form.stream, std::move(replacements), std::move(fonts));
    } else {
      t.stream = form.stream;
    }
    result.forms.push_back(std::move(t));
  }
  applyResourceStrings(source, index, result);
  for (const PoEntry& e : entries) {
    if (index.taken(e)) continue;
    const bool known = index.inSource(e);
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
      writeFormFile(t.stream, file);
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
      return encodeFormTextFile(text.data(), form.encoding, form.lineBreak);
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
