#pragma once
// The commands of formtext. Each command is a class in its own cmd_*.cpp:
// declare() names its arguments and options, bound to members; run() does
// the work. VC_FORMTEXT_COMMAND registers it. main() parses the command line
// (unknown options, missing or extra arguments are refused before run()),
// and writes the help, usage line and errors from what declare() said.
//
//   class Count : public Command {
//     std::string m_input = "-";
//     std::string m_output = "-";
//     void declare(Arguments& args) override {
//       args.input(m_input);
//       args.output(m_output);
//     }
//     int run() override {
//       auto in = openInput(m_input);   // cli/Io.h
//       Output out(m_output, false);
//       out.write(...);
//       out.commit();                   // a failed write is an error too
//       return 0;
//     }
//   };
//   VC_FORMTEXT_COMMAND(Count, "count", "counts the objects of a form text",
//                       "formtext count form.txt -o count.txt");
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vc {
struct SourceCodePageOptions;
}

namespace vc::cli {

// What a command accepts, declared on its part of the command line.
class Arguments {
 public:
  explicit Arguments(CLI::App& app) : m_app(app) {}

  // A positional argument such as "MODULE".
  void positional(const std::string& name, std::string& value, const std::string& help, bool required = true);
  // One or more positional arguments, the rest of the command line.
  void positionals(const std::string& name, std::vector<std::string>& values, const std::string& help);
  // An option with a value: names such as "-o" or "--module", shown as "--module NAME".
  void option(const std::string& names, std::string& value, const std::string& valueName, const std::string& help,
              bool required = false);
  // An option whose value must be one of choices.
  void choice(const std::string& names, std::string& value, const std::vector<std::string>& choices,
              const std::string& help);
  void flag(const std::string& names, bool& value, const std::string& help);

  // The arguments most commands share, declared the same way everywhere.
  // FILE: an input path; "-" (the default) reads standard input.
  void input(std::string& path);
  // -o OUT: where the one result goes, "-" for standard output. A file is
  // replaced only by a complete result.
  void output(std::string& path, bool required = false);
  // --utf8, with what it means for this command.
  void utf8(bool& flag, const std::string& meaning);
  // --source-codepage CP: the module's ANSI code page, in which strings under
  // ANSI_CHARSET and DEFAULT_CHARSET fonts are read (0, automatic, when not
  // given: see resolvedCodePages).
  void sourceCodePage(SourceCodePageOptions& options);

 private:
  CLI::App& m_app;
};

// Thrown by run() for arguments that do not go together: main() prints the
// message and the usage line and exits with 2.
struct UsageError {
  std::string message;
};

class Command {
 public:
  virtual ~Command() = default;
  virtual void declare(Arguments& args) = 0;
  // Runs once the command line is parsed. Returns the exit status; a
  // std::exception escaping it is shown as "formtext: MESSAGE" with status 1.
  virtual int run() = 0;
};

struct CommandInfo {
  const char* name;
  const char* summary;  // one line: the command list, and the top of its help
  const char* example;  // a complete command line, shown by its help
  std::unique_ptr<Command> (*make)();
};

// Every registered command.
std::vector<CommandInfo>& commands();

struct Registrar {
  explicit Registrar(const CommandInfo& info) { commands().push_back(info); }
};

#define VC_FORMTEXT_COMMAND(Class, name, summary, example)                      \
  static const ::vc::cli::Registrar vcRegistrar_##Class{::vc::cli::CommandInfo{ \
      name, summary, example, []() -> std::unique_ptr<::vc::cli::Command> { return std::make_unique<Class>(); }}}

}  // namespace vc::cli
