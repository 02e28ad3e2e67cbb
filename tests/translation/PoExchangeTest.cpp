#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <regex>
#include <tuple>

#include "formstream/FormStrings.h"
#include "formstream/TFiler.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "translation/PoExchange.h"
#include "translation/PoText.h"

using namespace vc;
namespace fs = std::filesystem;

namespace {

std::string binary(const std::string& text) {
  TReadOnlyMemoryStream in(text);
  TMemoryStream out;
  TextToBinary(in, out);
  return out.takeData();
}

std::string cp950(const char* utf8) { return *cp950::fromUtf8(utf8); }

// Lines matter: each row below names the line its string stands on.
const std::string kForm = cp950(
    "object MainForm: TMainForm\r\n"               // 1
    "  ClientWidth = 300\r\n"
    "  Caption = '主視窗'\r\n"                      // 3
    "  Font.Name = 'Tahoma'\r\n"
    "  object Memo1: TMemo\r\n"
    "    Width = 120\r\n"
    "    Lines.Strings = (\r\n"
    "      'one'\r\n"                               // 8
    "      ''\r\n"
    "      'two'#13#10'lines')\r\n"                 // 10
    "    DataField = 'NAME'\r\n"
    "  end\r\n"
    "  object ListView1: TListView\r\n"
    "    Width = 200\r\n"
    "    Columns = <\r\n"
    "      item\r\n"
    "        Caption = 'Col'\r\n"                   // 17
    "        Width = 64\r\n"
    "      end>\r\n"
    "    object Button1: TButton\r\n"
    "      Hint = #1055#1088#1080'!'\r\n"           // 21
    "      Caption = 'A'#0'B'\r\n"
    "    end\r\n"
    "    object Button1: TButton\r\n"
    "      Caption = 'Twin'\r\n"                    // 25
    "    end\r\n"
    "  end\r\n"
    "  object TLabel\r\n"
    "    Caption = 'nameless'\r\n"                  // 29
    "  end\r\n"
    "end\r\n");

void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct TempDir {
  fs::path path;
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "po-test-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
};

}  // namespace

TEST(FormStrings, EveryTextForPeopleWithItsPlaceAndRoom) {
  struct Row {
    const char* component;
    const char* property;
    const char* text;
    std::size_t line;
    std::int64_t width;
  };
  const Row rows[] = {
      {"", "Caption", "主視窗", 3, 300},
      {"Memo1", "Lines[0]", "one", 8, 120},
      {"Memo1", "Lines[2]", "two\nlines", 10, 120},
      {"ListView1", "Columns[0].Caption", "Col", 17, 64},
      {"ListView1.Button1", "Hint", "При!", 21, -1},
      {"ListView1.Button1~2", "Caption", "Twin", 25, -1},
      {":TLabel", "Caption", "nameless", 29, -1},
  };
  std::vector<FormString> strings = readFormStrings(binary(kForm));
  ASSERT_EQ(strings.size(), std::size(rows));
  for (std::size_t i = 0; i < strings.size(); ++i) {
    SCOPED_TRACE(rows[i].text);
    EXPECT_EQ(strings[i].component, rows[i].component);
    EXPECT_EQ(strings[i].property, rows[i].property);
    EXPECT_EQ(strings[i].text, rows[i].text);
    EXPECT_EQ(strings[i].line, rows[i].line);
    EXPECT_EQ(strings[i].width.value_or(-1), rows[i].width);
  }
  EXPECT_FALSE(leftOutReason("TitleFont.Name").empty());
  EXPECT_FALSE(leftOutReason("SQL.Strings").empty());
  EXPECT_TRUE(leftOutReason("Items.Strings").empty());
}

TEST(FormStrings, TranslationsKeepTheirKindWhenItHoldsThem) {
  struct Row {
    std::size_t index;
    const char* translation;
    unsigned char tag;
  };
  const Row rows[] = {
      {0, "新視窗", tagString},              // CP950 holds it: stays 8-bit
      {1, "Один 😀", tagWString},            // it does not: wide, never "?"
      {2, "二\n行", tagString},
      {4, "Hi", tagWString},                 // wide stays wide
  };
  const std::string stream = binary(kForm);
  std::vector<FormString> strings = readFormStrings(stream);
  std::vector<StringReplacement> replacements;
  for (const Row& r : rows) replacements.push_back({&strings[r.index], r.translation});
  const std::string translated = replaceFormStrings(stream, replacements);
  std::vector<FormString> back = readFormStrings(translated);
  ASSERT_EQ(back.size(), strings.size());
  for (const Row& r : rows) {
    EXPECT_EQ(back[r.index].text, r.translation);
    EXPECT_EQ(back[r.index].tag, r.tag);
  }
  EXPECT_EQ(translated.substr(translated.size() - 20), stream.substr(stream.size() - 20));
  EXPECT_NE(translated.find("\xA4\x47\r\n\xA6\xE6"), std::string::npos);  // "\n" stored as CR LF
}

