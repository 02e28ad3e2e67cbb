// formtext bin2txt: a raw binary form stream ("TPF0"...) to form text.
#include "cli/Command.h"
#include "cli/Io.h"
#include "formstream/BinaryToText.h"

namespace vc::cli {
namespace {

class Bin2txt : public Command {
  std::string m_input = "-";
  std::string m_output = "-";
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.input(m_input);
    args.output(m_output);
    args.utf8(m_utf8, "write the text as UTF-8 instead of CP950");
  }
  int run() override {
    auto input = openInput(m_input);
    Output out(m_output, m_utf8);
    about(inputName(m_input), [&] { BinaryToText(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Bin2txt, "bin2txt", "binary form stream to form text", "formtext bin2txt form.bin --utf8");

}  // namespace vc::cli
