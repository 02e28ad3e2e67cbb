// String tables (RT_STRING): read from the test modules in both their
// languages, blocks decoded and encoded, hostile blocks refused one by one,
// and translated blocks written into a copy with every other resource kept.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "modres/Module.h"
#include "modres/ModuleWriter.h"
#include "modres/StringTable.h"

namespace vc::modres {

void PrintTo(const ResourceString& s, std::ostream* os) { *os << s.id << "/" << s.language << "/" << s.text.size(); }

namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(VC_SOURCE_DIR) + "/tests/modres/fixtures/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::uint16_t kZh = 0x0404, kDe = 0x0407;

// forms.rc: the strings of both languages, by id then language.
const std::vector<ResourceString> kStrings = {
    {1, kZh, u"字串一"},
    {1, kDe, u"Erste Zeichenkette"},
    {2, kZh, u"Second string"},
    {2, kDe, u"Zweite"},
    {3, kZh, u"第一行\r\n第二行"},
    {16, kDe, u"Wert %0:s ist ungültig: %-10.2f%%"},
    {17, kZh, u"'%s' 不是有效的日期"},
    {40, kDe, u"Tabulator\there, Backslash \\ und Zeile\nzwei"},
    {4000, kDe, u"Außerhalb 𠀀 und 😀"},
    {65233, kDe, u"OK"},
    {65535, kZh, u"最後一個字串"},
};

// Every leaf of the directory: (type, name, language) -> (bytes, code page).
std::map<std::tuple<std::uint32_t, std::u16string, std::uint32_t>, std::pair<std::string, std::uint32_t>> leaves(
    const std::string& image) {
  MemoryByteSource source(image);
  PeImage pe = PeImage::parse(source);
  std::string reason;
  std::optional<ResourceNode> root = readResourceTree(source, pe, reason);
  EXPECT_TRUE(root) << reason;
  std::map<std::tuple<std::uint32_t, std::u16string, std::uint32_t>, std::pair<std::string, std::uint32_t>> out;
  if (!root) return out;
  for (const ResourceNode& t : root->children)
    for (const ResourceNode& n : t.children)
      for (const ResourceNode& l : n.children) {
        std::string bytes(l.data.size, '\0');
        source.readAt(l.data.offset, bytes.data(), bytes.size());
        out[{t.id, n.numeric ? u"#" + std::u16string(1, char16_t(n.id)) : n.name, l.id}] = {bytes, l.codePage};
      }
  return out;
}

class TwoLanguages : public testing::TestWithParam<const char*> {};

TEST_P(TwoLanguages, ReadsEveryStringOfBothLanguagesExactly) {
  auto module = Module::openBytes(fixture(GetParam()));
  const StringTables& tables = module->stringTables();
  EXPECT_FALSE(tables.directoryError);
  EXPECT_TRUE(tables.errors.empty());
  EXPECT_EQ(tables.strings(), kStrings);
  EXPECT_EQ(tables.count(), kStrings.size());
  EXPECT_EQ(tables.firstLanguage(), kZh);
  ASSERT_EQ(tables.blocks.size(), 8u);
  EXPECT_EQ(tables.blocks.front().block, 1);
  EXPECT_EQ(tables.blocks.back().block, 4096);
  // The forms are read as before.
  std::vector<std::string> names;
  EXPECT_TRUE(module->listFormNames(names));
  EXPECT_EQ(names.size(), 10u);
}

TEST_P(TwoLanguages, EveryBlockEncodesToItsOwnBytes) {
  const std::string image = fixture(GetParam());
  auto module = Module::openBytes(image);
  std::size_t checked = 0;
  for (const auto& [key, value] : leaves(image)) {
    if (std::get<0>(key) != kRtString) continue;
    std::optional<StringBlockText> text = decodeStringBlock(value.first, 1, 0);
    ASSERT_TRUE(text);
    EXPECT_EQ(encodeStringBlock(*text), value.first);
    ++checked;
  }
  EXPECT_EQ(checked, 8u);
}

TEST_P(TwoLanguages, TranslatedCopyHoldsEveryStringAndKeepsTheRest) {
  const std::string image = fixture(GetParam());
  auto module = Module::openBytes(image);
  std::vector<ResourceString> translated = module->stringTables().strings();
  // Emoji, CJK beyond Big5, and a string longer than the block held.
  for (ResourceString& s : translated) s.text = u"譯😀𠀀：" + s.text + u"\r\n" + std::u16string(300, u'長');
  PatchedModule patched = replaceResources(image, stringTableReplacements(module->stringTables(), translated));
  auto copy = Module::openBytes(patched.image);
  EXPECT_EQ(copy->stringTables().strings(), translated);
  EXPECT_TRUE(copy->stringTables().errors.empty());
  // The checksum the writer wrote is the image's.
  const std::size_t coff = static_cast<unsigned char>(patched.image[0x3C]) | static_cast<unsigned char>(patched.image[0x3D]) << 8;
  const std::size_t field = coff + 4 + 20 + 64;
  std::uint32_t stored = 0;
  for (int i = 3; i >= 0; --i) stored = stored << 8 | static_cast<unsigned char>(patched.image[field + i]);
  EXPECT_EQ(imageChecksum(patched.image, field), stored);
  const auto before = leaves(image), after = leaves(patched.image);
  ASSERT_EQ(before.size(), after.size());
  for (const auto& [key, value] : before) {
    ASSERT_TRUE(after.count(key));
    if (std::get<0>(key) == kRtString) {
      EXPECT_EQ(after.at(key).second, value.second);  // the code page
      continue;
    }
    EXPECT_EQ(after.at(key), value);
  }
}

TEST_P(TwoLanguages, OneStringChangesOneBlockOfOneLanguage) {
  const std::string image = fixture(GetParam());
  auto module = Module::openBytes(image);
  PatchedModule patched =
      replaceResources(image, stringTableReplacements(module->stringTables(), {{65233, kDe, u"確定"}}));
  auto copy = Module::openBytes(patched.image);
  std::vector<ResourceString> want = kStrings;
  for (ResourceString& s : want)
    if (s.id == 65233) s.text = u"確定";
  EXPECT_EQ(copy->stringTables().strings(), want);
  const auto before = leaves(image), after = leaves(patched.image);
  std::size_t changed = 0;
  for (const auto& [key, value] : before) changed += after.at(key) != value;
  EXPECT_EQ(changed, 1u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, TwoLanguages, testing::Values("forms32.exe", "forms64.dll"));

TEST(StringBlocks, CountsArecheckedAgainstTheEnd) {
  StringBlockError error;
  EXPECT_FALSE(decodeStringBlock("", 7, 1031, &error));
  EXPECT_EQ(error.fault, StringBlockFault::EndsEarly);
  EXPECT_NE(error.reason().find("string table block 7 (strings 96-111, language 1031)"), std::string::npos)
      << error.reason();

  std::string past("\x02\x00" "a\x00" "b\x00" "\x05\x00" "c\x00", 10);
  EXPECT_FALSE(decodeStringBlock(past, 4078, 1031, &error));
  EXPECT_EQ(error.fault, StringBlockFault::CountPastEnd);
  EXPECT_EQ(error.index, 1u);
  EXPECT_EQ(error.count, 5u);
  EXPECT_EQ(error.at, 6u);
  EXPECT_NE(error.reason().find("string 65233 counts 5 units at byte 6"), std::string::npos) << error.reason();

  // Sixteen empty strings and two bytes of padding, kept on encoding.
  std::string padded(34, '\0');
  std::optional<StringBlockText> text = decodeStringBlock(padded, 1, 0);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->trailing, std::string(2, '\0'));
  EXPECT_EQ(encodeStringBlock(*text), padded);
  text->strings[0] = std::u16string(kMaxStringUnits + 1, u'x');
  EXPECT_THROW(encodeStringBlock(*text), EModuleWrite);
}

TEST(StringBlocks, AHostileBlockIsRefusedAndTheRestStaysReadable) {
  const std::string image = fixture("badstrings32.exe");
  auto module = Module::openBytes(image);
  const StringTables& tables = module->stringTables();
  ASSERT_EQ(tables.errors.size(), 1u);
  const StringBlockError& e = tables.errors.front();
  EXPECT_EQ(e.block, 3);
  EXPECT_EQ(e.fault, StringBlockFault::CountPastEnd);
  EXPECT_EQ(e.count, 400u);
  EXPECT_NE(e.reason().find("block 3 (strings 32-47, language 1031): string 34 counts 400 units"), std::string::npos)
      << e.reason();
  const std::vector<ResourceString> want = {
      {1, kDe, u"Erste"}, {2, kDe, u"Zweite\r\nZeile"}, {64, kDe, u"Fünfter Block %d"}, {79, kDe, u"Q"}};
  EXPECT_EQ(tables.strings(), want);
  ASSERT_TRUE(tables.find(5, kDe) && tables.find(5, kDe)->text);
  EXPECT_EQ(tables.find(5, kDe)->text->trailing, std::string("q\0", 2));
  std::vector<std::string> names;
  EXPECT_TRUE(module->listFormNames(names));
  EXPECT_EQ(names, std::vector<std::string>{"TFORM1"});

  // Its strings cannot be translated; the others can, the padding of their
  // block kept and the hostile block left byte for byte.
  EXPECT_THROW(stringTableReplacements(tables, {{33, kDe, u"x"}}), EModuleWrite);
  PatchedModule patched = replaceResources(image, stringTableReplacements(tables, {{64, kDe, u"第五\r\n塊 %d"}}));
  const auto before = leaves(image), after = leaves(patched.image);
  for (const auto& [key, value] : before) {
    if (std::get<0>(key) == kRtString && std::get<1>(key) == u"#\x05") {
      // The translation, 14 empty strings, "Q", and the padding.
      EXPECT_EQ(after.at(key).first.size(), 2 + 2 * 8 + 14 * 2 + 2 + 2 + 2u);
      EXPECT_TRUE(after.at(key).first.ends_with(std::string("\x01\0Q\0q\0", 6)));
      EXPECT_NE(after.at(key), value);
    } else {
      EXPECT_EQ(after.at(key), value);
    }
  }
  auto copy = Module::openBytes(patched.image);
  EXPECT_EQ(copy->stringTables().strings()[2].text, u"第五\r\n塊 %d");
  EXPECT_EQ(copy->stringTables().errors.size(), 1u);
}

TEST(StringBlocks, AModuleWithoutStringTablesHasNone) {
  auto module = Module::openBytes(fixture("nores32.exe"));
  EXPECT_TRUE(module->stringTables().empty());
  EXPECT_FALSE(module->stringTables().firstLanguage());
  auto noForms = Module::openBytes(fixture("noforms64.exe"));
  EXPECT_EQ(noForms->stringTables().strings(), (std::vector<ResourceString>{{1, kZh, u"沒有窗體"}}));
}

TEST(ResourceReplacements, ByTypeNameAndLanguage) {
  const std::string image = fixture("forms32.exe");
  // TLANGFORM has Chinese (first) and English; the English one is replaced.
  ResourceReplacement english{{true, kRtRcdata, {}}, {false, 0, u"TLANGFORM"}, 0x0409, "TPF0english"};
  PatchedModule patched = replaceResources(image, {english});
  const auto before = leaves(image), after = leaves(patched.image);
  for (const auto& [key, value] : before) {
    const bool replaced = key == std::make_tuple(std::uint32_t{kRtRcdata}, std::u16string(u"TLANGFORM"), 0x0409u);
    EXPECT_EQ(after.at(key).first, replaced ? "TPF0english" : value.first);
  }
  auto copy = Module::openBytes(patched.image);
  EXPECT_EQ(copy->readFormResource("TLANGFORM")->bytes(), Module::openBytes(image)->readFormResource("TLANGFORM")->bytes());

  for (const auto& [r, why] : std::vector<std::pair<ResourceReplacement, std::string>>{
           {{{true, kRtRcdata, {}}, {false, 0, u"TLANGFORM"}, 0x0407, "x"}, "type #10, TLANGFORM, language 1031"},
           {{{true, kRtString, {}}, {true, 9, {}}, kDe, "x"}, "type #6, #9, language 1031"},
           {{{true, kRtRcdata, {}}, {false, 0, u"NOSUCH"}, std::nullopt, "x"}, "no form resource"}}) {
    try {
      replaceResources(image, {r});
      ADD_FAILURE() << "accepted: " << why;
    } catch (const EModuleWrite& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace vc::modres
