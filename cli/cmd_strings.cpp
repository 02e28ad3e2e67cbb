// formtext strings: the string table of a form text, one row per line that
// holds "=": line number, property name and value, separated by tabs.
#include <string>

#include "cli/Command.h"
#include "cli/FormInput.h"
#include "cli/Io.h"
#include "formstream/BinaryToText.h"
#include "translation/StringExtraction.h"

namespace vc::cli {
namespace {

class Strings : public Command {
  FormInput m_input;
  std::string m_output = "-";
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    m_input.declare(args);
    args.output(m_output);
    args.utf8(m_utf8, "--module NAME is typed as UTF-8, and the rows are written as UTF-8 instead of CP950");
  }

  // The form text to extract from: the input itself, the form file's text
  // (--dfm) or a module's form (--module NAME).
  std::string formText() {
    if (!m_input.binary()) return readWhole(*openInput(m_input.path()));
    const std::string stream = m_input.binaryStream(m_utf8);
    return about(m_input.where(m_utf8), [&] {
      TReadOnlyMemoryStream input(stream);
      TMemoryStream text;
      BinaryToText(input, text);
      return text.takeData();
    });
  }

  int run() override {
    const std::string text = formText();
    std::vector<std::string> lines = splitTextLines(text);
    Output out(m_output, m_utf8);
    for (const ExtractedString& row : extractStrings(lines))
      out.write(std::to_string(row.lineNumber) + '\t' + row.name + '\t' + row.value + '\n');
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Strings, "strings", "the string table of a form text: line, name, value (tab-separated)",
                    "formtext strings program.exe --module TMAINFORM --utf8");

}  // namespace vc::cli
