// formtext txt2dfm: form text to a form file (.dfm).
#include "cli/Command.h"
#include "formstream/FormFile.h"
#include "platform/AtomicFile.h"

namespace vc::cli {
namespace {

int runTxt2dfm(const Options& opt) {
  std::string out = opt.value("-o");
  if (opt.args.size() > 1 || out.empty()) throw UsageError{};
  auto input = openInput(opt.args.empty() ? "-" : opt.args[0]);
  // OUT is replaced only by a complete form file.
  TMemoryStream formFile;
  TextToFormFile(*input, formFile);
  writeFileAtomically(out, formFile.data());
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(txt2dfm, "txt2dfm", "txt2dfm [FILE|-] -o OUT.dfm", "form text to a form file", "-o",
                    runTxt2dfm);

}  // namespace vc::cli
