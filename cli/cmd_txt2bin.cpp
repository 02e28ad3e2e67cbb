// formtext txt2bin: form text to a raw binary form stream ("TPF0"...).
#include "cli/Command.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "formstream/TextToBinary.h"

namespace vc::cli {
namespace {

class Txt2bin : public Command {
  std::string m_input = "-";
  std::string m_output;
  bool m_utf8 = false;

  void declare(Arguments& args) override {
    args.input(m_input);
    args.output(m_output, true);
    addFormTextUtf8(args, m_utf8);
  }
  int run() override {
    auto input = openFormText(m_input, m_utf8);
    Output out(m_output, false);
    about(inputName(m_input), [&] { TextToBinary(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Txt2bin, "txt2bin", "form text to a binary form stream", "formtext txt2bin form.txt -o form.bin");

}  // namespace vc::cli
