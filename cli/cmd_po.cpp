// formtext po: a module's (or a form file's) strings, its resource strings
// included, out as a gettext template, and a translation back into form files
// or a translated copy of the module.
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli/Command.h"
#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "translation/ChineseConversion.h"
#include "translation/PoExchange.h"
#include "translation/PoFile.h"
#include "translation/TranslatedModule.h"

namespace vc::cli {
namespace {

class Po : public Command {
  std::string m_action;
  std::string m_source;
  std::string m_translation;
  std::string m_output;
  std::string m_module;
  std::string m_satellite;
  std::string m_prefill;
  SourceCodePageOptions m_codePages;

  void declare(Arguments& args) override {
    args.positional("ACTION", m_action, "export (the strings as a template) or apply (a translation into form files)");
    args.positional("SOURCE", m_source, "a module (.exe, .dll, .cpl) or a form file (.dfm, binary or text)");
    args.positional("TRANS.po", m_translation, "apply: the translation", false);
    args.option("-o", m_output, "OUT", "export: the template to write (- for standard output); apply: the folder for the form files");
    args.option("--module", m_module, "OUT",
                "apply: a translated copy of the module SOURCE to write (OUT must not be SOURCE itself)");
    args.option("--satellite", m_satellite, "OUT", kSatelliteHelp);
    args.choice("--prefill", m_prefill, chineseConversions(),
                "export: a translation (not a template) whose msgstr is the OpenCC conversion of every msgid "
                "holding Han characters (s2twp: Taiwan, with its phrases)");
    args.sourceCodePage(m_codePages);
  }

  int run() override {
    if (m_action != "export" && m_action != "apply") throw UsageError{"ACTION is export or apply, not " + m_action};
    if (m_action == "export" && !m_translation.empty()) throw UsageError{"export takes no PO file"};
    if (m_action == "export" && (m_output.empty() || !m_module.empty() || !m_satellite.empty()))
      throw UsageError{"export writes the template to -o OUT, and nothing else"};
    if (m_action == "apply" && m_translation.empty()) throw UsageError{"apply needs the PO file"};
    if (m_action == "apply" && !m_prefill.empty()) throw UsageError{"--prefill goes with export"};
    if (m_action == "apply" && m_output.empty() && m_module.empty() && m_satellite.empty())
      throw UsageError{
          "apply needs -o DIR for the form files, --module OUT for the translated module, --satellite OUT for a "
          "resource DLL, or several of them"};
    if (!m_module.empty() && isSameFile(m_source, m_module))
      throw UsageError{"--module must name a file other than SOURCE"};
    if (!m_satellite.empty()) {
      m_satellite = satelliteTarget(m_source, m_satellite);
      if (isSameFile(m_source, m_satellite)) throw UsageError{"--satellite must name a file other than SOURCE"};
    }
    return m_action == "export" ? exportTemplate() : applyTranslation();
  }

  // Forms and string table blocks that could not be read, and resource
  // strings a PO file cannot hold, are named; the others still take part.
  bool reportUnreadable(const ExchangeSource& source) {
    bool failed = !source.listing;
    if (failed) report(source.path + ": " + listingProblem(source));
    for (const ExchangeForm& form : source.forms)
      if (!form.read) {
        report(source.path + ": " + form.name + ": " + form.read.reason());
        failed = true;
      }
    for (const std::string& e : source.resourceStringErrors) report(source.path + ": " + e);
    for (const ExchangeResourceString& r : source.resourceStrings)
      if (!r.taken) report(source.path + ": " + r.context + " left out: " + r.taken.reason());
    return failed;
  }

  // A template without every form's strings is no template: nothing is
  // written. A string table block that cannot be read is left out, the
  // reason said, and the rest exported (exit status 1 all the same).
  int exportTemplate() {
    ExchangeSource source = openExchangeSource(m_source, {}, m_codePages);
    if (reportUnreadable(source)) return 1;
    std::vector<PoEntry> entries = templateEntries(source);
    const std::string project = std::filesystem::path(m_source).filename().string();
    std::string text;
    if (m_prefill.empty()) {
      text = poTemplateText(project, entries);
    } else {
      const ChineseConverter converter(m_prefill);
      for (PoEntry& e : entries)
        if (holdsHan(e.msgid)) e.msgstr = converter.convert(e.msgid);
      const PoPrefill prefill{m_prefill == "s2hk" ? "zh_HK" : m_prefill == "s2t" ? "zh_Hant" : "zh_TW", m_prefill};
      text = poFileText(project, entries, &prefill);
    }
    Output out(m_output, false);
    out.write(text);
    out.commit();
    return source.resourceStringErrors.empty() ? 0 : 1;
  }

  int applyTranslation() {
    std::vector<PoEntry> entries;
    try {
      entries = readPoFile(m_translation);
    } catch (const EPoFileError& e) {
      report(e.what());
      return 2;
    }
    ExchangeSource source = openExchangeSource(m_source, {}, m_codePages);
    if ((!m_module.empty() || !m_satellite.empty()) && !source.module)
      throw UsageError{(m_module.empty() ? "--satellite" : "--module") + std::string(" needs SOURCE to be a module")};
    ApplyResult result = vc::applyTranslation(source, entries, m_translation);
    if (!m_module.empty() || !m_satellite.empty()) {
      // The module as the exchange read it: the file is read once.
      const std::vector<ModuleFormReplacement> forms = translatedReplacements(*source.opened, result);
      if (!m_module.empty())
        for (const std::string& note : writeModuleCopy(source, forms, m_module, result.resourceStrings).notes)
          report(m_module + ": " + note);
      if (!m_satellite.empty()) writeSatellite(source, forms, m_satellite, result.resourceStrings);
    }
    if (!m_output.empty()) writeTranslatedForms(result, m_output);
    if (m_module.empty() && m_satellite.empty() && !result.resourceStrings.empty())
      report(std::to_string(result.resourceStrings.size()) + " translated resource string" +
             (result.resourceStrings.size() == 1 ? " is" : "s are") +
             " not written: -o writes form files only; --module OUT writes them into a translated copy of the module");
    for (const std::string& p : result.problems) report(p);
    return result.problems.empty() ? 0 : 1;
  }
};

}  // namespace

VC_FORMTEXT_COMMAND(Po, "po",
                    "gettext PO files: po export SOURCE -o OUT.pot [--prefill s2twp], po apply SOURCE TRANS.po -o DIR | --module OUT | "
                    "--satellite OUT",
                    "formtext po apply program.exe ru.po --module program-ru.exe");

}  // namespace vc::cli
