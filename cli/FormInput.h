#pragma once
// One form, as the commands that read a single form (strings, preview) take
// it: form text (the default), a form file (--dfm) or a form of a module
// (--module NAME).
#include <string>

#include "cli/Command.h"
#include "translation/SourceCodePage.h"

namespace vc::cli {

class FormInput {
 public:
  // FILE, --dfm and --module NAME.
  void declare(Arguments& args);

  const std::string& path() const { return m_path; }
  // True for a form file or a module's form. Raises UsageError for options
  // that do not go together.
  bool binary() const;
  // The binary form stream of the form file (behind its header) or of the
  // module's form; with utf8 the form name was typed as UTF-8.
  std::string binaryStream(bool utf8) const;
  // options with an automatic code page settled: guessed from every form of
  // the module (--module), else from the form's stream or text.
  SourceCodePageOptions resolvedCodePages(const SourceCodePageOptions& options, std::string_view streamOrText) const;
  // How messages about the form name it: the path, and the form's name.
  std::string where(bool utf8) const;

 private:
  std::string m_path = "-";
  std::string m_form;
  bool m_dfm = false;
};

}  // namespace vc::cli
