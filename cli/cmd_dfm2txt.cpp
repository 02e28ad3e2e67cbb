// formtext dfm2txt: a form file (.dfm with resource header) to form text.
#include "cli/Command.h"
#include "cli/Io.h"
#include "formstream/FormFile.h"

namespace vc::cli {
namespace {

class Dfm2txt : public Command {
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
    about(inputName(m_input), [&] { FormFileToText(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Dfm2txt, "dfm2txt", "form file (.dfm) to form text", "formtext dfm2txt form.dfm -o form.txt");

}  // namespace vc::cli
