#pragma once
// The strings of a module's forms (or of one form file) and of its string
// tables as a gettext template, and translations put back into the forms and
// string tables.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formstream/FormStrings.h"
#include "modres/ModuleError.h"
#include "modres/StringTable.h"
#include "platform/Outcome.h"
#include "translation/FormTextFile.h"
#include "translation/PoFile.h"
#include "translation/SourceCodePage.h"

namespace vc {

namespace modres {
class Module;
}

struct ExchangeForm {
  enum class Kind { ModuleForm, BinaryFormFile, TextFormFile };
  Kind kind = Kind::ModuleForm;
  std::string name;      // shown name (UTF-8): the resource name, or the file name without extension
  std::string resource;  // module forms: the listed name (CP950), as Module::find takes it
  std::string fileName;  // file written for it: as `formtext extract --dfm` names it, or its own name
  std::string stream;    // binary form stream ("TPF0"...)
  std::string original;  // form files: the file's bytes as read
  FormTextEncoding encoding = FormTextEncoding::Cp950;  // text form files: written back as they came
  std::string lineBreak = "\r\n";
  Outcome<> read;        // left out when the form could not be read; it then takes no part
  std::vector<FormString> strings;     // 8-bit strings' text decoded in their source code page
  std::vector<std::string> contexts;  // msgctxt of each string, unique over the source
  std::vector<int> codePages;         // source code page of each string (wide strings: 950)
  FormFonts fonts;                    // the fonts that govern the strings
};

// A resource string (RT_STRING) of a module. Its entry's msgctxt is
// "STRINGTABLE.<id>" in the module's first string-table language (the
// lowest language id) and "STRINGTABLE@<language>.<id>" in any other.
struct ExchangeResourceString {
  std::uint16_t id = 0;
  std::uint16_t language = 0;
  std::string context;
  std::string text;          // UTF-8; each line break is "\n"
  std::string lineBreak;     // what "\n" stands for in the stored string ("\r\n" when it has none)
  bool pascalFormat = false;  // holds Format directives: the entry is flagged object-pascal-format
  Outcome<> taken;           // left out when a PO file cannot hold its text
};

// A module or a form file (binary or text) with every form read.
struct ExchangeSource {
  std::string path;
  SourceCodePageOptions codePages;  // how the forms' 8-bit strings were read
  bool module = false;
  // A module's bytes, read once, and the module opened on them: what a
  // translated copy or a satellite of it is made from.
  std::shared_ptr<const std::string> image;
  std::shared_ptr<modres::Module> opened;
  Outcome<modres::EModuleError> listing;  // the module's form list, read in full or not
  std::vector<ExchangeForm> forms;
  // Every non-empty resource string of the module: the first language's by
  // id, then each other language's.
  std::vector<ExchangeResourceString> resourceStrings;
  std::vector<std::string> resourceStringErrors;  // refused blocks, a damaged directory
};

// The msgctxt prefix of resource strings, and the name of the PO file that
// keeps a module's resource-string translations among its form files.
inline constexpr const char* kStringTableContext = "STRINGTABLE";
inline constexpr const char* kStringTableFile = "STRINGTABLE.po";

// True when text holds a Delphi Format directive ("%s", "%d", "%0:s",
// "%-10.2f", "%*d", "%%").
bool hasPascalFormatDirective(std::string_view text);

// Called after each form with the count done and the total.
using ExchangeProgress = std::function<void(std::size_t done, std::size_t total)>;

// Reads path as a module when it is one, else as a form file. Raises
// vc::Exception when it is neither; forms that fail carry their error.
ExchangeSource openExchangeSource(const std::string& path, const ExchangeProgress& progress = {},
                                  const SourceCodePageOptions& codePages = {});
// A form file given by its bytes; path gives its names.
// Why the module's form list was not read in full; empty when it was.
std::string listingProblem(const ExchangeSource& source);
ExchangeSource formFileExchangeSource(const std::string& path, std::string bytes,
                                      const SourceCodePageOptions& codePages = {});
// The resource strings of an open module alone (no forms); path names it.
ExchangeSource stringTableExchangeSource(modres::Module& module, const std::string& path);
// The entries of a translation that are resource strings.
std::vector<PoEntry> resourceStringEntries(const std::vector<PoEntry>& entries);

// The template entries of every string of the source, form by form.
std::vector<PoEntry> templateEntries(const ExchangeSource& source);

// One form as it is after applying a translation: its stream, and whether any
// string of it changed.
struct TranslatedForm {
  const ExchangeForm* form = nullptr;
  std::string stream;
  bool changed = false;
};

struct ApplyResult {
  std::vector<TranslatedForm> forms;  // every readable form of the source
  // The resource strings a translation changes, line breaks as stored.
  std::vector<modres::ResourceString> resourceStrings;
  std::vector<std::string> problems;  // obsolete entries, strings without entry, unreadable forms
  std::size_t applied = 0;            // strings changed, form and resource strings
};

// Puts each translated entry in place of its string. Empty and fuzzy
// msgstr and those equal to their msgid change nothing (but a non-ASCII
// 8-bit string read in another code page than 950 is then written as Big5). A translation of an
// 8-bit string read in another code page than 950 goes in as Big5 (or wide);
// the font that governs it, when it names another script's charset, becomes
// CHINESEBIG5_CHARSET, and its name the Traditional Chinese counterpart that
// fontNames gives (FontNameMap::shipped() when null). A translation with
// no resource-string entry at all is reported once, not string by string.
ApplyResult applyTranslation(const ExchangeSource& source, const std::vector<PoEntry>& entries,
                             const std::string& poName, const FontNameMap* fontNames = nullptr);

// The form file bytes of a translated form: its source bytes when nothing
// changed (what `extract --dfm` writes for a module's form), else the new
// stream under the same kind of file.
std::string translatedFormFile(const TranslatedForm& form);

// Writes each form file into dir (created when missing), each atomically.
void writeTranslatedForms(const ApplyResult& result, const std::string& dir, const ExchangeProgress& progress = {});

}  // namespace vc
