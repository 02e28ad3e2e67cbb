#include "translation/SourceCodePage.h"

#include <unistd.h>

#include <filesystem>
#include <set>
#include <fstream>
#include <sstream>

#include "formstream/BinaryToText.h"
#include "formstream/Stream.h"
#include "formstream/TFiler.h"
#include "platform/CodePages.h"
#include "platform/Exception.h"
#include "platform/Utf.h"
#include "translation/FontNamesBuiltIn.h"

namespace vc {

namespace {

struct CharsetRow {
  const char* name;
  int number;
  int codePage;  // 0: the module's ANSI code page
};

constexpr CharsetRow kCharsets[] = {
    {"ANSI_CHARSET", 0, 0},          {"DEFAULT_CHARSET", 1, 0},        {"SYMBOL_CHARSET", 2, 0},
    {"MAC_CHARSET", 77, 0},          {"SHIFTJIS_CHARSET", 128, 932},   {"HANGEUL_CHARSET", 129, 949},
    {"HANGUL_CHARSET", 129, 949},    {"JOHAB_CHARSET", 130, 1361},     {"GB2312_CHARSET", 134, 936},
    {"CHINESEBIG5_CHARSET", 136, 950}, {"GREEK_CHARSET", 161, 1253},   {"TURKISH_CHARSET", 162, 1254},
    {"VIETNAMESE_CHARSET", 163, 1258}, {"HEBREW_CHARSET", 177, 1255},  {"ARABIC_CHARSET", 178, 1256},
    {"BALTIC_CHARSET", 186, 1257},   {"RUSSIAN_CHARSET", 204, 1251},   {"THAI_CHARSET", 222, 874},
    {"EASTEUROPE_CHARSET", 238, 1250}, {"OEM_CHARSET", 255, 0},
};

char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowered(a[i]) != lowered(b[i])) return false;
  return true;
}

