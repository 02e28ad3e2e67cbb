// The module interface over modules built by the mingw-w64 toolchain
// (fixtures/build.sh): listing, reading, lookup rules and open failures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "formstream/Errors.h"
#include "modres/Module.h"
#include "modres/ResourceName.h"
#include "platform/Cp950.h"

namespace vc::modres {
namespace {

std::string fixture(const std::string& name) { return std::string(VC_SOURCE_DIR) + "/tests/modres/fixtures/" + name; }

std::string big5(const char* utf8) { return *cp950::fromUtf8(utf8); }

std::string readAll(TStream& s) {
  std::string out(static_cast<std::size_t>(s.size()), '\0');
  s.readBuffer(out.data(), out.size());
  return out;
}

std::string resource(Module& m, const std::string& name) { return readAll(*m.readFormResource(name)); }

std::string messageOf(Module& m, const std::string& name) {
  try {
    m.readFormResource(name);
  } catch (const EResNotFound& e) {
    return e.what();
  }
  return "(found)";
}

class FormsModule : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    module = Module::open(fixture(GetParam()));
    ASSERT_NE(module, nullptr);
  }
  std::unique_ptr<Module> module;
};

TEST_P(FormsModule, ListsRcdataNamesInDirectoryOrderWithoutTheTwoSkippedOnes) {
  std::vector<std::string> names;
  ASSERT_TRUE(module->listFormNames(names));
  // The linker sorts names by UTF-16 code unit: upper case before lower case,
  // named entries before numeric ones.
  std::vector<std::string> expected = {"CAF{U+00C9}", "EMOJI{U+1F600}", "SETTINGS", "TABOUTBOX", "TFORM1",
                                       "TINHFORM",    "TLANGFORM",      "dvclal",   big5("表單一"), "#1234"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(module->isPe32Plus(), std::string(GetParam()) == "forms64.dll");
}

TEST_P(FormsModule, ReadsEveryListedNameAsItsOwnBytes) {
  std::vector<std::string> names;
  module->listFormNames(names);
  for (const std::string& name : names) {
    std::string bytes = resource(*module, name);
    if (name == "SETTINGS")
      EXPECT_EQ(bytes, "[settings]\r\nnot=a form\r\n");
    else
      EXPECT_EQ(bytes.substr(0, 4), "TPF0") << name;
  }
  EXPECT_EQ(resource(*module, "TFORM1").size(), 436u);
  EXPECT_NE(resource(*module, "#1234").find(big5("數字編號")), std::string::npos);
  EXPECT_NE(resource(*module, big5("表單一")).find(big5("中文名稱")), std::string::npos);
  EXPECT_NE(resource(*module, "EMOJI{U+1F600}").find(big5("表情符號")), std::string::npos);
  EXPECT_NE(resource(*module, "CAF{U+00C9}").find("TAccentForm"), std::string::npos);
}

TEST_P(FormsModule, ExactNameWinsOverCaseAndFirstLanguageIsTaken) {
  // "dvclal" is a form of its own; the skipped DVCLAL is 16 bytes of data.
  EXPECT_NE(resource(*module, "dvclal").find("TLowerForm"), std::string::npos);
  std::string dvclal = resource(*module, "DVCLAL");
  ASSERT_EQ(dvclal.size(), 16u);
  EXPECT_EQ(dvclal[0], '\x10');
  EXPECT_EQ(resource(*module, "PACKAGEINFO").size(), 16u);
  // Two languages under one name: the first in the directory (0x0404 before 0x0409).
  std::string lang = resource(*module, "TLANGFORM");
  EXPECT_NE(lang.find(big5("中文版")), std::string::npos);
  EXPECT_EQ(lang.find("English"), std::string::npos);
}

TEST_P(FormsModule, LookupAcceptsIdSpellingsAndTextInAnyAsciiCase) {
  EXPECT_EQ(resource(*module, "#01234"), resource(*module, "#1234"));
  EXPECT_EQ(resource(*module, "tForm1"), resource(*module, "TFORM1"));
  EXPECT_EQ(resource(*module, "settings"), resource(*module, "SETTINGS"));
}

TEST_P(FormsModule, UnknownNamesFailWithTheNameInTheMessage) {
  EXPECT_EQ(messageOf(*module, "NOSUCH"), "資源 NOSUCH 未找到");
  EXPECT_EQ(messageOf(*module, "#99"), "資源 #99 未找到");
  EXPECT_EQ(messageOf(*module, "#70000"), "資源 #70000 未找到");
  EXPECT_EQ(messageOf(*module, "#"), "資源 # 未找到");
  EXPECT_EQ(messageOf(*module, big5("表單二")), "資源 表單二 未找到");
  // The unrepresentable names are found only by their shown spelling.
  EXPECT_EQ(messageOf(*module, "CAF?"), "資源 CAF? 未找到");
  EXPECT_EQ(messageOf(*module, ""), "資源  未找到");
}

TEST_P(FormsModule, ResourceStreamIsReadOnlyAndSeekable) {
  auto stream = module->readFormResource("TFORM1");
  char sig[4];
  stream->readBuffer(sig, 4);
  EXPECT_EQ(std::string(sig, 4), "TPF0");
  EXPECT_EQ(stream->position(), 4);
  try {
    stream->writeBuffer("x", 1);
    FAIL() << "write succeeded";
  } catch (const EStreamError& e) {
    EXPECT_STREQ(e.what(), "無法寫入一個唯讀的資源流");
  }
  stream->setPosition(0);
  EXPECT_EQ(readAll(*stream).size(), 436u);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, FormsModule, testing::Values("forms32.exe", "forms64.dll"));

TEST(ModuleOpen, ModulesWithoutRcdataOpenButListNothing) {
  for (auto [name, fault] : {std::pair{"nores32.exe", ModuleFault::NoResources}, {"noforms64.exe", ModuleFault::NoForms}}) {
    auto module = Module::open(fixture(name));
    std::vector<std::string> names = {"kept"};
    Outcome<EModuleError> listed = module->listFormNames(names);
    ASSERT_FALSE(listed) << name;
    EXPECT_EQ(listed.reason().fault(), fault) << name;
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
    EXPECT_THROW(module->readFormResource("TFORM1"), EResNotFound);
  }
}

TEST(ModuleOpen, FilesThatAreNotModulesFailToOpen) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("vc_modres_open_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  };
  std::string dosOnly(128, '\0');
  dosOnly[0] = 'M';
  dosOnly[1] = 'Z';
  dosOnly[0x3C] = 0x40;
  std::string cut = dosOnly;  // a PE signature, then nothing
  cut.replace(0x40, 4, std::string("PE\0\0", 4));
  cut.resize(0x48);
  const std::pair<std::string, ModuleFault> rows[] = {
      {write("empty.exe", ""), ModuleFault::NotAModule},
      {write("text.exe", "object Form1: TForm1\r\nend\r\n"), ModuleFault::NotAModule},
      {write("dos.exe", dosOnly), ModuleFault::NotAModule},
      {write("cut.exe", cut), ModuleFault::Truncated},
      {(dir / "missing.exe").string(), ModuleFault::Missing},
      {dir.string(), ModuleFault::NotAFile},
      {"/dev/null", ModuleFault::NotAFile},
  };
  for (const auto& [path, fault] : rows) {
    try {
      Module::open(path);
      ADD_FAILURE() << path << " opened";
    } catch (const EModuleError& e) {
      EXPECT_EQ(e.fault(), fault) << path << ": " << e.what();
    }
  }
  fs::remove_all(dir);
}

TEST(ModuleOpen, BundledSampleListsItsThreeForms) {
  auto module = Module::open(std::string(VC_SOURCE_DIR) + "/samples/sample.exe");
  ASSERT_NE(module, nullptr);
  std::vector<std::string> names;
  ASSERT_TRUE(module->listFormNames(names));
  EXPECT_EQ(names, (std::vector<std::string>{"TABOUTBOX", "TMAINFORM", "TOPTIONSFORM"}));
  EXPECT_EQ(resource(*module, "TMAINFORM").substr(0, 4), "TPF0");
}

TEST(ResourceNames, ShownNamesStayDistinctAndRoundTrip) {
  EXPECT_EQ(shownResourceName(u"TFORM1"), "TFORM1");
  EXPECT_EQ(shownResourceName(u"\u8868\u55ae"), big5("表單"));
  EXPECT_EQ(shownResourceName(u"A\u00E9"), "A{U+00E9}");
  EXPECT_EQ(shownResourceName(u"A\U0001F600"), "A{U+1F600}");
  // Line breaks would split one name over two lines of a listing.
  EXPECT_EQ(shownResourceName(std::u16string(u"A\nB\0C", 5)), "A{U+000A}B{U+0000}C");
  // A lone low surrogate must not turn into the raw byte it would carry.
  EXPECT_EQ(shownResourceName(std::u16string(1, char16_t(0xDC81))), "{U+DC81}");
  EXPECT_EQ(shownResourceName(std::u16string(1, char16_t(0xD800))), "{U+D800}");
  EXPECT_EQ(shownResourceName(std::u16string{char16_t(0xD800), u'A'}), "{U+D800}A");
}

TEST(ResourceNames, NumericSpellings) {
  EXPECT_EQ(shownResourceId(0), "#0");
  EXPECT_EQ(shownResourceId(65535), "#65535");
  EXPECT_EQ(parseResourceId("#65535"), std::optional<std::uint16_t>(65535));
  EXPECT_EQ(parseResourceId("#007"), std::optional<std::uint16_t>(7));
  EXPECT_FALSE(parseResourceId("#65536"));
  EXPECT_FALSE(parseResourceId("#"));
  EXPECT_FALSE(parseResourceId("#1a"));
  EXPECT_FALSE(parseResourceId("12"));
  EXPECT_FALSE(parseResourceId("#-1"));
}

}  // namespace
}  // namespace vc::modres
