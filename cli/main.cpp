// formtext: the command-line face of the form stream core.
#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

#include "cli/Command.h"
#include "platform/Exception.h"

namespace vc::cli {
namespace {

void printHelp(std::FILE* to) {
  std::fprintf(to, "usage: formtext COMMAND [ARGS] [--utf8]\n\ncommands:\n");
  for (const Command& c : commands()) std::fprintf(to, "  %-34s %s\n", c.usage, c.summary);
  std::fprintf(to, "\n--utf8 decodes CP950 output for a terminal.\n");
}

bool takesValue(const Command& c, const std::string& flag) {
  std::istringstream in(c.valueFlags ? c.valueFlags : "");
  std::string f;
  while (in >> f)
    if (f == flag) return true;
  return false;
}

}  // namespace

int run(int argc, char** argv) {
  if (argc < 2) {
    printHelp(stderr);
    return 2;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    printHelp(stdout);
    return 0;
  }
  const Command* cmd = nullptr;
  for (const Command& c : commands())
    if (name == c.name) cmd = &c;
  if (!cmd) {
    std::fprintf(stderr, "formtext: unknown command '%s'\n", name.c_str());
    printHelp(stderr);
    return 2;
  }
  Options opt;
  bool usage = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help") {
      std::printf("usage: formtext %s\n", cmd->usage);
      return 0;
    }
    if (a.size() > 1 && a[0] == '-') {
      opt.flags.push_back(a);
      if (a == "--utf8") opt.utf8 = true;
      if (takesValue(*cmd, a)) {
        if (i + 1 >= argc) {
          usage = true;
          break;
        }
        opt.flags.push_back(argv[++i]);
      }
    } else {
      opt.args.push_back(a);
    }
  }
  try {
    if (usage) throw UsageError{};
    return cmd->run(opt);
  } catch (const UsageError&) {
    std::fprintf(stderr, "usage: formtext %s\n", cmd->usage);
    return 2;
  } catch (const std::exception& e) {
    printError(e.what());
    return 1;
  }
}

}  // namespace vc::cli

int main(int argc, char** argv) { return vc::cli::run(argc, argv); }
