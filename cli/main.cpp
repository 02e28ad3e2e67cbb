// formtext: the command-line face of the form stream core.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "platform/Exception.h"

namespace vc::cli {
namespace {

constexpr const char* kExitStatus =
    "Exit status: 0 done; 1 failed, with a message on standard error; 2 wrong usage.";

// "[-o OUT] [--utf8] MODULE [NAME]", from what the command declared.
std::string usageLine(const CLI::App& app) {
  std::string line = "formtext";
  if (app.get_parent()) line += " " + app.get_name();
  for (const CLI::Option* o : app.get_options()) {
    if (o->get_positional() || o == app.get_help_ptr()) continue;
    std::string item = o->get_snames().empty() ? "--" + o->get_lnames().front() : "-" + o->get_snames().front();
    if (!o->get_type_name().empty()) item += " " + o->get_type_name();
    line += o->get_required() ? " " + item : " [" + item + "]";
  }
  for (const CLI::Option* o : app.get_options()) {
    if (!o->get_positional()) continue;
    line += o->get_required() ? " " + o->get_name() : " [" + o->get_name() + "]";
  }
  if (!app.get_parent()) line += " COMMAND [ARGS]";
  return line;
}

class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() {
    label("Positionals", "Arguments");
    label("Subcommands", "Commands");
  }
  std::string make_description(const CLI::App* app) const override {
    if (!app->get_parent()) return app->get_description() + "\n";
    return "formtext " + app->get_name() + ": " + app->get_description() + "\n";
  }
  std::string make_usage(const CLI::App* app, std::string) const override {
    return "usage: " + usageLine(*app) + "\n";
  }
};

void printError(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "formtext: %s\n", message.c_str());
}

// Help goes to standard output like any result, and is checked like one.
int finishStdout() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  printError(std::string("cannot write standard output: ") + std::strerror(errno ? errno : EIO));
  return 1;
}

}  // namespace

int run(int argc, char** argv) {
  CLI::App app("formtext: form text, form files and the forms of modules, converted both ways.", "formtext");
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_version_flag("--version", std::string("formtext ") + VC_VERSION, "print the version and exit");
  app.require_subcommand(1);
  app.footer("'formtext help COMMAND' (or 'formtext COMMAND --help') shows a command's options and an example.\n" +
             std::string(kExitStatus));

  // Listed by name, whatever order their files were linked in.
  std::sort(commands().begin(), commands().end(),
            [](const CommandInfo& a, const CommandInfo& b) { return std::string_view(a.name) < b.name; });
  std::vector<std::unique_ptr<Command>> all;
  for (const CommandInfo& info : commands()) {
    CLI::App* sub = app.add_subcommand(info.name, info.summary);
    sub->footer(std::string("Example:\n  ") + info.example + "\n" + kExitStatus);
    all.push_back(info.make());
    Arguments args(*sub);
    all.back()->declare(args);
  }
  auto find = [&](const std::string& name) -> std::pair<CLI::App*, Command*> {
    for (std::size_t i = 0; i < commands().size(); ++i)
      if (name == commands()[i].name) return {app.get_subcommand(commands()[i].name), all[i].get()};
    return {nullptr, nullptr};
  };

  if (argc < 2) {
    std::cerr << app.help();
    return 2;
  }
  const std::string first = argv[1];
  if (first == "help") {
    if (argc == 2) {
      std::cout << app.help();
      return finishStdout();
    }
    CLI::App* sub = find(argv[2]).first;
    if (!sub || argc > 3) {
      printError(std::string("help: no command '") + argv[2] + "'" + (argc > 3 ? " (one command at a time)" : ""));
      std::cerr << "usage: formtext help COMMAND\n";
      return 2;
    }
    std::cout << sub->help();
    return finishStdout();
  }
  if (!first.starts_with("-") && !find(first).first) {
    printError("unknown command '" + first + "'");
    std::cerr << app.help();
    return 2;
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    std::cout << (chosen.empty() ? app.help() : chosen.front()->help());
    return finishStdout();
  } catch (const CLI::CallForVersion& e) {
    std::cout << e.what() << "\n";
    return finishStdout();
  } catch (const CLI::ParseError& e) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    const CLI::App& which = chosen.empty() ? app : *chosen.front();
    printError((chosen.empty() ? std::string() : which.get_name() + ": ") + e.what());
    std::cerr << "usage: " << usageLine(which) << "\n";
    return 2;
  }

  CLI::App* chosen = app.get_subcommands().front();
  try {
    const int status = find(chosen->get_name()).second->run();
    return finishStdout() != 0 ? 1 : status;
  } catch (const UsageError& e) {  // arguments that do not go together
    printError(chosen->get_name() + ": " + e.message);
    std::cerr << "usage: " << usageLine(*chosen) << "\n";
    return 2;
  } catch (const std::exception& e) {
    printError(e.what());
    return 1;
  }
}

}  // namespace vc::cli

int main(int argc, char** argv) { return vc::cli::run(argc, argv); }
