// formtext list: the form names of a module, one per line, in the order of
// its resource directory. Exit status 1 without a message when the module
// has no RT_RCDATA resources (the names found before a failure are printed).
#include "cli/Command.h"
#include "cli/ModuleInput.h"

namespace vc::cli {
namespace {

int runList(const Options& opt) {
  if (opt.args.size() != 1) throw UsageError{};
  auto module = openModule(opt.args[0]);
  std::vector<std::string> names;
  const bool listed = module->listFormNames(names);
  auto out = openOutput(opt.utf8);
  for (const std::string& name : names) out->writeBytes(name + "\n");
  return listed ? 0 : 1;
}

}  // namespace

VC_FORMTEXT_COMMAND(list, "list", "list MODULE [--utf8]", "the form names of a module (.exe, .dll, .cpl)", "",
                    runList);

}  // namespace vc::cli
