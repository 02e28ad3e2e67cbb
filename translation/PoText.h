#pragma once
// PO text written and read in one pass, for the files this system makes and
// the plain files translation editors give back. libgettextpo stays the
// authority: a file the quick reader does not understand in full (plural
// forms, obsolete entries, escapes it does not know, a syntax error, a
// duplicate, another charset, CR line ends) is left to the library, which
// reads it or says what is wrong with it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "translation/PoFile.h"

namespace vc {

// A PO file: a header entry with the text given, marked fuzzy as templates
// are unless it has a translator's comment, then each entry with its "#."
// comment, "#:" reference, flags, msgctxt, msgid and msgstr. Strings holding
// line breaks are written one line per break, as the gettext tools write them.
std::string poText(const std::string& header, const std::vector<PoEntry>& entries,
                   const std::string& headerComment = {});

// The entries of PO text in file order, without the header, each with the
// line of its msgid; nothing when the text is not plain (see above).
std::optional<std::vector<PoEntry>> quickReadPo(std::string_view text);

}  // namespace vc
