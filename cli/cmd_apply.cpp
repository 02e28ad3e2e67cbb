// formtext apply: writes changed values of the string table back into a form
// text, as the string page's "write back all" does with its ticked rows. A row
// whose value is the line's value already leaves the line as it is, and the
// lines not written keep their bytes and line ends.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Io.h"
#include "platform/Cp950.h"
#include "translation/StringExtraction.h"
#include "translation/StringTable.h"
#include "translation/WriteBack.h"

namespace vc::cli {
namespace {

struct Edit {
  std::size_t editsLine;  // 1-based line of EDITS, for messages
  WriteBackRow row;
};

// A row of EDITS that cannot be read: the run stops before OUT is touched.
struct MalformedEdits {
  std::string message;
};

std::size_t lineNumberField(std::string_view field) {
  if (field.empty()) throw MalformedEdits{"行數不是十進位數字"};
  std::size_t n = 0;
  for (char c : field) {
    if (c < '0' || c > '9') throw MalformedEdits{"行數不是十進位數字"};
    // Numbers beyond any text stay beyond it.
    n = n > (static_cast<std::size_t>(-1) - 9) / 10 ? static_cast<std::size_t>(-1) : n * 10 + (c - '0');
  }
  return n;
}

std::string nameField(std::string_view field, bool utf8) {
  if (!utf8) return std::string(field);
  std::optional<std::string> bytes = cp950::fromUtf8(field);
  if (!bytes) throw MalformedEdits{"含有無法以 Big5 碼表示的字元"};
  return std::move(*bytes);
}

// Rows LINE<TAB>NAME<TAB>VALUE; VALUE runs to the end of the line (a CR
// before the LF is not part of it). Empty lines are skipped.
std::vector<Edit> parseEdits(std::string_view text, bool utf8, const std::string& path) {
  if (utf8 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<Edit> edits;
  std::size_t number = 0;
  while (!text.empty()) {
    std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    try {
      std::size_t tab1 = line.find('\t');
      std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
      if (tab2 == std::string_view::npos) throw MalformedEdits{"應為 行數<TAB>屬性<TAB>值"};
      Edit e{number, {}};
      e.row.lineNumber = lineNumberField(line.substr(0, tab1));
      e.row.name = nameField(line.substr(tab1 + 1, tab2 - tab1 - 1), utf8);
      e.row.modifiedText = fromTableField(line.substr(tab2 + 1), utf8);
      edits.push_back(std::move(e));
    } catch (const MalformedEdits& m) {
      throw MalformedEdits{path + ":" + std::to_string(number) + ": " + m.message};
    }
  }
  return edits;
}

class Apply : public Command {
  std::string m_text;
  std::string m_edits;
  std::string m_output;
  bool m_utf8 = false;
  SourceCodePageOptions m_codePages;

  void declare(Arguments& args) override {
    args.sourceCodePage(m_codePages);
    args.positional("TEXT", m_text, "the form text; - is standard input");
    args.positional("EDITS", m_edits, "rows LINE<TAB>NAME<TAB>VALUE as `strings` prints them, VALUE changed");
    args.output(m_output, true);
    args.utf8(m_utf8, "EDITS is UTF-8 (a string takes characters CP950 cannot hold as a wide string)");
  }

  int run() override {
    if (m_text == "-" && m_edits == "-") throw UsageError{"TEXT and EDITS cannot both be standard input"};
    std::vector<Edit> edits;
    try {
      edits = parseEdits(readWhole(*openInput(m_edits)), m_utf8, inputName(m_edits));
    } catch (const MalformedEdits& m) {
      throw Exception(m.message);
    }
    const std::string text = readWhole(*openInput(m_text));
    const TextLines t = textLines(text);
    WriteBack writeBack(t.lines.size(), [&](std::size_t i) { return std::string_view(t.lines[i]); });
    // A value is compared with its line's string read as `strings` read it.
    if (!m_codePages.ansiCodePage)
      m_codePages.ansiCodePage =
          guessedAnsiCodePage(t.lines.size(), [&](std::size_t i) { return std::string_view(t.lines[i]); });
    const FormTextFonts fonts =
        readFormTextFonts(t.lines.size(), [&](std::size_t i) { return std::string_view(t.lines[i]); }, m_codePages);
    const std::vector<int>& pages = fonts.codePages;
    std::vector<std::size_t> translated;  // strings rewritten under another script's code page
    int status = 0;
    for (Edit& e : edits) {
      if (e.row.lineNumber >= 1 && e.row.lineNumber <= pages.size()) e.row.codePage = pages[e.row.lineNumber - 1];
      if (Outcome<> written = writeBack.write(e.row); !written) {
        std::fflush(stdout);
        std::fprintf(stderr, "formtext: apply: %s:%zu: %s\n", inputName(m_edits).c_str(), e.editsLine,
                     written.reason().c_str());
        status = 1;
      } else if (writeBack.lastWriteChanged() && e.row.codePage != 950) {
        translated.push_back(e.row.lineNumber - 1);
      }
    }
    // Their fonts are made to show Big5.
    for (const WriteBackRow& row : traditionalFontRows(fonts, translated, FontNameMap::shipped())) writeBack.write(row);
    Output out(m_output, false);
    out.write(writtenText(text, t, writeBack));
    out.commit();
    return status;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Apply, "apply", "write changed values (rows of `strings`) back into a form text",
                    "formtext apply form.txt rows.tsv -o translated.txt --utf8");

}  // namespace vc::cli
