#pragma once
// Where commands read from and write to, and how their messages name it.
#include <memory>
#include <string>

#include "formstream/Errors.h"
#include "formstream/Stream.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"

namespace vc::cli {

// Output that could not be written: its message names the destination, and
// no input name is put in front of it.
class OutputError : public Exception {
  using Exception::Exception;
};

// "standard input" / "standard output" for "-", else the path.
std::string inputName(const std::string& path);
std::string outputName(const std::string& path);

// A file to read, or standard input for "-". A missing file, a folder or an
// unreadable file raises a message naming it.
std::unique_ptr<TStream> openInput(const std::string& path);

// One "formtext: " line on standard error per line of message.
void report(const std::string& message);

// Everything left in a stream.
std::string readWhole(TStream& in);

// Runs step; an error it raises (other than OutputError) comes out again as
// "WHERE: message", so that the user sees which file or form failed.
template <class Step>
decltype(auto) about(const std::string& where, Step&& step) {
  try {
    return step();
  } catch (const OutputError&) {
    throw;
  } catch (const EReadError& e) {
    // The stream offset follows the message: where to look in a hex view.
    throw Exception(where + ": " + e.what() + (e.offset() ? " (at byte " + std::to_string(*e.offset()) + ")" : ""));
  } catch (const Exception& e) {
    throw Exception(where + ": " + e.what());
  }
}

// The one result of a command: standard output for "-", else a file that is
// replaced only once the whole result is there (see AtomicFileWriter). With
// utf8 the CP950 bytes are decoded to UTF-8 on the way.
class Output {
 public:
  Output(const std::string& path, bool utf8);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  TStream& stream() { return *m_top; }
  void write(std::string_view bytes) { m_top->writeBytes(bytes); }
  // Delivers the result; raises OutputError when any of it could not be
  // written. Without commit() a file target stays as it was.
  void commit();

 private:
  class Sink;
  class Utf8Decoder;
  std::unique_ptr<Sink> m_sink;
  std::unique_ptr<Utf8Decoder> m_utf8;
  TStream* m_top = nullptr;
};

}  // namespace vc::cli