bool startsWithWord(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && sameWord(s.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The fonts of a binary stream as BinaryToText walks it: each object's own
// font facts are complete when its properties end, which is when its
// strings (all among its properties) are given their code page.
class FontWalker : public RenderListener {
 public:
  FontWalker(std::string_view stream, const SourceCodePageOptions& options, FormFonts& out)
      : m_stream(stream), m_options(options), m_out(out) {}

  void beginObject(std::string_view, std::string_view) override {
    m_objects.emplace_back();
    m_kinds.push_back(Kind::Object);
  }
  void endProperties() override { settle(m_objects.back()); }
  void endObject() override {
    settle(m_objects.back());
    m_objects.pop_back();
    m_kinds.pop_back();
  }
  void beginProperty(std::string_view name) override {
    m_objectLevel.push_back(m_kinds.back() == Kind::Object);
    m_names.emplace_back(name);
    m_kinds.push_back(Kind::Property);
  }
  void endProperty() override {
    m_objectLevel.pop_back();
    m_names.pop_back();
    m_kinds.pop_back();
  }
  void beginList() override { m_kinds.push_back(Kind::Nested); }
  void endList() override { m_kinds.pop_back(); }
  void beginItem() override { m_kinds.push_back(Kind::Nested); }
  void endItem() override { m_kinds.pop_back(); }

  void value(const RenderedValue& v) override {
    if (m_objects.empty()) return;
    Object& o = m_objects.back();
    const unsigned char tag = v.tag & 0x7F;
    const bool string8 = tag == tagString || tag == tagLString;
    const bool wide = tag == tagWString || tag == tagUtf8String;
    if (string8 || wide) o.pending.push_back(v.begin);
    if (m_kinds.back() != Kind::Property || !m_objectLevel.back()) return;
    const std::string& name = m_names.back();
    if (startsWithWord(name, "Font.")) o.font.anyFontProperty = true;
    if (sameWord(name, "ParentFont") && (tag == tagFalse || tag == tagTrue)) {
      o.font.parentFont = tag == tagTrue;
      return;
    }
    // Font.Charset and Font.Name, and those of other fonts (TitleFont.Charset).
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < 4 || !sameWord(std::string_view(name).substr(dot - 4, 4), "Font")) return;
    const std::string_view field = std::string_view(name).substr(dot + 1);
    const bool own = dot == 4;
    FontFacts& f = own ? o.own : o.others[name.substr(0, dot)];
    if (sameWord(field, "Charset")) {
      std::optional<int> charset;
      bool ident = false;
      if (tag == tagInt8 || tag == tagInt16 || tag == tagInt32 || tag == tagInt64) {
        charset = static_cast<int>(v.integer & 0xFF);
      } else if (tag == tagIdent && v.begin >= 0 && static_cast<std::size_t>(v.begin) + 2 <= m_stream.size()) {
        const auto at = static_cast<std::size_t>(v.begin) + 2;
        const auto length = static_cast<unsigned char>(m_stream[at - 1]);
        if (at + length <= m_stream.size()) charset = charsetNumber(m_stream.substr(at, length));
        ident = true;
      }
      if (!charset) return;
      f.charset = charset;
      f.stored.charset = *charset;
      f.stored.charsetBegin = v.begin;
      f.stored.charsetEnd = v.end;
      f.stored.charsetIsIdent = ident;
      if (own) o.font.charset = charset;
    } else if (sameWord(field, "Name") && (string8 || wide)) {
      f.stored.nameBegin = v.begin;
      f.stored.nameEnd = v.end;
      f.stored.nameIsEightBit = string8;
      f.nameBytes = v.bytes;
      if (wide) f.stored.name = v.wide;
    }
  }

 private:
  enum class Kind { Object, Property, Nested };
  struct FontFacts {
    FormFonts::Font stored;
    std::optional<int> charset;
    std::string nameBytes;
  };
  struct Object {
    ComponentFont font;
    FontFacts own;
    std::map<std::string, FontFacts> others;  // by property prefix ("TitleFont")
    std::vector<std::int64_t> pending;
    bool settled = false;
    int charset = kDefaultCharset;
    std::size_t governor = 0;
    std::size_t holder = 0;
  };

  std::size_t addFont(FontFacts& f, int charset) {
    FormFonts::Font font = f.stored;
    font.charset = charset;
    font.codePage = charsetCodePage(charset, m_options);
    if (font.nameIsEightBit && font.nameEnd) font.name = codepage::decode(f.nameBytes, font.codePage);
    m_out.fonts.push_back(std::move(font));
    return m_out.fonts.size() - 1;
  }

  void settle(Object& o) {
    if (!o.settled) {
      const bool isForm = &o == &m_objects.front();
      const Object* parent = isForm ? nullptr : &m_objects[m_objects.size() - 2];
      o.charset = charsetInForce(o.font, isForm, parent ? parent->charset : kDefaultCharset);
      o.governor = ownsFont(o.font, isForm) || !parent ? addFont(o.own, o.charset) : parent->governor;
      o.holder = m_out.holderFonts.size();
      m_out.holderFonts.emplace_back();
      for (auto& [prefix, f] : o.others)
        m_out.holderFonts.back().push_back(addFont(f, f.charset.value_or(o.charset)));
      o.settled = true;
    }
    const int codePage = m_out.fonts[o.governor].codePage;
    for (std::int64_t begin : o.pending) m_out.strings[begin] = {codePage, o.governor, o.holder};
    o.pending.clear();
  }

  std::string_view m_stream;
  const SourceCodePageOptions& m_options;
  FormFonts& m_out;
  std::vector<Object> m_objects;
  std::vector<Kind> m_kinds;
  std::vector<bool> m_objectLevel;
  std::vector<std::string> m_names;
};

// The first word of a trimmed line, and what follows it.
std::string_view firstWord(std::string_view line) {
  std::size_t e = 0;
  while (e < line.size() && static_cast<unsigned char>(line[e]) > ' ') ++e;
  return line.substr(0, e);
}

std::string lowerAscii(std::u16string_view s, std::u16string& out) {
  out.assign(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return {};
}

}  // namespace

const std::vector<int>& sourceCodePages() {
  static const std::vector<int> pages{950, 936, 932, 949, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874};
  return pages;
}

std::optional<int> parseSourceCodePage(std::string_view text) {
  text = trimmed(text);
  if (startsWithWord(text, "cp")) text.remove_prefix(2);
  if (text.empty() || text.size() > 5) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  for (int p : sourceCodePages())
    if (p == n) return n;
  return std::nullopt;
}

std::optional<int> charsetNumber(std::string_view value) {
  value = trimmed(value);
  if (value.empty()) return std::nullopt;
  if (value.front() >= '0' && value.front() <= '9') {
    if (value.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : value) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    return n & 0xFF;
  }
  for (const CharsetRow& r : kCharsets)
    if (sameWord(value, r.name)) return r.number;
  return std::nullopt;
}

std::string_view charsetName(int charset) {
  for (const CharsetRow& r : kCharsets)
    if (r.number == charset) return r.name;
  return {};
}

int charsetCodePage(int charset, const SourceCodePageOptions& options) {
  for (const CharsetRow& r : kCharsets)
    if (r.number == charset) return r.codePage ? r.codePage : options.ansi();
  return options.ansi();
}

bool charsetNeedsBig5(int charset) { return charset != 0 && charset != kDefaultCharset && charset != kChineseBig5Charset; }

namespace {

int majorityCodePage(const std::map<int, std::size_t>& votes) {
  std::size_t all = 0;
  for (const auto& [charset, n] : votes) all += n;
  const SourceCodePageOptions none{950};
  for (const auto& [charset, n] : votes)
    if (2 * n > all && charsetCodePage(charset, none) != 950) return charsetCodePage(charset, none);
  return 950;
}

}  // namespace

int guessedAnsiCodePage(const std::vector<std::string_view>& streams) {
  std::map<int, std::size_t> votes;
  for (std::string_view stream : streams) {
    try {
      for (const FormFonts::Font& f : readFormFonts(stream, SourceCodePageOptions{950}).fonts)
        if (f.charsetEnd) ++votes[f.charset];
    } catch (const Exception&) {
    }
  }
  return majorityCodePage(votes);
}

int guessedAnsiCodePage(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt) {
  std::map<int, std::size_t> votes;
  for (std::size_t i = 0; i < lineCount; ++i) {
    const std::string_view line = trimmed(lineAt(i));
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = trimmed(line.substr(0, eq));
    if (name.size() < 12 || !sameWord(name.substr(name.size() - 12), "Font.Charset")) continue;
    if (std::optional<int> c = charsetNumber(line.substr(eq + 1))) ++votes[*c];
  }
  return majorityCodePage(votes);
}

SourceCodePageOptions resolvedCodePages(const SourceCodePageOptions& options,
                                        const std::vector<std::string_view>& streams) {
  if (options.ansiCodePage) return options;
  return SourceCodePageOptions{guessedAnsiCodePage(streams)};
}

bool ownsFont(const ComponentFont& own, bool isForm) {
  if (isForm) return true;
  return own.parentFont ? !*own.parentFont : own.anyFontProperty;
}

int charsetInForce(const ComponentFont& own, bool isForm, int inherited) {
  return ownsFont(own, isForm) && own.charset ? *own.charset : inherited;
}

const FormFonts::StringFont& FormFonts::at(std::int64_t begin) const {
  static const StringFont none;
  auto it = strings.find(begin);
  return it == strings.end() ? none : it->second;
}

FormFonts readFormFonts(std::string_view stream, const SourceCodePageOptions& options) {
  FormFonts fonts;
  TReadOnlyMemoryStream input(stream);
  TDiscardStream text;
  FontWalker walker(stream, options, fonts);
  BinaryToText(input, text, &walker);
  return fonts;
}

FormTextFonts readFormTextFonts(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                                const SourceCodePageOptions& options) {
  FormTextFonts out;
  out.codePages.assign(lineCount, options.ansi());
  out.governor.assign(lineCount, FormTextFonts::kNone);
  struct Object {
    ComponentFont font;
    FormTextFonts::Font own;
    std::vector<std::size_t> pending;
    bool settled = false;
    int charset = kDefaultCharset;
    std::size_t governor = FormTextFonts::kNone;
    std::size_t items = 0;  // collection items open inside it
  };
  std::vector<Object> objects;
  auto settle = [&](Object& o) {
    if (!o.settled) {
      const bool isForm = &o == &objects.front();
      const Object* parent = isForm ? nullptr : &objects[objects.size() - 2];
      o.charset = charsetInForce(o.font, isForm, parent ? parent->charset : kDefaultCharset);
      if (ownsFont(o.font, isForm) || !parent) {
        o.own.charset = o.charset;
        o.own.codePage = charsetCodePage(o.charset, options);
        if (o.own.nameLine != FormTextFonts::kNone) {
          const std::string_view line = lineAt(o.own.nameLine);
          const std::size_t open = line.find('\''), close = line.rfind('\'');
          if (open != std::string_view::npos && close > open)
            o.own.name = codepage::decode(line.substr(open + 1, close - open - 1), o.own.codePage);
        }
        o.governor = out.fonts.size();
        out.fonts.push_back(o.own);
      } else {
        o.governor = parent->governor;
      }
      o.settled = true;
    }
    for (std::size_t i : o.pending) {
      out.codePages[i] = charsetCodePage(o.charset, options);
      out.governor[i] = o.governor;
    }
    o.pending.clear();
  };
  for (std::size_t i = 0; i < lineCount; ++i) {
    const std::string_view line = trimmed(lineAt(i));
    const std::string_view word = firstWord(line);
    if (sameWord(word, "object") || sameWord(word, "inherited") || sameWord(word, "inline")) {
      if (!objects.empty()) settle(objects.back());
      objects.emplace_back();
      objects.back().pending.push_back(i);
      continue;
    }
    if (objects.empty()) continue;
    Object& o = objects.back();
    o.pending.push_back(i);
    if (line.size() == word.size() && sameWord(word, "item")) {
      ++o.items;
    } else if (line.size() == word.size() && sameWord(word, "end")) {
      if (o.items) {
        --o.items;
      } else {
        settle(o);
        objects.pop_back();
      }
    } else if (o.items == 0 && !o.settled) {
      const std::size_t eq = line.find('=');
      if (eq == std::string_view::npos) continue;
      const std::string_view name = trimmed(line.substr(0, eq)), value = trimmed(line.substr(eq + 1));
      if (startsWithWord(name, "Font.")) o.font.anyFontProperty = true;
      if (sameWord(name, "Font.Charset")) {
        if (std::optional<int> c = charsetNumber(value)) {
          o.font.charset = c;
          o.own.charsetLine = i;
          o.own.charsetProperty = std::string(name);
        }
      } else if (sameWord(name, "Font.Name")) {
        // A name on one line, quoted as a whole (font names are short).
        if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
          o.own.nameLine = i;
          o.own.nameProperty = std::string(name);
        }
      } else if (sameWord(name, "ParentFont")) {
        if (sameWord(value, "False")) o.font.parentFont = false;
        if (sameWord(value, "True")) o.font.parentFont = true;
      }
    }
  }
  while (!objects.empty()) {
    settle(objects.back());
    objects.pop_back();
  }
  return out;
}

