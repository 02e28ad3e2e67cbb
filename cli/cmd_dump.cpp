// formtext dump: one form resource of a module as form text on stdout. As
// with bin2txt, a conversion error leaves the text written so far on stdout
// and its message on stderr.
#include "cli/Command.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"

namespace vc::cli {
namespace {

int runDump(const Options& opt) {
  if (opt.args.size() != 2) throw UsageError{};
  auto module = openModule(opt.args[0]);
  auto resource = module->readFormResource(resourceNameArgument(opt.args[1], opt));
  auto output = openOutput(opt.utf8);
  BinaryToText(*resource, *output);
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(dump, "dump", "dump MODULE NAME [--utf8]", "one form of a module as form text", "",
                    runDump);

}  // namespace vc::cli
