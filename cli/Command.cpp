#include <cstdio>
#include <string_view>

#include "cli/Command.h"
#include "platform/Cp950.h"

namespace vc::cli {

std::vector<Command>& commands() {
  static std::vector<Command> list;
  return list;
}

bool Options::has(const std::string& flag) const {
  for (const std::string& f : flags)
    if (f == flag) return true;
  return false;
}

std::string Options::value(const std::string& flag) const {
  for (std::size_t i = 0; i + 1 < flags.size(); ++i)
    if (flags[i] == flag) return flags[i + 1];
  return {};
}

std::unique_ptr<TStream> openInput(const std::string& path) {
  if (path.empty() || path == "-") return std::make_unique<TFileStream>(stdin, false);
  return std::make_unique<TFileStream>(path, TFileStream::Mode::OpenRead);
}

namespace {

// Decodes CP950 to UTF-8 on its way to stdout.
class Utf8Stdout : public TStream {
 public:
  ~Utf8Stdout() override {
    if (!m_pending.empty()) emit(m_pending);
    std::fflush(stdout);
  }
  std::size_t read(void*, std::size_t) override { return 0; }
  std::size_t write(const void* buffer, std::size_t count) override {
    std::string chunk = m_pending;
    chunk.append(static_cast<const char*>(buffer), count);
    m_pending.clear();
    // Hold back a final lead byte whose trail byte is still to come.
    std::size_t cut = chunk.size();
    if (cut > 0 && cp950::isLeadByte(static_cast<unsigned char>(chunk[cut - 1])) &&
        !cp950::isTrailByte(chunk, cut - 1)) {
      m_pending = chunk.substr(cut - 1);
      chunk.resize(cut - 1);
    }
    emit(chunk);
    m_pos += static_cast<std::int64_t>(count);
    return count;
  }
  std::int64_t seek(std::int64_t, SeekOrigin) override { return m_pos; }

 private:
  static void emit(std::string_view bytes) {
    std::string text = cp950::toUtf8(bytes);
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
  std::string m_pending;
  std::int64_t m_pos = 0;
};

}  // namespace

std::unique_ptr<TStream> openOutput(bool utf8) {
  if (utf8) return std::make_unique<Utf8Stdout>();
  return std::make_unique<TFileStream>(stdout, false);
}

void printError(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", message.c_str());
}

}  // namespace vc::cli