std::vector<int> lineCodePages(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                               const SourceCodePageOptions& options) {
  return readFormTextFonts(lineCount, lineAt, options).codePages;
}

std::vector<WriteBackRow> traditionalFontRows(const FormTextFonts& fonts, const std::vector<std::size_t>& translatedLines,
                                              const FontNameMap& fontNames) {
  std::set<std::size_t> governors;
  for (std::size_t line : translatedLines)
    if (line < fonts.codePages.size() && fonts.codePages[line] != 950 && fonts.governor[line] != FormTextFonts::kNone)
      governors.insert(fonts.governor[line]);
  std::vector<WriteBackRow> rows;
  for (std::size_t g : governors) {
    const FormTextFonts::Font& f = fonts.fonts[g];
    if (f.charsetLine != FormTextFonts::kNone && charsetNeedsBig5(f.charset)) {
      WriteBackRow row{f.charsetLine + 1, f.charsetProperty, std::string(charsetName(kChineseBig5Charset))};
      rows.push_back(std::move(row));
    }
    if (f.nameLine != FormTextFonts::kNone)
      if (std::optional<std::u16string> name = fontNames.map(f.name)) {
        WriteBackRow row{f.nameLine + 1, f.nameProperty, std::nullopt};
        row.modifiedText = *name;
        row.codePage = f.codePage;
        rows.push_back(std::move(row));
      }
  }
  return rows;
}

