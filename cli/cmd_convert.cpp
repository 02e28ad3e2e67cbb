// formtext bin2txt, dfm2txt, txt2bin and txt2dfm: one form converted whole,
// from FILE (or standard input) to the output.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/Command.h"
#include "cli/FormTextInput.h"
#include "cli/Io.h"
#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"

namespace vc::cli {
namespace {

using Conversion = void (*)(TStream& input, TStream& output);

// A binary form (raw stream or form file) to form text, in CP950 or UTF-8.
template <Conversion convert>
class ToText : public Command {
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
    about(inputName(m_input), [&] { convert(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

// Form text to a binary form; the output must be named (-o), binary bytes
// are not for the terminal by default.
template <Conversion convert>
class FromText : public Command {
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
    about(inputName(m_input), [&] { convert(*input, out.stream()); });
    out.commit();
    return 0;
  }
};

// A form file handed to bin2txt fails on its resource header, which starts
// with the byte 0xFF: the message says so when the input can be looked at again.
void binaryToText(TStream& input, TStream& output) {
  try {
    BinaryToText(input, output);
  } catch (const EReadError& e) {
    if (e.message() != msg::kInvalidStreamFormat) throw;
    unsigned char first = 0;
    try {
      input.seek(0, SeekOrigin::Begin);
      if (input.read(&first, 1) != 1) first = 0;
    } catch (const Exception&) {
      throw e;
    }
    if (first == 0xFF) throw EReadError(e.message() + " (a .dfm form file? use dfm2txt)");
    throw;
  }
}

// The binary stream waits in an unnamed temporary file rather than in
// memory, so that a huge text needs little of it.
void textToFormFile(TStream& input, TStream& output) {
  std::FILE* file = std::tmpfile();
  if (!file) throw OutputError(std::string("cannot create a temporary file: ") + std::strerror(errno));
  TFileStream scratch(file, true);
  TextToFormFile(input, output, scratch);
}

using Bin2txt = ToText<binaryToText>;
using Dfm2txt = ToText<FormFileToText>;
using Txt2bin = FromText<TextToBinary>;
using Txt2dfm = FromText<textToFormFile>;

}  // namespace

VC_FORMTEXT_COMMAND(Bin2txt, "bin2txt", "binary form stream to form text", "formtext bin2txt form.bin --utf8");
VC_FORMTEXT_COMMAND(Dfm2txt, "dfm2txt", "form file (.dfm) to form text", "formtext dfm2txt form.dfm -o form.txt");
VC_FORMTEXT_COMMAND(Txt2bin, "txt2bin", "form text to a binary form stream", "formtext txt2bin form.txt -o form.bin");
VC_FORMTEXT_COMMAND(Txt2dfm, "txt2dfm", "form text to a form file (.dfm)", "formtext txt2dfm form.txt -o form.dfm");

}  // namespace vc::cli
