// formtext dfm2txt: a form file (.dfm with resource header) to form text.
#include "cli/Command.h"
#include "formstream/FormFile.h"

namespace vc::cli {
namespace {

int runDfm2txt(const Options& opt) {
  if (opt.args.size() > 1) throw UsageError{};
  auto input = openInput(opt.args.empty() ? "-" : opt.args[0]);
  auto output = openOutput(opt.utf8);
  FormFileToText(*input, *output);
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(dfm2txt, "dfm2txt", "dfm2txt [FILE|-] [--utf8]", "form file (.dfm) to form text", "",
                    runDfm2txt);

}  // namespace vc::cli
