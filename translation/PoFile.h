#pragma once
// gettext PO files, as the gettext tools and translation editors agree on
// them: written in one pass, read in one pass when plain, and read by GNU
// gettext's libgettextpo otherwise, which then also says what is wrong.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/Exception.h"

namespace vc {

// A PO file that cannot be read: the message names the file and the line.
class EPoFileError : public Exception { using Exception::Exception; };

struct PoEntry {
  std::string context;  // msgctxt (UTF-8)
  std::string msgid;
  std::string msgstr;
  bool fuzzy = false;
  bool hasContext = false;  // read entries: whether a msgctxt was given
  std::string file;         // "#:" reference when writing
  std::size_t line = 0;     // reference line when writing; the entry's line when read (0 unknown)
  std::string comment;      // "#." comment when writing
  bool pascalFormat = false;  // the "object-pascal-format" flag when writing
};

// Writes a template in UTF-8 with the standard header (Language left for the
// translator) to path, replacing it atomically. project names the source.
void writePoTemplate(const std::string& path, const std::string& project, const std::vector<PoEntry>& entries);
// The bytes writePoTemplate writes.
std::string poTemplateText(const std::string& project, const std::vector<PoEntry>& entries);

// A translation filled in by a conversion rather than by a translator.
struct PoPrefill {
  std::string language;    // "zh_TW"
  std::string conversion;  // "s2twp": named in the header
};
// The bytes of a PO file: a template as poTemplateText writes it when
// prefill is null, else a translation whose header names the language and
// the conversion that filled it.
std::string poFileText(const std::string& project, const std::vector<PoEntry>& entries, const PoPrefill* prefill);

// The entries of a PO file in file order, without the header and without
// obsolete (#~) entries. Raises EPoFileError for anything gettext reports as
// an error, a charset other than UTF-8, text that is not UTF-8, a file over
// kMaxPoFileSize bytes or a msgstr over kMaxTranslation bytes.
std::vector<PoEntry> readPoFile(const std::string& path);
// The same, always read by libgettextpo.
std::vector<PoEntry> readPoFileByLibrary(const std::string& path);

inline constexpr std::size_t kMaxPoFileSize = 64u << 20;
inline constexpr std::size_t kMaxTranslation = 1u << 20;

}  // namespace vc
