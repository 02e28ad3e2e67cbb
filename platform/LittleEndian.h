#pragma once
// Little-endian numbers and UTF-16 text in bytes read from files, decoded by
// value (never by casting onto the bytes). ByteCursor walks a span and checks
// that each value it reads is there.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vc::le {

inline std::uint16_t u16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t u32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t u64(const unsigned char* p) { return std::uint64_t{u32(p)} | (std::uint64_t{u32(p + 4)} << 32); }

// Values stored into bytes being built, at an offset the caller has checked.
inline void put16(std::string& s, std::uint64_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& s, std::uint64_t at, std::uint32_t v) {
  put16(s, at, v & 0xFFFF);
  put16(s, at + 2, v >> 16);
}
inline void put64(std::string& s, std::uint64_t at, std::uint64_t v) {
  put32(s, at, static_cast<std::uint32_t>(v));
  put32(s, at + 4, static_cast<std::uint32_t>(v >> 32));
}

// units UTF-16LE code units starting at p, into out (whose storage is reused).
inline void utf16(const unsigned char* p, std::size_t units, std::u16string& out) {
  out.resize(units);
  for (std::size_t i = 0; i < units; ++i) out[i] = static_cast<char16_t>(u16(p + 2 * i));
}
inline std::u16string utf16(const unsigned char* p, std::size_t units) {
  std::u16string out;
  utf16(p, units, out);
  return out;
}

class ByteCursor {
 public:
  ByteCursor(const void* data, std::size_t size) : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
  explicit ByteCursor(std::string_view bytes) : ByteCursor(bytes.data(), bytes.size()) {}

  std::size_t offset() const { return m_at; }
  std::size_t remaining() const { return m_size - m_at; }

  // Each read moves on and returns true when its bytes are all there;
  // otherwise it returns false and moves nowhere.
  bool skip(std::size_t count) {
    if (count > remaining()) return false;
    m_at += count;
    return true;
  }
  bool u16(std::uint16_t& value) { return take(2, [&](const unsigned char* p) { value = le::u16(p); }); }
  bool u32(std::uint32_t& value) { return take(4, [&](const unsigned char* p) { value = le::u32(p); }); }
  bool utf16(std::size_t units, std::u16string& value) {
    return units <= remaining() / 2 && take(2 * units, [&](const unsigned char* p) { value = le::utf16(p, units); });
  }
  bool bytes(std::size_t count, std::string_view& value) {
    return take(count, [&](const unsigned char* p) { value = {reinterpret_cast<const char*>(p), count}; });
  }

 private:
  template <class Decode>
  bool take(std::size_t count, Decode decode) {
    if (count > remaining()) return false;
    decode(m_data + m_at);
    m_at += count;
    return true;
  }

  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

}  // namespace vc::le
