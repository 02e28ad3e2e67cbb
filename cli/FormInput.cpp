#include "cli/FormInput.h"

#include "cli/Io.h"
#include "cli/ModuleInput.h"
#include "formstream/FormFile.h"
#include "modres/Module.h"
#include "platform/Cp950.h"
#include "translation/StringExtraction.h"

namespace vc::cli {

void FormInput::declare(Arguments& args) {
  args.input(m_path);
  args.flag("--dfm", m_dfm, "the input is a form file (.dfm)");
  args.option("--module", m_form, "NAME", "the input is a module; take its form NAME");
}

bool FormInput::binary() const {
  if (m_form.empty()) return m_dfm;
  if (m_dfm) throw UsageError{"--dfm and --module exclude each other"};
  if (m_path == "-") throw UsageError{"--module reads a module by its path, not from standard input"};
  return true;
}

std::string FormInput::where(bool utf8) const {
  if (m_form.empty()) return inputName(m_path);
  return m_path + ": " + cp950::toUtf8(resourceNameArgument(m_form, utf8));
}

SourceCodePageOptions FormInput::resolvedCodePages(const SourceCodePageOptions& options,
                                                  std::string_view streamOrText) const {
  if (options.ansiCodePage) return options;
  if (!binary()) {
    const std::vector<std::string> lines = splitTextLines(streamOrText);
    return SourceCodePageOptions{
        guessedAnsiCodePage(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); })};
  }
  if (m_form.empty()) return vc::resolvedCodePages(options, {streamOrText});
  // The module's every form: the guess is the module's, whichever form is shown.
  auto module = openModule(m_path);
  std::vector<std::string> names, streams;
  module->listFormNames(names);
  for (const std::string& name : names) {
    try {
      std::string stream = readWhole(*module->readFormResource(name));
      if (stream.starts_with("TPF0")) streams.push_back(std::move(stream));
    } catch (const Exception&) {
    }
  }
  return vc::resolvedCodePages(options, std::vector<std::string_view>(streams.begin(), streams.end()));
}

std::string FormInput::binaryStream(bool utf8) const {
  if (!m_form.empty()) {
    auto module = openModule(m_path);
    return about(where(utf8), [&] { return readWhole(*module->readFormResource(resourceNameArgument(m_form, utf8))); });
  }
  std::string bytes = readWhole(*openInput(m_path));
  return about(where(utf8), [&] {
    TReadOnlyMemoryStream input(bytes);
    ReadFormFileHeader(input);
    return readWhole(input);
  });
}

}  // namespace vc::cli
