// formtext txt2dfm: form text to a form file (.dfm).
#include "cli/Command.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "formstream/FormFile.h"

namespace vc::cli {
namespace {

class Txt2dfm : public Command {
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
    about(inputName(m_input), [&] { TextToFormFile(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Txt2dfm, "txt2dfm", "form text to a form file (.dfm)", "formtext txt2dfm form.txt -o form.dfm");

}  // namespace vc::cli
