#pragma once
// The translations of a module's resource strings as the workbench edits
// them, string by string, and keeps them: a PO file the exchange reads
// (STRINGTABLE.po among the module's form files), which `formtext patch` and
// the workbench's translated copy write into the module.
#include <string>
#include <string_view>
#include <vector>

#include "translation/PoExchange.h"

namespace vc {

namespace modres {
class Module;
}

class ResourceStringTranslation {
 public:
  // The strings of the module that a PO file can hold, none translated.
  explicit ResourceStringTranslation(modres::Module& module, const std::string& modulePath);

  std::size_t size() const { return m_strings.size(); }
  const ExchangeResourceString& string(std::size_t i) const { return m_strings[i]; }
  // UTF-8, each line break "\n"; empty when the string has none.
  const std::string& translation(std::size_t i) const { return m_translations[i]; }
  void setTranslation(std::size_t i, std::string text) { m_translations[i] = std::move(text); }
  std::size_t translatedCount() const;

  // Takes the translations of a PO file, matched by msgctxt and msgid
  // (fuzzy ones and those equal to their msgid count as none). With
  // onlyMissing, strings that have a translation keep it. Raises
  // EPoFileError when the file cannot be read.
  void load(const std::string& poPath, bool onlyMissing = false);
  // Every string as an entry, its translation as msgstr, written atomically.
  void save(const std::string& poPath, const std::string& project) const;

 private:
  std::vector<ExchangeResourceString> m_strings;
  std::vector<std::string> m_translations;
};

// A string of the exchange on one line, as the workbench shows and edits it:
// backslash, line break and tab written as "\\", "\n" and "\t".
std::string escapedLine(std::string_view text);
// The text of such a line; a backslash before any other character stays.
std::string unescapedLine(std::string_view line);

// The resource strings that the PO file at poPath translates into module
// (entries that are no resource strings are left out), with the problems
// applyTranslation finds. Raises EPoFileError when it cannot be read.
ApplyResult resourceStringsOfFile(modres::Module& module, const std::string& modulePath, const std::string& poPath);

}  // namespace vc
