// formtext strings: the string table of a form text, one row per line that
// holds "=": line number, property name and value, separated by tabs.
#include <string>

#include "cli/Command.h"
#include "cli/ModuleInput.h"
#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "workbench/core/StringExtraction.h"

namespace vc::cli {
namespace {

std::string readAll(TStream& in) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    std::size_t n = in.read(buffer, sizeof buffer);
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return bytes;
}

// The form text to extract from: the input itself, the form file's text
// (--dfm) or a module's form (--module NAME).
std::string formText(const Options& opt, const std::string& path) {
  const bool fromModule = opt.has("--module");
  if (fromModule && opt.has("--dfm")) throw UsageError{};
  if (fromModule) {
    if (path == "-") throw UsageError{};  // a module is read by name, not piped
    auto module = openModule(path);
    auto resource = module->readFormResource(resourceNameArgument(opt.value("--module"), opt));
    TMemoryStream text;
    BinaryToText(*resource, text);
    return text.takeData();
  }
  std::string bytes = readAll(*openInput(path));
  if (!opt.has("--dfm")) return bytes;
  TReadOnlyMemoryStream input(bytes);
  TMemoryStream text;
  FormFileToText(input, text);
  return text.takeData();
}

int runStrings(const Options& opt) {
  if (opt.args.size() > 1) throw UsageError{};
  std::string path = opt.args.empty() ? std::string("-") : opt.args[0];
  std::string text = formText(opt, path);
  std::vector<std::string> lines = splitTextLines(text);
  auto out = openOutput(opt.utf8);
  for (const ExtractedString& row : extractStrings(lines)) {
    std::string line = std::to_string(row.lineNumber);
    line += '\t';
    line += row.name;
    line += '\t';
    line += row.value;
    line += '\n';
    out->writeBytes(line);
  }
  return 0;
}

}  // namespace

VC_FORMTEXT_COMMAND(strings, "strings", "strings [FILE|-] [--dfm|--module NAME] [--utf8]",
                    "the string table of a form text: line, name, value (tab-separated)", "--module",
                    runStrings);

}  // namespace vc::cli
