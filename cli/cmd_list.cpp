// formtext list: the form names of a module, one per line, in the order of
// its resource directory, and a last line with the number of its resource
// strings (which `formtext resstrings` lists).
#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"

namespace vc::cli {
namespace {

class List : public Command {
  std::string m_module;
  std::string m_output = "-";
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.positional("MODULE", m_module, "the module (.exe, .dll, .cpl)");
    args.output(m_output);
    args.utf8(m_utf8, "write the names as UTF-8 instead of CP950");
  }
  int run() override {
    auto module = openModule(m_module);
    std::string problem;
    const std::vector<std::string> names = formNames(*module, m_module, problem);
    Output out(m_output, m_utf8);
    for (const std::string& name : names) out.write(name + "\n");
    out.write(resourceStringCountLine(module->stringTables().count()) + "\n");
    out.commit();
    if (!problem.empty()) throw Exception(problem);
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(List, "list", "the form names of a module (.exe, .dll, .cpl)", "formtext list program.exe --utf8");

}  // namespace vc::cli
