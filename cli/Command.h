#pragma once
// The commands of formtext. Each command lives in its own cmd_*.cpp file and
// registers itself with VC_FORMTEXT_COMMAND; main() dispatches by name.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "formstream/Stream.h"

namespace vc::cli {

struct Options {
  std::vector<std::string> args;  // positional arguments after the command name
  std::vector<std::string> flags; // "--utf8", "--dfm", "-o", ... as given (values follow their flag in args order)
  bool utf8 = false;              // --utf8: decode CP950 output for a terminal
  bool has(const std::string& flag) const;
  // Value of an option that takes one ("-o OUT", "--module NAME"); empty when absent.
  std::string value(const std::string& flag) const;
};

// Thrown for wrong arguments: main() prints the command's usage and exits 2.
struct UsageError {};

struct Command {
  const char* name;
  const char* usage;    // e.g. "bin2txt [FILE|-]"
  const char* summary;  // one line for --help
  const char* valueFlags;  // space-separated flags that take a value, e.g. "-o --module"
  int (*run)(const Options&);
};

std::vector<Command>& commands();
struct Registrar {
  explicit Registrar(const Command& c) { commands().push_back(c); }
};

#define VC_FORMTEXT_COMMAND(id, ...) \
  static const ::vc::cli::Registrar vcRegistrar_##id{::vc::cli::Command{__VA_ARGS__}}

// Input named by a path, or standard input for "-" or no path.
std::unique_ptr<TStream> openInput(const std::string& pathOrDash);

// Standard output as a stream; with utf8 the CP950 bytes are decoded to UTF-8
// on the way (a lead byte at the end of one write waits for its trail byte).
std::unique_ptr<TStream> openOutput(bool utf8);

// Prints an error message (UTF-8) on stderr, one line.
void printError(const std::string& message);

}  // namespace vc::cli
