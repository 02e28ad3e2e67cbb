// Translated copies of a module: the module is never the target, and a copy
// that cannot be made leaves the target as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../ReadFile.h"
#include "modres/Module.h"
#include "translation/ResourceStringTranslation.h"
#include "translation/TranslatedModule.h"

using namespace vc;
namespace fs = std::filesystem;

namespace {

class TranslatedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("vc-translated-" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "forms");
    fs::copy_file(fs::path(VC_SOURCE_DIR) / "tests/modres/fixtures/forms32.exe", module());
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string module() const { return (m_dir / "forms32.exe").string(); }
  std::string at(const std::string& name) const { return (m_dir / name).string(); }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
  }

  fs::path m_dir;
};

TEST_F(TranslatedModule, NeverWritesOverTheModule) {
  const std::string before = test::readFile(module());
  fs::create_symlink(module(), at("link.exe"));
  fs::create_hard_link(module(), at("hard.exe"));
  for (const std::string& out : {module(), at("link.exe"), at("hard.exe"), at("forms/../forms32.exe")})
    EXPECT_THROW(writeModuleCopy(module(), {}, out), ESameModule) << out;
  EXPECT_EQ(test::readFile(module()), before);
}

TEST_F(TranslatedModule, FailedCopyLeavesTheTargetAsItWas) {
  write("out.exe", "earlier copy");
  write("not-a-module.exe", "MZ but nothing more");
  EXPECT_THROW(writeModuleCopy(at("not-a-module.exe"), {}, at("out.exe")), EModuleWrite);
  EXPECT_EQ(test::readFile(at("out.exe")), "earlier copy");
}

// Files are matched by name in any case; others are set aside unless strict;
// two files for one form, or a file that does not convert, stop everything.
TEST_F(TranslatedModule, FormFilesNameTheirForms) {
  const std::string form = test::readFile(fs::path(VC_SOURCE_DIR) / "tests/cli/data/patch/TFORM1.txt");
  write("forms/tform1.dfm", form);
  write("forms/Other.dfm", form);
  auto module = modres::Module::open(this->module());
  FormFileReplacements found = readFormFileReplacements(*module, formFilesIn(at("forms")), false);
  ASSERT_EQ(found.forms.size(), 1u);
  EXPECT_EQ(found.forms[0].form, "TFORM1");
  EXPECT_EQ(found.unmatched, std::vector<std::string>{at("forms/Other.dfm")});
  EXPECT_THROW(readFormFileReplacements(*module, formFilesIn(at("forms")), true), Exception);

  write("forms/TFORM1.DFM", form);
  EXPECT_THROW(readFormFileReplacements(*module, formFilesIn(at("forms")), false), Exception);
  fs::remove(at("forms/TFORM1.DFM"));
  write("forms/tform1.dfm", "object Form1: TForm1\r\n  Left = \r\n");
  EXPECT_THROW(readFormFileReplacements(*module, formFilesIn(at("forms")), false), Exception);
}

// Resource strings go into the copy with the forms; one that lies in no
// block of the module stops the copy.
TEST_F(TranslatedModule, ResourceStringsGoIntoTheCopy) {
  writeModuleCopy(module(), {}, at("out.exe"), {{65233, 0x0407, u"確定"}, {4000, 0x0407, u"😀"}});
  auto copy = modres::Module::open(at("out.exe"));
  std::vector<modres::ResourceString> strings = copy->stringTables().strings();
  ASSERT_EQ(strings.size(), 11u);
  EXPECT_EQ(strings[8].text, u"😀");
  EXPECT_EQ(strings[9].text, u"確定");
  write("out.exe", "earlier copy");
  EXPECT_THROW(writeModuleCopy(module(), {}, at("out.exe"), {{5000, 0x0407, u"x"}}), EModuleWrite);
  EXPECT_EQ(test::readFile(at("out.exe")), "earlier copy");
}

}  // namespace

namespace {

// The workbench's resource-string translations: kept in a PO file the
// exchange reads back, and written into the copy from there.
TEST_F(TranslatedModule, ResourceStringTranslationsRoundTripThroughTheirPoFile) {
  auto module = modres::Module::open(this->module());
  ResourceStringTranslation t(*module, this->module());
  ASSERT_EQ(t.size(), 11u);
  EXPECT_EQ(t.string(2).context, "STRINGTABLE.3");
  EXPECT_EQ(t.string(2).text, "第一行\n第二行");
  t.setTranslation(2, "一\n二");
  t.setTranslation(10, "確定");
  t.save(at("STRINGTABLE.po"), "forms32.exe");

  ResourceStringTranslation back(*module, this->module());
  back.load(at("STRINGTABLE.po"));
  EXPECT_EQ(back.translatedCount(), 2u);
  EXPECT_EQ(back.translation(2), "一\n二");
  back.setTranslation(2, "kept");
  back.load(at("STRINGTABLE.po"), true);
  EXPECT_EQ(back.translation(2), "kept");

  ApplyResult strings = resourceStringsOfFile(*module, this->module(), at("STRINGTABLE.po"));
  EXPECT_TRUE(strings.problems.empty());
  ASSERT_EQ(strings.resourceStrings.size(), 2u);
  EXPECT_EQ(strings.resourceStrings[0].text, u"一\r\n二");
  writeModuleCopy(this->module(), {}, at("out.exe"), strings.resourceStrings);
  EXPECT_EQ(modres::Module::open(at("out.exe"))->stringTables().strings()[9].text, u"確定");
}

TEST(ResourceStringLines, EscapesRoundTrip) {
  for (const char* text : {"", "a\nb", "tab\there", "back\\slash\\n", "\\", "end\\"})
    EXPECT_EQ(unescapedLine(escapedLine(text)), text) << text;
  EXPECT_EQ(escapedLine("a\nb\tc\\d"), "a\\nb\\tc\\\\d");
  EXPECT_EQ(unescapedLine("\\x\\"), "\\x\\");  // other backslashes stay
}

}  // namespace
