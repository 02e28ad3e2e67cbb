// formtext strings: the string table of a form text, one row per property
// line that `apply` can write: line number, property name and value,
// separated by tabs. A string's value is its whole decoded text.
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/FormInput.h"
#include "cli/Io.h"
#include "formstream/BinaryToText.h"
#include "platform/Cp950.h"
#include "translation/StringExtraction.h"
#include "translation/StringTable.h"

namespace vc::cli {
namespace {

class Strings : public Command {
  FormInput m_input;
  std::string m_output = "-";
  bool m_utf8 = false;
  SourceCodePageOptions m_codePages;

  void declare(Arguments& args) override {
    m_input.declare(args);
    args.output(m_output);
    args.utf8(m_utf8, "--module NAME is typed as UTF-8, and the rows are written as UTF-8 instead of CP950");
    args.sourceCodePage(m_codePages);
  }

  // The form text to extract from: the input itself, the form file's text
  // (--dfm) or a module's form (--module NAME); and the code pages it is read in.
  std::string formText() {
    if (!m_input.binary()) {
      std::string text = readWhole(*openInput(m_input.path()));
      m_codePages = m_input.resolvedCodePages(m_codePages, text);
      return text;
    }
    const std::string stream = m_input.binaryStream(m_utf8);
    m_codePages = m_input.resolvedCodePages(m_codePages, stream);
    return about(m_input.where(m_utf8), [&] {
      TReadOnlyMemoryStream input(stream);
      TMemoryStream text;
      BinaryToText(input, text);
      return text.takeData();
    });
  }

  int run() override {
    const std::vector<std::string> lines = splitTextLines(formText());
    Output out(m_output, false);
    for (const TableRow& row : stringTableRows(lines, m_codePages))
      out.write(std::to_string(row.lineNumber) + '\t' + tableField(cp950::decode(row.name), m_utf8) + '\t' +
                tableField(row.value, m_utf8) + '\n');
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Strings, "strings", "the string table of a form text: line, name, value (tab-separated)",
                    "formtext strings program.exe --module TMAINFORM --utf8");

}  // namespace vc::cli
