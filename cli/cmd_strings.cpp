// formtext strings: the string table of a form text, one row per line that
// holds "=": line number, property name and value, separated by tabs.
#include <string>

#include "cli/Command.h"
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

int runStrings(const Options& opt) {
  if (opt.args.size() > 1) throw UsageError{};
  std::string path = opt.args.empty() ? std::string("-") : opt.args[0];
  std::string text = readAll(*openInput(path));
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

VC_FORMTEXT_COMMAND(strings, "strings", "strings [FILE|-] [--utf8]",
                    "the string table of a form text: line, name, value (tab-separated)", "",
                    runStrings);

}  // namespace vc::cli
