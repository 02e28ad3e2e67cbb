// formtext txt2bin: form text to a raw binary form stream ("TPF0"...).
#include "cli/Command.h"
#include "formstream/TextToBinary.h"
#include "platform/AtomicFile.h"

namespace vc::cli {
namespace {

int runTxt2bin(const Options& opt) {
  std::string out = opt.value("-o");
  if (opt.args.size() > 1 || out.empty()) throw UsageError{};
  auto input = openInput(opt.args.empty() ? "-" : opt.args[0]);
  // OUT is replaced only by a complete stream.
  TMemoryStream binary;
  TextToBinary(*input, binary);
  writeFileAtomically(out, binary.data());
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(txt2bin, "txt2bin", "txt2bin [FILE|-] -o OUT", "form text to a binary form stream", "-o",
                    runTxt2bin);

}  // namespace vc::cli