testing::AssertionResult sameEntries(const std::vector<PoEntry>& a, const std::vector<PoEntry>& b) {
  if (a.size() != b.size()) return testing::AssertionFailure() << a.size() << " entries against " << b.size();
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tie(a[i].context, a[i].hasContext, a[i].msgid, a[i].msgstr, a[i].fuzzy, a[i].line) !=
        std::tie(b[i].context, b[i].hasContext, b[i].msgid, b[i].msgstr, b[i].fuzzy, b[i].line))
      return testing::AssertionFailure() << "entry " << i << " (" << a[i].context << ") differs";
  return testing::AssertionSuccess();
}

// Every module and form file of the corpus: the template, the untouched
// template applied (forms exactly as extracted), and every entry translated
// (half into Big5 text, half into Cyrillic and emoji) read back exactly.
TEST(PoExchange, CorpusRoundTrips) {
  const fs::path corpus = VC_CORPUS_DIR;
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus";
  TempDir tmp;
  std::size_t files = 0, strings = 0;
  for (const char* dir : {"modules", "binary", "text"}) {
    for (const auto& entry : fs::directory_iterator(corpus / dir)) {
      const std::string path = entry.path().string();
      SCOPED_TRACE(path);
      ExchangeSource source = openExchangeSource(path);
      std::vector<PoEntry> entries = templateEntries(source);
      const fs::path pot = tmp.path / (std::to_string(files) + ".pot");
      writeFile(pot, poTemplateText("corpus", entries));
      EXPECT_EQ(readPoFile(pot.string()).size(), entries.size());

      ApplyResult untouched = applyTranslation(source, readPoFile(pot.string()), "t.pot");
      for (const std::string& p : untouched.problems)
        EXPECT_TRUE(p.find("missing") == std::string::npos && p.find("obsolete") == std::string::npos) << p;
      for (const TranslatedForm& t : untouched.forms) {
        ASSERT_FALSE(t.changed);
        EXPECT_EQ(t.stream, t.form->stream);
        if (t.form->kind != ExchangeForm::Kind::ModuleForm) {
          EXPECT_EQ(translatedFormFile(t), readFile(path));
        }
      }

      for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].msgstr = (i % 2 ? "Привет 😀 " : "譯") + entries[i].msgid;
      const fs::path po = tmp.path / "t.po";
      writeFile(po, poTemplateText("corpus", entries));
      // What this system writes is read in one pass, exactly as libgettextpo reads it.
      ASSERT_TRUE(quickReadPo(readFile(po.string())));
      EXPECT_TRUE(sameEntries(readPoFile(po.string()), readPoFileByLibrary(po.string())));
      ApplyResult translated = applyTranslation(source, readPoFile(po.string()), "t.po");
      EXPECT_EQ(translated.applied, entries.size());
      std::size_t next = 0;
      for (const TranslatedForm& t : translated.forms) {
        ExchangeSource back = formFileExchangeSource(t.form->fileName, translatedFormFile(t));
        ASSERT_EQ(back.forms.size(), 1u);
        ASSERT_EQ(back.forms[0].strings.size(), t.form->strings.size());
        for (std::size_t k = 0; k < t.form->strings.size(); ++k, ++next) {
          const FormString& s = back.forms[0].strings[k];
          const unsigned char was = t.form->strings[k].tag;
          EXPECT_EQ(s.text, entries[next].msgstr);
          const bool eightBit = (was == tagString || was == tagLString) && next % 2 == 0 &&
                                cp950::fromUtf8(entries[next].msgstr).has_value();
          EXPECT_EQ(s.tag == tagString || s.tag == tagLString, eightBit);
        }
      }
      // The resource strings follow the form strings, each translated.
      ASSERT_EQ(translated.resourceStrings.size(), entries.size() - next);
      for (const modres::ResourceString& r : translated.resourceStrings) {
        const ExchangeResourceString& was = source.resourceStrings[next - (entries.size() - source.resourceStrings.size())];
        EXPECT_EQ(r.id, was.id);
        EXPECT_EQ(r.language, was.language);
        std::string text = entries[next].msgstr, stored;
        for (char c : text) stored += c == '\n' ? was.lineBreak : std::string(1, c);
        EXPECT_EQ(r.text, utf::utf8ToUtf16(stored));
        ++next;
      }
      EXPECT_EQ(next, entries.size());
      ++files;
      strings += entries.size();
    }
  }
  // Every template through msgfmt's checks, several at a time; the names of
  // those it refuses are printed.
  if (std::system("msgfmt --version >/dev/null 2>&1") == 0) {
    const std::string cmd = "cd " + tmp.path.string() +
                            " && ls *.pot | xargs -P4 -I{} sh -c 'msgfmt -c -o /dev/null {} 2>/dev/null || echo {}'";
    std::string refused;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[256];
      while (fgets(buf, sizeof buf, p)) refused += buf;
      EXPECT_EQ(pclose(p), 0);
    }
    EXPECT_EQ(refused, "");
  }
  RecordProperty("files", static_cast<int>(files));
  RecordProperty("strings", static_cast<int>(strings));
}

