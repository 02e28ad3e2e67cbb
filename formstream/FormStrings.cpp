#include "formstream/FormStrings.h"

#include <algorithm>
#include <set>

#include "formstream/BinaryToText.h"
#include "formstream/TFiler.h"
#include "formstream/TWriter.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"

namespace vc {

namespace {

struct LeftOut {
  std::string_view name;
  std::string_view why;
};

// Properties whose strings a translator must not change: the program finds
// things by them, or they are not words at all.
constexpr LeftOut kLeftOut[] = {
    {"Name", "a name the program or the system looks things up by (components, fonts)"},
    {"ImeName", "the name of an input method installed on the system"},
    {"DataField", "a database field name"},
    {"FieldName", "a database field name"},
    {"KeyField", "a database field name"},
    {"KeyFields", "database field names"},
    {"ListField", "a database field name"},
    {"LookupKeyFields", "database field names"},
    {"LookupResultField", "a database field name"},
    {"MasterFields", "database field names"},
    {"IndexFieldNames", "database field names"},
    {"IndexName", "a database index name"},
    {"TableName", "a database table name"},
    {"DatabaseName", "a database or alias name"},
    {"AliasName", "a database alias name"},
    {"SessionName", "a database session name"},
    {"DriverName", "a database driver name"},
    {"StoredProcName", "a stored procedure name"},
    {"ProviderName", "a data provider name"},
    {"ConnectionString", "database connection settings"},
    {"CommandText", "an SQL command"},
    {"SQL", "SQL statements"},
    {"Params", "database or driver parameters"},
    {"DisplayFormat", "a number or date format pattern"},
    {"EditFormat", "a number or date format pattern"},
    {"EditMask", "an input mask pattern"},
    {"PasswordChar", "a masking character, not text"},
    {"KeyItems", "the values a list stores for its items, not shown"},
    {"FileName", "a file name or path"},
    {"InitialDir", "a folder path"},
    {"DefaultExt", "a file extension"},
    {"HelpFile", "a file name or path"},
    {"HelpKeyword", "a help topic key"},
};

std::string_view leftOutPart(std::string_view part) {
  for (const LeftOut& l : kLeftOut)
    if (l.name == part) return l.why;
  return {};
}


bool isString(unsigned char tag) {
  return tag == tagString || tag == tagLString || tag == tagWString || tag == tagUtf8String;
}

class StringCollector : public RenderListener {
 public:
  std::vector<FormString> strings;

  void beginObject(std::string_view className, std::string_view name) override {
    Frame f;
    f.kind = Frame::Object;
    f.className = cp950::toUtf8(className);
    if (!m_frames.empty()) {
      Frame& parent = owner();
      std::string segment = name.empty() ? ":" + f.className : cp950::toUtf8(name);
      std::string unique = segment;
      for (int i = 2; !parent.children.insert(unique).second; ++i) unique = segment + "~" + std::to_string(i);
      f.label = parent.label.empty() ? unique : parent.label + "." + unique;
    }
    m_frames.push_back(std::move(f));
  }
  void endProperties() override { settleWidths(m_frames.back()); }
  void endObject() override { m_frames.pop_back(); }

  void beginProperty(std::string_view name) override {
    const Frame& top = m_frames.back();
    Frame f;
    f.kind = Frame::Property;
    f.rawName = std::string(name);
    std::string shown = cp950::toUtf8(name);
    f.label = top.kind == Frame::Item ? top.label + "." + shown : shown;
    f.leftOut = top.leftOut.empty() ? leftOutReason(name) : top.leftOut;
    m_frames.push_back(std::move(f));
  }
  void endProperty() override { m_frames.pop_back(); }

  void beginList() override {
    Frame f;
    f.kind = Frame::List;
    f.label = nextLabel();
    if (m_frames.back().kind == Frame::Property) {
      constexpr std::string_view kStrings = ".Strings";
      if (f.label.size() > kStrings.size() && f.label.ends_with(kStrings)) f.label.resize(f.label.size() - kStrings.size());
    }
    f.leftOut = m_frames.back().leftOut;
    m_frames.push_back(std::move(f));
  }
  void endList() override { m_frames.pop_back(); }

  void beginItem() override {
    Frame f;
    f.kind = Frame::Item;
    f.label = nextLabel();
    f.leftOut = m_frames.back().leftOut;
    m_frames.push_back(std::move(f));
  }
  void endItem() override {
    settleWidths(m_frames.back());
    m_frames.pop_back();
  }

