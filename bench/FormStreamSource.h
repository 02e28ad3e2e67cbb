#pragma once
// Binary form streams and form texts of any size produced on the fly: a root
// form whose children repeat one component record until the size is reached.
// Nothing but one record is kept in memory.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "formstream/BinaryToText.h"
#include "formstream/Stream.h"
#include "formstream/TWriter.h"

namespace vc::bench {

// A realistic record: integers, Big5 strings, a string list, a set, a
// collection and binary data.
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

// A string-heavy component record: a memo's lines of Big5 text with quotes,
// tabs and line breaks, long strings cut over several lines, and wide
// strings with characters beyond the 8-bit range.
inline std::string stringRecord() {
  TMemoryStream out;
  {
    TWriter w(out);
    w.writeShortString("TMemo");
    w.writeShortString("Memo1");
    w.writeShortString("Caption");
    w.writeWideString(u"\u6703\u8B70\u5BA4 Meeting room \u2013 \u7B2C\u4E00\u6A13");  // 會議室 – 第一樓
    w.writeShortString("Hint");
    std::string hint;
    for (int i = 0; i < 40; ++i) hint += "\xA4\xA4\xA4\xE5 ";  // 中文 
    w.writeString(hint);
    w.writeShortString("Lines.Strings");
    w.writeListBegin();
    const char* lines[] = {
        "\xB7\x7C\xC4\xB3\xAB\xC7\xA1\x47\xB2\xC4\xA4\x40\xBC\xD3",  // 會議室：第一樓
        "Customer's name\t\xAB\xC8\xA4\xE1\xA6\x57\xBA\xD9",
        "\xA9\xD2\xA6\xB3\xB8\xEA\xAE\xC6\xA4\x77\xC0\x78\xA6\x73\xA1\x43 All data has been saved.",
        "",
        "Line with 'quotes' and a tab\there",
        "\xBD\xD0\xBF\xE9\xA4\x4A\xB1\x4B\xBD\x58\xA1\x43\xBD\xD0\xBF\xE9\xA4\x4A\xB1\x4B\xBD\x58\xA1\x43"
        "\xBD\xD0\xBF\xE9\xA4\x4A\xB1\x4B\xBD\x58\xA1\x43\xBD\xD0\xBF\xE9\xA4\x4A\xB1\x4B\xBD\x58\xA1\x43",
    };
    for (const char* line : lines) w.writeString(line);
    w.writeListEnd();
    w.writeShortString("Text");
    w.writeString(std::string("First line\r\nSecond line\r\n") + std::string(90, '\xA6') + "\r\n");
    w.writeShortString("Items.Strings");
    w.writeListBegin();
    for (int i = 0; i < 3; ++i) w.writeWideString(u"\u9078\u9805 Option \u2460");  // 選項 Option ①
    w.writeListEnd();
    w.writeListEnd();
    w.writeListEnd();
  }
  return out.data();
}

// A stream of any size made on the fly: head, then record repeated count
// times, then tail. Only the three pieces are kept in memory.
class RepeatedStream : public TStream {
 public:
  RepeatedStream(std::string head, std::string record, std::string tail, std::int64_t count)
      : m_head(std::move(head)), m_record(std::move(record)), m_tail(std::move(tail)), m_count(count) {
    m_bodyEnd = static_cast<std::int64_t>(m_head.size()) + m_count * static_cast<std::int64_t>(m_record.size());
    m_size = m_bodyEnd + static_cast<std::int64_t>(m_tail.size());
  }
  std::size_t read(void* buffer, std::size_t count) override {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count && m_pos < m_size) {
      std::int64_t head = static_cast<std::int64_t>(m_head.size());
      std::int64_t rec = static_cast<std::int64_t>(m_record.size());
      std::string_view piece;
      std::int64_t off;
      if (m_pos < head) {
        piece = m_head;
        off = m_pos;
      } else if (m_pos < m_bodyEnd) {
        piece = m_record;
        off = (m_pos - head) % rec;
      } else {
        piece = m_tail;
        off = m_pos - m_bodyEnd;
      }
      std::size_t n = std::min<std::size_t>(count - done, piece.size() - static_cast<std::size_t>(off));
      std::memcpy(out + done, piece.data() + off, n);
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
  std::string m_head, m_record, m_tail;
  std::int64_t m_count;
  std::int64_t m_bodyEnd = 0;
  std::int64_t m_size = 0;
  std::int64_t m_pos = 0;
};

// The head of a generated stream: a root form without properties.
inline std::string formStreamHead() {
  std::string head = "TPF0";
  head += '\x06';
  head += "TForm1";
  head += '\x05';
  head += "Form1";
  head += '\0';  // no properties
  return head;
}

inline std::int64_t recordCount(std::int64_t approximateSize, const std::string& record) {
  return std::max<std::int64_t>(1, approximateSize / static_cast<std::int64_t>(record.size()));
}

// A root form whose children repeat one record until about approximateSize bytes.
class GeneratedFormStream : public RepeatedStream {
 public:
  explicit GeneratedFormStream(std::int64_t approximateSize, const std::string& record = componentRecord())
      : RepeatedStream(formStreamHead(), record, std::string(1, '\0'), recordCount(approximateSize, record)) {}
};

// The form text of a GeneratedFormStream, made on the fly the same way: the
// rendering of the record is cut out of the rendering of a one-child form.
class GeneratedFormText : public RepeatedStream {
 public:
  explicit GeneratedFormText(std::int64_t approximateSize, const std::string& record = componentRecord())
      : GeneratedFormText(approximateSize, renderedRecord(record), 0) {}

 private:
  static constexpr std::string_view kHead = "object Form1: TForm1\r\n";
  static constexpr std::string_view kTail = "end\r\n";
  static std::string renderedRecord(const std::string& record) {
    RepeatedStream one(formStreamHead(), record, std::string(1, '\0'), 1);
    TMemoryStream text;
    BinaryToText(one, text);
    return text.data().substr(kHead.size(), text.data().size() - kHead.size() - kTail.size());
  }
  GeneratedFormText(std::int64_t approximateSize, const std::string& recordText, int)
      : RepeatedStream(std::string(kHead), recordText, std::string(kTail), recordCount(approximateSize, recordText)) {}
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
