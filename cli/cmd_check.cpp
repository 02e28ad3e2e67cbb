// formtext check: the problems of a translation applied to a module or form
// file, one line each, as a compiler reports them or as TSV for scripts.
#include <cstdio>
#include <sstream>

#include "cli/CheckOverflow.h"
#include "cli/Command.h"
#include "cli/Io.h"
#include "translation/PoExchange.h"
#include "translation/PoFile.h"
#include "translation/SourceCodePage.h"
#include "translation/TranslationChecks.h"

namespace vc::cli {

OverflowCheck& overflowCheck() {
  static OverflowCheck check;
  return check;
}

namespace {

class Check : public Command {
  std::string m_source;
  std::string m_translation;
  std::string m_format = "text";
  SourceCodePageOptions m_codePages;
  std::string m_output = "-";
  bool m_untranslated = false;

  void declare(Arguments& args) override {
    args.positional("SOURCE", m_source, "a module (.exe, .dll, .cpl) or a form file (.dfm, binary or text)");
    args.positional("TRANS.po", m_translation,
                    "the translation (exit status 1 when it has any problem, 2 when it or SOURCE cannot be read)");
    args.choice("--format", m_format, {"text", "tsv"},
                "text (default): FILE:LINE: CHECK: MESSAGE, the line of the PO file; tsv: MSGCTXT, CHECK, MESSAGE");
    args.sourceCodePage(m_codePages);
    args.flag("--untranslated", m_untranslated, "also list entries without a translation (they never fail the check)");
    args.output(m_output);
  }

  int run() override {
    CheckOptions options;
    options.untranslated = m_untranslated;
    options.overflow = overflowCheck();

    std::vector<PoEntry> entries;
    try {
      entries = readPoFile(m_translation);
    } catch (const EPoFileError& e) {
      report(e.what());
      return 2;
    }
    ExchangeSource source;
    try {
      source = openExchangeSource(m_source, {}, m_codePages);
    } catch (const std::exception& e) {
      report(m_source + ": " + e.what());
      return 2;
    }
    // A form file that is no form cannot be checked at all; a module's form
    // that cannot be read is named and the rest checked.
    if (!source.module && !source.forms.empty() && !source.forms[0].read) {
      report(source.path + ": " + source.forms[0].read.reason());
      return 2;
    }
    if (!source.listing) report(source.path + ": " + listingProblem(source));
    for (const ExchangeForm& form : source.forms)
      if (!form.read) report(source.path + ": " + form.name + ": " + form.read.reason() + " (not checked)");

    const std::vector<CheckProblem> problems = checkTranslation(source, entries, options);
    Output out(m_output, false);
    bool failed = false;
    for (const CheckProblem& p : problems) {
      out.write((m_format == "tsv" ? problemTsvLine(p) : problemLine(p, m_translation)) + "\n");
      failed = failed || p.check != CheckKind::Untranslated;
    }
    out.commit();
    return failed ? 1 : 0;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Check, "check",
                    "the problems of a translation: hotkeys, Format directives, overflow, line breaks, blanks, "
                    "punctuation",
                    "formtext check program.exe zh.po --format tsv -o problems.tsv");

}  // namespace vc::cli