  void value(const RenderedValue& v) override {
    Frame& top = m_frames.back();
    std::string label = nextLabel();
    if (top.kind == Frame::Property && (v.tag == tagInt8 || v.tag == tagInt16 || v.tag == tagInt32)) {
      Frame& holder = m_frames[m_frames.size() - 2];
      if (top.rawName == "Width") holder.width = v.integer;
      if (top.rawName == "ClientWidth") holder.clientWidth = v.integer;
    }
    if (!isString(v.tag) || !top.leftOut.empty()) return;
    FormString s;
    s.text = v.tag == tagString || v.tag == tagLString ? cp950::toUtf8(v.bytes) : utf::utf16ToUtf8(v.wide);
    // A NUL cannot travel in a PO file; such a string is data, not words.
    if (s.text.empty() || s.text.find('\0') != std::string::npos) return;
    s.lineBreak = normalizedBreaks(s.text);
    Frame& obj = object();
    s.component = obj.label;
    s.property = std::move(label);
    s.className = obj.className;
    s.line = v.line;
    s.begin = v.begin;
    s.end = v.end;
    s.tag = v.tag;
    if (v.tag == tagString || v.tag == tagLString) s.bytes = v.bytes;
    owner().stringIndices.push_back(strings.size());
    strings.push_back(std::move(s));
  }

 private:
  struct Frame {
    enum Kind { Object, Property, List, Item } kind = Object;
    std::string label;      // component path, or property label
    std::string className;  // objects
    std::string rawName;    // properties
    std::string_view leftOut;
    std::size_t nextIndex = 0;  // lists
    std::optional<std::int64_t> width, clientWidth;
    std::vector<std::size_t> stringIndices;
    std::set<std::string> children;
  };

  // The label of the value or container starting now: the property's own,
  // or the next index of the list it stands in.
  std::string nextLabel() {
    Frame& top = m_frames.back();
    if (top.kind != Frame::List) return top.label;
    return top.label + "[" + std::to_string(top.nextIndex++) + "]";
  }
  Frame& object() {
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it)
      if (it->kind == Frame::Object) return *it;
    return m_frames.front();
  }
  Frame& owner() {
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it)
      if (it->kind == Frame::Object || it->kind == Frame::Item) return *it;
    return m_frames.front();
  }
  void settleWidths(Frame& f) {
    std::optional<std::int64_t> width = f.width ? f.width : f.clientWidth;
    for (std::size_t i : f.stringIndices)
      if (!strings[i].width) strings[i].width = width;
    f.stringIndices.clear();
  }

  std::vector<Frame> m_frames;
};

// A text as stored value bytes, tag included.
std::string encodedValue(const FormString& s, std::string_view text) {
  std::string stored;
  for (char c : text) {
    if (c == '\n')
      stored += s.lineBreak;
    else
      stored += c;
  }
  return storedFormString(utf::utf8ToUtf16(stored), s.tag == tagString || s.tag == tagLString);
}

}  // namespace

std::string normalizedBreaks(std::string& text) {
  std::string out, first;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    std::string brk(1, c);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      brk = "\r\n";
      ++i;
    }
    if (first.empty()) first = brk;
    out += '\n';
  }
  text = std::move(out);
  return first.empty() ? std::string("\r\n") : first;
}

std::string_view leftOutReason(std::string_view propertyName) {
  for (std::size_t b = 0; b <= propertyName.size();) {
    std::size_t e = std::min(propertyName.find('.', b), propertyName.size());
    if (std::string_view why = leftOutPart(propertyName.substr(b, e - b)); !why.empty()) return why;
    b = e + 1;
  }
  return {};
}

std::vector<FormString> readFormStrings(std::string_view stream) {
  TReadOnlyMemoryStream input(stream);
  TDiscardStream text;
  StringCollector collector;
  // A form holds at most a string in every two dozen bytes or so: room for
  // them at once spares regrowing a vector of large elements, and a form of
  // few strings gives back what it did not use.
  collector.strings.reserve(std::min<std::size_t>(stream.size() / 24, 4096));
  BinaryToText(input, text, &collector);
  if (collector.strings.size() < collector.strings.capacity() / 2) collector.strings.shrink_to_fit();
  return std::move(collector.strings);
}

std::string storedFormString(std::u16string_view text, bool eightBit) {
  TMemoryStream out;
  {
    TWriter w(out);
    std::optional<std::string> bytes;
    if (eightBit) bytes = cp950::encode(text);
    if (bytes && cp950::decode(*bytes) == text)
      w.writeString(*bytes);
    else
      w.writeWideString(std::u16string(text));
    w.flushBuffer();
  }
  return out.takeData();
}

std::string replaceFormStrings(std::string_view stream, std::vector<StringReplacement> replacements,
                               std::vector<ValueReplacement> values) {
  for (const StringReplacement& r : replacements)
    values.push_back({r.string->begin, r.string->end, encodedValue(*r.string, r.text)});
  std::sort(values.begin(), values.end(),
            [](const ValueReplacement& a, const ValueReplacement& b) { return a.begin < b.begin; });
  std::string out;
  out.reserve(stream.size() + stream.size() / 4);
  std::size_t at = 0;
  for (const ValueReplacement& r : values) {
    if (r.begin < 0 || r.end < r.begin) continue;
    const auto begin = static_cast<std::size_t>(r.begin);
    const auto end = static_cast<std::size_t>(r.end);
    if (begin < at || end > stream.size()) continue;  // not a value of this stream, or overlapping
    out.append(stream.substr(at, begin - at));
    out += r.stored;
    at = end;
  }
  out.append(stream.substr(at));
  return out;
}

}  // namespace vc
