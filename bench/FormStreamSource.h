#pragma once
// A binary form stream of any size produced on the fly: a root form whose
// children repeat one realistic component record (integers, Big5 strings, a
// string list, a set, a collection and binary data) until the size is reached.
// Nothing but one record is kept in memory.
#include <algorithm>
#include <cstring>
#include <string>

#include "formstream/Stream.h"
#include "formstream/TWriter.h"

namespace vc::bench {

inline std::string componentRecord() {
  TMemoryStream out;
  {
    TWriter w(out);
    w.writeShortString("TListView");
    w.writeShortString("ListView1");
    for (const char* p : {"Left", "Top", "Width", "Height"}) {
      w.writeShortString(p);
      w.writeInteger(300);
    }
    w.writeShortString("Caption");
    w.writeString("\xB7\x7C\xC4\xB3\xAB\xC7 Meeting room");  // 會議室
    w.writeShortString("Hint");
    w.writeString(std::string(40, 'h') + "\r\n" + std::string(60, '\xA4'));
    w.writeShortString("Font.Style");
    w.writeTag(tagSet);
    w.writeShortString("fsBold");
    w.writeShortString("fsItalic");
    w.writeShortString("");
    w.writeShortString("Items.Strings");
    w.writeListBegin();
    for (int i = 0; i < 4; ++i) w.writeString("item line with it's quote");
    w.writeListEnd();
    w.writeShortString("Columns");
    w.writeTag(tagCollection);
    for (int i = 0; i < 2; ++i) {
      w.writeListBegin();
      w.writeShortString("Caption");
      w.writeString("\xA6\x57\xBA\xD9");
      w.writeShortString("Width");
      w.writeInteger(120);
      w.writeListEnd();
    }
    w.writeListEnd();
    w.writeShortString("Glyph.Data");
    std::string data(100, '\x5A');
    w.writeBinary(data.data(), data.size());
    w.writeShortString("Scale");
    w.writeSingle(0.1f);
    w.writeShortString("OnClick");
    w.writeIdent("ListView1Click");
    w.writeListEnd();
    w.writeListEnd();
  }
  return out.data();
}

class GeneratedFormStream : public TStream {
 public:
  explicit GeneratedFormStream(std::int64_t approximateSize) : m_record(componentRecord()) {
    m_head = "TPF0";
    m_head += '\x06';
    m_head += "TForm1";
    m_head += '\x05';
    m_head += "Form1";
    m_head += '\0';  // no properties
    m_count = std::max<std::int64_t>(1, approximateSize / static_cast<std::int64_t>(m_record.size()));
    m_size = static_cast<std::int64_t>(m_head.size()) + m_count * static_cast<std::int64_t>(m_record.size()) + 1;
  }
  std::size_t read(void* buffer, std::size_t count) override {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count && m_pos < m_size) {
      std::int64_t head = static_cast<std::int64_t>(m_head.size());
      std::int64_t rec = static_cast<std::int64_t>(m_record.size());
      std::size_t n;
      if (m_pos < head) {
        n = std::min<std::size_t>(count - done, static_cast<std::size_t>(head - m_pos));
        std::memcpy(out + done, m_head.data() + m_pos, n);
      } else if (m_pos < m_size - 1) {
        std::int64_t off = (m_pos - head) % rec;
        n = std::min<std::size_t>(count - done, static_cast<std::size_t>(rec - off));
        std::memcpy(out + done, m_record.data() + off, n);
      } else {
        n = 1;
        out[done] = '\0';
      }
      done += n;
      m_pos += static_cast<std::int64_t>(n);
    }
    return done;
  }
  std::size_t write(const void*, std::size_t) override { return 0; }
  std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
    std::int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? m_pos : m_size;
    m_pos = std::clamp<std::int64_t>(base + offset, 0, m_size);
    return m_pos;
  }
  std::int64_t size() override { return m_size; }

 private:
  std::string m_head;
  std::string m_record;
  std::int64_t m_count = 0;
  std::int64_t m_size = 0;
  std::int64_t m_pos = 0;
};

// Takes text and keeps only its length.
class NullStream : public TStream {
 public:
  std::int64_t written = 0;
  std::size_t read(void*, std::size_t) override { return 0; }
  std::size_t write(const void*, std::size_t count) override {
    written += static_cast<std::int64_t>(count);
    return count;
  }
  std::int64_t seek(std::int64_t, SeekOrigin) override { return written; }
};

}  // namespace vc::bench
