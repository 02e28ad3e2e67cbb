#pragma once
// A translated copy of a module: some of its forms replaced, by form files or
// by the forms of a translation, written to a new file. The module itself is
// only ever read.
#include <string>
#include <vector>

#include "modres/ModuleWriter.h"
#include "modres/StringTable.h"
#include "platform/Exception.h"
#include "translation/PoExchange.h"

namespace vc {

namespace modres {
class Module;
}

// The copy would be written over the module: the same path, a link to it or
// another name of the same file.
class ESameModule : public Exception { using Exception::Exception; };

// True when both paths name one file (or one path, where neither exists yet).
bool isSameFile(const std::string& a, const std::string& b);

// A form of the module and the stream that takes its place.
struct ModuleFormReplacement {
  std::string form;  // shown name (UTF-8)
  std::string file;  // the form file it was read from; empty for a translation
  modres::FormReplacement replacement;
};

// The .dfm files (any case) of a folder, in name order.
std::vector<std::string> formFilesIn(const std::string& folder);

// The binary form stream ("TPF0"...) of a form file's bytes: a binary form
// file with or without its header, or form text (CP950 or UTF-8). Raises the
// converter's error when it is none of them or does not read back.
std::string formFileStream(const std::string& bytes);

struct FormFileReplacements {
  std::vector<ModuleFormReplacement> forms;
  std::vector<std::string> unmatched;  // files that name no form of the module
};

// Each file replaces the form its name names (the file name without its
// extension, in any case). A file naming no form raises when strict, and is
// listed in unmatched otherwise; two files for one form raise; a file that
// does not read or convert raises, its message naming it.
FormFileReplacements readFormFileReplacements(modres::Module& module, const std::vector<std::string>& files,
                                              bool strict, const ExchangeProgress& progress = {});

// The forms a translation changed.
std::vector<ModuleFormReplacement> translatedReplacements(modres::Module& module, const ApplyResult& result);

// What changed in a written copy beyond the forms.
struct WrittenCopy {
  bool signatureRemoved = false;
  std::vector<std::string> notes;  // the same, in words
};

// Writes the module with the forms and resource strings replaced to out,
// atomically: a failure leaves out as it was. Raises ESameModule when out is
// the module, EModuleWrite when the module cannot be rewritten (or a string
// lies in no readable block), vc::Exception when out cannot be written.
WrittenCopy writeModuleCopy(const std::string& module, const std::vector<ModuleFormReplacement>& forms,
                            const std::string& out, const std::vector<modres::ResourceString>& strings = {});

// The same from the module an exchange source read (its bytes and the module
// opened on them), without reading the file again.
WrittenCopy writeModuleCopy(const ExchangeSource& module, const std::vector<ModuleFormReplacement>& forms,
                            const std::string& out, const std::vector<modres::ResourceString>& strings = {});

// The locale extension of a satellite for Traditional Chinese: the program's
// runtime looks beside Project1.exe for Project1.CHT on such a system.
inline constexpr const char* kTraditionalChineseLocale = "CHT";

// The satellite's file name for a program: its name without the extension,
// then the locale's ("Project1.exe" -> "Project1.CHT").
std::string satelliteFileName(const std::string& module, const std::string& locale = kTraditionalChineseLocale);

// Where a satellite given as out goes: out itself, or the satellite's file
// name inside out when out is a folder.
std::string satelliteTarget(const std::string& module, const std::string& out);

// Writes a satellite resource DLL of the module, its forms replaced, to out,
// atomically: a failure leaves out as it was. Raises as writeModuleCopy does.
WrittenCopy writeSatellite(const std::string& module, const std::vector<ModuleFormReplacement>& forms,
                           const std::string& out, const std::vector<modres::ResourceString>& strings = {});
WrittenCopy writeSatellite(const ExchangeSource& module, const std::vector<ModuleFormReplacement>& forms,
                           const std::string& out, const std::vector<modres::ResourceString>& strings = {});

}  // namespace vc