// The resource strings of the test module (two languages) as template
// entries: contexts, Format flags, line breaks; and back.
// A text .dfm in UTF-8 (with its byte-order mark) and LF line ends: its
// strings read as text, the translated file written back the same way.
TEST(PoExchange, TextFormFileKeepsItsEncodingAndLineEnds) {
  const std::string file = "\xEF\xBB\xBFobject F: TForm\n  Caption = '\xE6\x9C\x83\xE8\xAD\xB0'\nend\n";  // 會議
  ExchangeSource source = formFileExchangeSource("F.dfm", file);
  std::vector<PoEntry> entries = templateEntries(source);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].msgid, "\xE6\x9C\x83\xE8\xAD\xB0");
  entries[0].msgstr = "\xE9\x96\x8B\xE6\x9C\x83";  // 開會
  entries[0].hasContext = true;
  ApplyResult result = applyTranslation(source, entries, "t.po");
  ASSERT_EQ(result.forms.size(), 1u);
  for (const std::string& p : result.problems) ADD_FAILURE() << p;
  EXPECT_EQ(translatedFormFile(result.forms[0]),
            "\xEF\xBB\xBFobject F: TForm\n  Caption = '\xE9\x96\x8B\xE6\x9C\x83'\nend\n");
}

TEST(PoExchange, ResourceStringsOfBothLanguages) {
  ExchangeSource source = openExchangeSource(std::string(VC_FIXTURES) + "/forms32.exe");
  EXPECT_TRUE(source.resourceStringErrors.empty());
  std::vector<PoEntry> all = templateEntries(source);
  std::vector<PoEntry> entries = resourceStringEntries(all);
  struct Row {
    const char* context;
    const char* msgid;
    bool format;
  };
  const Row rows[] = {
      {"STRINGTABLE.1", "字串一", false},
      {"STRINGTABLE.2", "Second string", false},
      {"STRINGTABLE.3", "第一行\n第二行", false},
      {"STRINGTABLE.17", "'%s' 不是有效的日期", true},
      {"STRINGTABLE.65535", "最後一個字串", false},
      {"STRINGTABLE@1031.1", "Erste Zeichenkette", false},
      {"STRINGTABLE@1031.2", "Zweite", false},
      {"STRINGTABLE@1031.16", "Wert %0:s ist ungültig: %-10.2f%%", true},
      {"STRINGTABLE@1031.40", "Tabulator\there, Backslash \\ und Zeile\nzwei", false},
      {"STRINGTABLE@1031.4000", "Außerhalb 𠀀 und 😀", false},
      {"STRINGTABLE@1031.65233", "OK", false},
  };
  ASSERT_EQ(entries.size(), std::size(rows));
  // After the form strings.
  EXPECT_EQ(all.size() - entries.size(), std::size_t(std::find_if(all.begin(), all.end(), [](const PoEntry& e) {
                                                        return e.context.starts_with("STRINGTABLE");
                                                      }) - all.begin()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(rows[i].context);
    EXPECT_EQ(entries[i].context, rows[i].context);
    EXPECT_EQ(entries[i].msgid, rows[i].msgid);
    EXPECT_EQ(entries[i].pascalFormat, rows[i].format);
  }
  const std::string pot = poTemplateText("forms32.exe", entries);
  EXPECT_NE(pot.find("#, object-pascal-format\nmsgctxt \"STRINGTABLE.17\""), std::string::npos);

  // Breaks come back as the string had them: CR LF in 3, LF in 1031.40;
  // a break in a string that had none is CR LF.
  for (PoEntry& e : entries) {
    e.hasContext = true;
    e.msgstr = e.msgid == "OK" ? "確定" : e.msgid == "Zweite" ? "二\n行" : "譯 " + e.msgid;
  }
  entries[0].fuzzy = true;  // fuzzy: left as it is
  ApplyResult result = applyTranslation(source, entries, "t.po");
  std::map<std::pair<int, int>, std::u16string> got;
  for (const modres::ResourceString& r : result.resourceStrings) got[{r.id, r.language}] = r.text;
  EXPECT_EQ(got.size(), entries.size() - 1);
  EXPECT_FALSE(got.count({1, 0x0404}));
  EXPECT_EQ(got[std::make_pair(3, 0x0404)], u"譯 第一行\r\n第二行");
  EXPECT_EQ(got[std::make_pair(40, 0x0407)], u"譯 Tabulator\there, Backslash \\ und Zeile\nzwei");
  EXPECT_EQ(got[std::make_pair(2, 0x0407)], u"二\r\n行");
  EXPECT_EQ(got[std::make_pair(65233, 0x0407)], u"確定");
  // Only the form strings have no entry here.
  for (const std::string& p : result.problems) EXPECT_EQ(p.find("STRINGTABLE"), std::string::npos) << p;

  // A translation made before resource strings were exported: one line.
  ApplyResult old = applyTranslation(source, {}, "old.po");
  EXPECT_EQ(std::count_if(old.problems.begin(), old.problems.end(),
                          [](const std::string& p) { return p.find("no resource strings (the module has 11)") != std::string::npos; }),
            1);
  EXPECT_TRUE(old.resourceStrings.empty());
}

TEST(PoExchange, AModuleWithStringTablesAndNoFormsIsExported) {
  ExchangeSource source = openExchangeSource(std::string(VC_FIXTURES) + "/noforms64.exe");
  EXPECT_TRUE(source.listing);
  EXPECT_TRUE(source.forms.empty());
  ASSERT_EQ(templateEntries(source).size(), 1u);
  EXPECT_EQ(templateEntries(source)[0].context, "STRINGTABLE.1");
  // No forms and no strings is still refused.
  EXPECT_FALSE(openExchangeSource(std::string(VC_FIXTURES) + "/nores32.exe").listing);
}

TEST(PoExchange, AHostileBlockIsReportedAndTheRestExported) {
  ExchangeSource source = openExchangeSource(std::string(VC_FIXTURES) + "/badstrings32.exe");
  ASSERT_EQ(source.resourceStringErrors.size(), 1u);
  EXPECT_NE(source.resourceStringErrors[0].find("block 3"), std::string::npos);
  ASSERT_EQ(source.forms.size(), 1u);
  EXPECT_FALSE(source.forms[0].strings.empty());
  EXPECT_EQ(resourceStringEntries(templateEntries(source)).size(), 4u);
}

TEST(PoExchange, PascalFormatDirectives) {
  for (const char* yes : {"%s", "'%s' is not a valid date", "%d files", "%0:s", "%-10.2f", "%%", "100%%", "%*d",
                          "%.*f", "%x", "%1:-5s"})
    EXPECT_TRUE(hasPascalFormatDirective(yes)) << yes;
  for (const char* no : {"", "100% sure", "% d", "50 %", "%q", "%.f", "&Yes", "%"})
    EXPECT_FALSE(hasPascalFormatDirective(no)) << no;
}

// Files as editors give them back: the plain ones are read in one pass, the
// rest by libgettextpo; either way the entries are the library's.
TEST(PoText, QuickReadingIsTheLibrarysOrNone) {
  const std::string head = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  const struct {
    const char* name;
    std::string body;
    bool quick;
  } rows[] = {
      {"plain", "# translator\n#. x\n#: F:1\n#, fuzzy, c-format\nmsgctxt \"a\"\nmsgid \"b\"\nmsgstr \"c\"\n", true},
      {"lines and escapes", "msgid \"\"\n\"x\\n\"\n  \"y\\t\\\"\\\\\\001\"\nmsgstr \"z\"\nmsgid \"n\"\nmsgstr \"\"\n", true},
      {"context given empty", "msgctxt \"\"\nmsgid \"a\"\nmsgstr \"\"\n", true},
      {"obsolete", "msgid \"a\"\nmsgstr \"b\"\n\n#~ msgid \"c\"\n#~ msgstr \"d\"\n", false},
      {"plural", "msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\n", false},
      {"crlf", "msgid \"a\"\r\nmsgstr \"b\"\r\n", false},
      {"hex escape", "msgid \"\\x41\"\nmsgstr \"b\"\n", false},
  };
  TempDir tmp;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = head + row.body;
    EXPECT_EQ(quickReadPo(text).has_value(), row.quick);
    writeFile(tmp.path / "t.po", text);
    EXPECT_TRUE(sameEntries(readPoFile((tmp.path / "t.po").string()), readPoFileByLibrary((tmp.path / "t.po").string())));
  }
  // What the library refuses is refused with its words.
  for (const std::string bad : {"msgid \"a\"\nmsgstr \"b\"\nmsgid \"a\"\nmsgstr \"c\"\n", "msgid \"a\nmsgstr \"b\"\n",
                                "msgid \"a\"\n", "msgid \"\xE9\x97\"\nmsgstr \"b\"\n"}) {
    EXPECT_FALSE(quickReadPo(head + bad)) << bad;
    writeFile(tmp.path / "bad.po", head + bad);
    EXPECT_THROW(readPoFile((tmp.path / "bad.po").string()), EPoFileError) << bad;
  }
}
