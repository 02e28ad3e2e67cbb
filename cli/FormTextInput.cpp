#include "cli/FormTextInput.h"

#include <algorithm>
#include <cstring>

#include "cli/Io.h"
#include "formstream/Errors.h"
#include "formstream/Utf8FormText.h"

namespace vc::cli {
namespace {

// Hands out a few bytes read ahead, then the rest of the stream.
class Prefixed : public TStream {
 public:
  Prefixed(std::string head, std::unique_ptr<TStream> rest) : m_head(std::move(head)), m_rest(std::move(rest)) {}
  std::size_t read(void* buffer, std::size_t count) override {
    std::size_t n = 0;
    if (m_at < m_head.size()) {
      n = std::min(count, m_head.size() - m_at);
      std::memcpy(buffer, m_head.data() + m_at, n);
      m_at += n;
    }
    if (n < count) n += m_rest->read(static_cast<char*>(buffer) + n, count - n);
    m_pos += static_cast<std::int64_t>(n);
    return n;
  }
  std::size_t write(const void*, std::size_t) override { return 0; }
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
    if (offset == 0 && origin != SeekOrigin::Begin) return m_pos;
    throw EStreamError("資料串流無法定位");
  }

 private:
  std::string m_head;
  std::size_t m_at = 0;
  std::unique_ptr<TStream> m_rest;
  std::int64_t m_pos = 0;
};

}  // namespace

void addFormTextUtf8(Arguments& args, bool& flag) {
  args.utf8(flag,
                      "read the text as UTF-8 (also done when it starts with the UTF-8 byte-order mark); a "
                      "character CP950 cannot hold makes its string a wide string");
}

std::unique_ptr<TStream> openFormText(const std::string& path, bool utf8) {
  std::unique_ptr<TStream> in = openInput(path);
  // Only the first bytes decide; CP950 text streams on from there.
  std::string head(kUtf8Bom.size(), '\0');
  head.resize(in->read(head.data(), head.size()));
  if (!utf8 && !startsWithUtf8Bom(head)) return std::make_unique<Prefixed>(std::move(head), std::move(in));
  std::string text = head + readWhole(*in);
  return std::make_unique<TMemoryStream>(about(inputName(path), [&] { return formTextFromUtf8(text); }));
}

}  // namespace vc::cli
