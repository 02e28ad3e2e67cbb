// formtext dump: one form resource of a module as form text. As with
// bin2txt, a conversion error leaves the text written so far on standard
// output and its message on stderr.
#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "platform/Cp950.h"

namespace vc::cli {
namespace {

class Dump : public Command {
  std::string m_module;
  std::string m_name;
  std::string m_output = "-";
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl)");
    args.positional("NAME", m_name, "the form's resource name, as list shows it");
    args.output(m_output);
    args.utf8(m_utf8, "NAME is typed as UTF-8, and the text is written as UTF-8 instead of CP950");
  }
  int run() override {
    auto module = openModule(m_module);
    const std::string name = resourceNameArgument(m_name, m_utf8);
    Output out(m_output, m_utf8);
    about(m_module + ": " + cp950::toUtf8(name), [&] {
      auto resource = module->readFormResource(name);
      BinaryToText(*resource, out.stream());
    });
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Dump, "dump", "one form of a module as form text", "formtext dump program.exe TMAINFORM --utf8");

}  // namespace vc::cli
