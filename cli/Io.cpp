#include "cli/Io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>

#include "formstream/Errors.h"
#include "platform/Cp950.h"

namespace vc::cli {

std::string inputName(const std::string& path) { return path == "-" ? "standard input" : path; }
std::string outputName(const std::string& path) { return path == "-" ? "standard output" : path; }

void report(const std::string& message) {
  std::istringstream lines(message);
  for (std::string line; std::getline(lines, line);) std::fprintf(stderr, "formtext: %s\n", line.c_str());
}

std::unique_ptr<TStream> openInput(const std::string& path) {
  if (path.empty() || path == "-") return std::make_unique<TFileStream>(stdin, false);
  // Reading a folder succeeds on some systems and yields nothing; say what it is.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throw Exception(path + ": is a directory");
  return std::make_unique<TFileStream>(path, TFileStream::Mode::OpenRead);
}

std::string readWhole(TStream& in) {
  std::string data;
  char buf[65536];
  for (std::size_t n; (n = in.read(buf, sizeof buf)) > 0;) data.append(buf, n);
  return data;
}

// Standard output or the atomic writer of a file, behind one buffer. Every
// failed write raises OutputError at once, with the system's reason.
class Output::Sink : public TStream {
 public:
  explicit Sink(const std::string& path) : m_name(outputName(path)) {
    if (path != "-") {
      try {
        m_file.emplace(path);
      } catch (const Exception& e) {
        throw OutputError(e.what());
      }
    }
  }
  // Text already meant for standard output goes there even when the command
  // fails halfway: it shows how far a conversion got. A file stays as it was.
  ~Sink() override {
    if (!m_file && !m_buffer.empty()) std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
    if (!m_file) std::fflush(stdout);
  }
  std::size_t read(void*, std::size_t) override { return 0; }
  std::size_t write(const void* buffer, std::size_t count) override {
    m_buffer.append(static_cast<const char*>(buffer), count);
    if (m_buffer.size() >= kBufferSize) flush();
    m_pos += static_cast<std::int64_t>(count);
    return count;
  }
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
    if (offset == 0 && origin != SeekOrigin::Begin) return m_pos;
    throw EStreamError("資料串流無法定位");
  }
  void commit() {
    flush();
    if (m_file) {
      try {
        m_file->commit();
      } catch (const Exception& e) {
        throw OutputError(e.what());
      }
    } else if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      failStdout();
    }
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;
  void flush() {
    if (m_buffer.empty()) return;
    std::string pending;
    pending.swap(m_buffer);
    if (m_file) {
      try {
        m_file->write(pending);
      } catch (const Exception& e) {
        throw OutputError(e.what());
      }
    } else if (std::fwrite(pending.data(), 1, pending.size(), stdout) != pending.size()) {
      failStdout();
    }
  }
  [[noreturn]] void failStdout() {
    const int err = errno;
    throw OutputError("cannot write " + m_name + ": " + std::strerror(err ? err : EIO));
  }

  std::string m_name;
  std::optional<AtomicFileWriter> m_file;
  std::string m_buffer;
  std::int64_t m_pos = 0;
};

// Decodes CP950 to UTF-8 in front of another stream. A lead byte at the end
// of one write waits for its trail byte in the next.
class Output::Utf8Decoder : public TStream {
 public:
  explicit Utf8Decoder(TStream& next) : m_next(next) {}
  std::size_t read(void*, std::size_t) override { return 0; }
  std::size_t write(const void* buffer, std::size_t count) override {
    std::string chunk = std::move(m_pending);
    m_pending.clear();
    chunk.append(static_cast<const char*>(buffer), count);
    std::size_t cut = chunk.size();
    if (cut > 0 && cp950::isLeadByte(static_cast<unsigned char>(chunk[cut - 1])) &&
        !cp950::isTrailByte(chunk, cut - 1)) {
      m_pending = chunk.substr(cut - 1);
      chunk.resize(cut - 1);
    }
    m_next.writeBytes(cp950::toUtf8(chunk));
    m_pos += static_cast<std::int64_t>(count);
    return count;
  }
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
    if (offset == 0 && origin != SeekOrigin::Begin) return m_pos;
    throw EStreamError("資料串流無法定位");
  }
  void finish() {
    if (!m_pending.empty()) m_next.writeBytes(cp950::toUtf8(m_pending));
    m_pending.clear();
  }

 private:
  TStream& m_next;
  std::string m_pending;
  std::int64_t m_pos = 0;
};

Output::Output(const std::string& path, bool utf8) : m_sink(std::make_unique<Sink>(path.empty() ? "-" : path)) {
  m_top = m_sink.get();
  if (utf8) {
    m_utf8 = std::make_unique<Utf8Decoder>(*m_sink);
    m_top = m_utf8.get();
  }
}

Output::~Output() = default;

void Output::commit() {
  if (m_utf8) m_utf8->finish();
  m_sink->commit();
}

}  // namespace vc::cli
