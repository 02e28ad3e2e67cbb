#pragma once
// Checks of a translation against its source: hotkeys, Format directives,
// line breaks, blanks at the ends, closing punctuation, and (through a
// layout callback the caller supplies) whether a translated text still fits
// its control. Shared by `formtext check` and the workbench's check list.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "translation/PoExchange.h"

namespace vc {

enum class CheckKind {
  HotkeyDuplicate,
  HotkeyLost,
  HotkeyAdded,
  Placeholder,
  Overflow,
  LineBreaks,
  Whitespace,
  Punctuation,
  Untranslated,
};

// The check's name as users and scripts see it: "hotkey-duplicate", ...
std::string_view checkName(CheckKind kind);

// One Format directive of a text: "%s", "%0:s", "%-10.2f", "%*d", "%%".
struct FormatDirective {
  std::string text;      // as written
  char type = 0;         // upper-case type letter; '%' for "%%"; 0 for a '%' that starts no directive
  int argument = -1;     // the argument it formats (Format's counting); -1 for "%%" and broken ones
  std::vector<int> starArguments;  // arguments that "*" widths and precisions take
};
std::vector<FormatDirective> formatDirectives(std::string_view text);

// The accelerator of a caption: the character behind its first "&" that is
// not "&&", upper-cased when it is a Latin letter; none when it has none.
std::optional<char32_t> hotkeyOf(std::string_view text);

// The problems of one translated text against its source (UTF-8, "\n" for
// line breaks): everything but hotkey-duplicate, overflow and untranslated.
// withHotkeys: the text is a caption or resource string whose "&" marks a
// hotkey.
struct TextProblem {
  CheckKind check;
  std::string message;
};
std::vector<TextProblem> compareTexts(std::string_view source, std::string_view translation, bool withHotkeys);

// The captions of a form that share the hotkey strings[index] has in
// finalText(index): captions of the same parent, or items of the same menu
// level, whose finalText has the same accelerator. finalText gives each
// string's text as translated (or its own text).
std::vector<std::size_t> hotkeyPartners(const std::vector<FormString>& strings, std::size_t index,
                                        const std::function<std::string(std::size_t)>& finalText);

// A control that does not fit its text in a form: its component path below
// the form as the exchange names it ("Panel1.Button1"), its class and width.
struct OverflowHit {
  std::string component;
  std::string className;
  int width = 0;
};
// Lays out a binary form stream ("TPF0"...) and names the controls whose text
// does not fit; raises vc::Exception when the stream cannot be read.
using OverflowCheck = std::function<std::vector<OverflowHit>(std::string_view stream)>;

struct CheckOptions {
  bool untranslated = false;      // report entries without a translation
  OverflowCheck overflow;         // none: no overflow check
};

struct CheckProblem {
  CheckKind check;
  std::string context;    // the entry's msgctxt
  std::size_t line = 0;   // the entry's line in the PO file; 0 unknown
  std::string form;       // the form's shown name; empty for a resource string
  std::string component;  // path below the form; "Caption" of the form itself has none
  std::string property;   // "Caption", "Lines[3]"; the id of a resource string
  std::string message;    // UTF-8, on one line
};

// Every problem of the entries (a PO file's, or the workbench's translations
// as entries) applied to source, form by form in string order, then the
// resource strings. Entries are matched as applyTranslation matches them;
// fuzzy and empty ones are no translation, and one whose msgstr is its msgid
// is the source text kept on purpose.
std::vector<CheckProblem> checkTranslation(const ExchangeSource& source, const std::vector<PoEntry>& entries,
                                           const CheckOptions& options);

// The problem as a compiler writes one: "FILE:LINE: CHECK: MESSAGE" (no
// ":LINE" when unknown), and as a TSV line: "MSGCTXT<TAB>CHECK<TAB>MESSAGE".
std::string problemLine(const CheckProblem& p, const std::string& poName);
std::string problemTsvLine(const CheckProblem& p);

}  // namespace vc
