// formtext resstrings: the resource strings (RT_STRING) of a module, one a
// line: its id, its language id and its text in UTF-8, separated by tabs.
#include <cstdio>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "platform/Utf.h"

namespace vc::cli {
namespace {

// The text on one line: tab, line breaks and backslash (and other control
// characters) escaped, so that every string stays one line.
std::string escaped(const std::u16string& text) {
  std::string out;
  for (char c : utf::utf16ToUtf8(text)) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out;
}

class ResStrings : public Command {
  std::string m_module;
  std::string m_output = "-";

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl)");
    args.output(m_output);
  }

  int run() override {
    auto module = openModule(m_module);
    const modres::StringTables& tables = module->stringTables();
    Output out(m_output, false);
    for (const modres::ResourceString& s : tables.strings())
      out.write(std::to_string(s.id) + "\t" + std::to_string(s.language) + "\t" + escaped(s.text) + "\n");
    out.commit();
    // The blocks that could not be read are named; the others are listed.
    bool failed = false;
    if (tables.directoryError) {
      std::fprintf(stderr, "formtext: %s: %s\n", m_module.c_str(), tables.directoryError->what());
      failed = true;
    }
    for (const modres::StringBlockError& e : tables.errors) {
      std::fprintf(stderr, "formtext: %s: %s\n", m_module.c_str(), e.reason().c_str());
      failed = true;
    }
    return failed ? 1 : 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(ResStrings, "resstrings",
                    "the resource strings (RT_STRING) of a module: ID<TAB>LANG<TAB>TEXT in UTF-8, one a line",
                    "formtext resstrings program.exe -o strings.txt");

}  // namespace vc::cli