std::vector<int> lineCodePages(const std::vector<std::string>& lines, const SourceCodePageOptions& options) {
  return lineCodePages(lines.size(), [&](std::size_t i) { return std::string_view(lines[i]); }, options);
}

FontNameMap FontNameMap::parse(std::string_view utf8) {
  FontNameMap map;
  std::u16string key;
  for (std::size_t at = 0; at < utf8.size();) {
    std::size_t end = utf8.find('\n', at);
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view line = utf8.substr(at, end - at);
    at = end + 1;
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    if (line.empty() || line.front() == '#' || tab == std::string_view::npos) continue;
    const std::string_view from = trimmed(line.substr(0, tab)), to = trimmed(line.substr(tab + 1));
    if (from.empty() || to.empty()) continue;
    lowerAscii(utf::utf8ToUtf16(from), key);
    map.m_names[key] = utf::utf8ToUtf16(to);
  }
  return map;
}

std::vector<std::string> fontNameMapPaths() {
  std::vector<std::string> paths;
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const std::filesystem::path dir = program.parent_path();
    paths.push_back((dir / "res" / "fontnames.tsv").string());
    paths.push_back((dir / VC_DATA_FROM_BIN / "res" / "fontnames.tsv").lexically_normal().string());
  }
  return paths;
}

const FontNameMap& FontNameMap::shipped() {
  static const FontNameMap map = [] {
    for (const std::string& path : fontNameMapPaths()) {
      std::ifstream in(path, std::ios::binary);
      if (!in) continue;
      std::ostringstream bytes;
      bytes << in.rdbuf();
      return parse(bytes.str());
    }
    return parse(kBuiltInFontNames);
  }();
  return map;
}

std::optional<std::u16string> FontNameMap::map(std::u16string_view name) const {
  std::u16string key;
  lowerAscii(name, key);
  while (!key.empty() && key.back() == u' ') key.pop_back();
  auto it = m_names.find(key);
  if (it == m_names.end()) return std::nullopt;
  return it->second;
}

}  // namespace vc
