// formtext bin2txt: a raw binary form stream ("TPF0"...) to form text.
#include "cli/Command.h"
#include "formstream/BinaryToText.h"

namespace vc::cli {
namespace {

int runBin2txt(const Options& opt) {
  if (opt.args.size() > 1) throw UsageError{};
  auto input = openInput(opt.args.empty() ? "-" : opt.args[0]);
  auto output = openOutput(opt.utf8);
  BinaryToText(*input, *output);
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(bin2txt, "bin2txt", "bin2txt [FILE|-] [--utf8]", "binary form stream to form text", "",
                    runBin2txt);

}  // namespace vc::cli
