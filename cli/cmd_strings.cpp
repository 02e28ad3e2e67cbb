// formtext strings: the string table of a form text, one row per line that
// holds "=": line number, property name and value, separated by tabs.
#include <string>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "platform/Cp950.h"
#include "workbench/core/StringExtraction.h"

namespace vc::cli {
namespace {

class Strings : public Command {
  std::string m_input = "-";
  std::string m_output = "-";
  std::string m_form;
  bool m_dfm = false;
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.input(m_input);
    args.flag("--dfm", m_dfm, "the input is a form file (.dfm)");
    args.option("--module", m_form, "NAME", "the input is a module; take its form NAME");
    args.output(m_output);
    args.utf8(m_utf8, "--module NAME is typed as UTF-8, and the rows are written as UTF-8 instead of CP950");
  }

  // The form text to extract from: the input itself, the form file's text
  // (--dfm) or a module's form (--module NAME).
  std::string formText() {
    if (!m_form.empty()) {
      if (m_dfm) throw UsageError{"--dfm and --module exclude each other"};
      if (m_input == "-") throw UsageError{"--module reads a module by its path, not from standard input"};
      auto module = openModule(m_input);
      const std::string name = resourceNameArgument(m_form, m_utf8);
      return about(m_input + ": " + cp950::toUtf8(name), [&] {
        auto resource = module->readFormResource(name);
        TMemoryStream text;
        BinaryToText(*resource, text);
        return text.takeData();
      });
    }
    std::string bytes = readWhole(*openInput(m_input));
    if (!m_dfm) return bytes;
    return about(inputName(m_input), [&] {
      TReadOnlyMemoryStream input(bytes);
      TMemoryStream text;
      FormFileToText(input, text);
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
