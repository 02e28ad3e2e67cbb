#include "cli/Command.h"

#include <CLI/CLI.hpp>

#include "translation/SourceCodePage.h"

namespace vc::cli {

std::vector<CommandInfo>& commands() {
  static std::vector<CommandInfo> list;
  return list;
}

void Arguments::positional(const std::string& name, std::string& value, const std::string& help, bool required) {
  CLI::Option* o = m_app.add_option(name, value, help)->type_name("");
  if (required) o->required();
}

void Arguments::positionals(const std::string& name, std::vector<std::string>& values, const std::string& help) {
  m_app.add_option(name, values, help)->type_name("")->required();
}

void Arguments::option(const std::string& names, std::string& value, const std::string& valueName,
                       const std::string& help, bool required) {
  CLI::Option* o = m_app.add_option(names, value, help)->type_name(valueName);
  if (required) o->required();
}

void Arguments::choice(const std::string& names, std::string& value, const std::vector<std::string>& choices,
                       const std::string& help) {
  std::string shown;
  for (const std::string& c : choices) shown += (shown.empty() ? "" : "|") + c;
  m_app.add_option(names, value, help)->type_name(shown)->check(CLI::IsMember(choices));
}

void Arguments::flag(const std::string& names, bool& value, const std::string& help) {
  m_app.add_flag(names, value, help);
}

void Arguments::input(std::string& path) {
  positional("FILE", path, "the input; - or none reads standard input", false);
}

void Arguments::output(std::string& path, bool required) {
  option("-o", path, "OUT", "write the result to OUT, replaced only by a complete result; - is standard output",
         required);
}

void Arguments::utf8(bool& flag, const std::string& meaning) { this->flag("--utf8", flag, meaning); }

void Arguments::sourceCodePage(SourceCodePageOptions& options) {
  std::string pages;
  for (int p : sourceCodePages()) pages += (pages.empty() ? "" : ", ") + std::to_string(p);
  m_app
      .add_option_function<std::string>(
          "--source-codepage",
          [&options](const std::string& value) { options.ansiCodePage = parseSourceCodePage(value).value_or(950); },
          "the module's ANSI code page, in which 8-bit strings under ANSI_CHARSET and DEFAULT_CHARSET fonts are read "
          "(strings under another script's charset are read in its own); without it, the code page of the charset "
          "that most of the module's fonts name, else 950: " + pages)
      ->type_name("CP")
      ->check(CLI::Validator(
          [pages](std::string& value) {
            return parseSourceCodePage(value) ? std::string() : "not a code page of " + pages + ": " + value;
          },
          ""));
}

}  // namespace vc::cli
