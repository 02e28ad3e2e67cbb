// Every module of the shared corpus: it opens, lists its forms, and every
// listed form renders as form text; a listed resource that is not a form
// fails with the converter's signature error. The manifest says how many
// form streams each module holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "formstream/BinaryToText.h"
#include "formstream/Errors.h"
#include "formstream/TFiler.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/Cp950.h"

namespace vc::modres {
namespace {

namespace fs = std::filesystem;

// modules/<file> -> count given as "tpf0_resources=N" in the manifest's notes.
std::map<std::string, int> expectedFormCounts(const fs::path& corpus) {
  std::map<std::string, int> counts;
  std::ifstream in(corpus / "MANIFEST.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("modules/", 0) != 0) continue;
    const std::string file = line.substr(8, line.find('\t') - 8);
    const std::size_t at = line.find("tpf0_resources=");
    if (at != std::string::npos) counts[file] = std::stoi(line.substr(at + 15));
  }
  return counts;
}

TEST(Corpus, EveryModuleListsAndRendersItsForms) {
  const fs::path corpus = VC_CORPUS_DIR;
  if (!fs::is_directory(corpus / "modules")) GTEST_SKIP() << "no corpus at " << corpus;
  const auto expected = expectedFormCounts(corpus);
  int modules = 0, listed = 0, rendered = 0, notForms = 0;
  for (const auto& entry : fs::directory_iterator(corpus / "modules")) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    std::unique_ptr<Module> module;
    ASSERT_NO_THROW(module = Module::open(entry.path().string()));
    ++modules;
    std::vector<std::string> names;
    ASSERT_TRUE(module->listFormNames(names));
    // Headers and directory only: a few pages, whatever the module's size.
    EXPECT_LE(module->bytesRead(), 64u * 1024) << "of " << fs::file_size(entry.path());
    std::cout << file << ": listing read " << module->bytesRead() << " of " << fs::file_size(entry.path())
              << " bytes\n";
    int forms = 0;
    for (const std::string& name : names) {
      SCOPED_TRACE(cp950::toUtf8(name));
      EXPECT_NE(name, "DVCLAL");
      EXPECT_NE(name, "PACKAGEINFO");
      ++listed;
      auto stream = module->readFormResource(name);
      TMemoryStream text;
      std::string head(4, '\0');
      const bool complete = stream->read(head.data(), 4) == 4;
      const bool isForm = complete && head == "TPF0";
      stream->setPosition(0);
      try {
        BinaryToText(*stream, text);
        EXPECT_TRUE(isForm);
        EXPECT_EQ(text.data().rfind("end\r\n"), text.data().size() - 5);
        ++forms;
        ++rendered;
      } catch (const EReadError& e) {
        EXPECT_FALSE(isForm) << e.what();
        // Too short for a signature is a read error; a wrong one is a format error.
        EXPECT_STREQ(e.what(), complete ? "無效的資料流格式" : "資料串流讀取錯誤");
        ++notForms;
      }
    }
    if (auto it = expected.find(file); it != expected.end()) {
      EXPECT_EQ(forms, it->second);
    }
  }
  std::cout << "corpus modules: " << modules << ", names listed: " << listed << ", forms rendered: " << rendered
            << ", other resources: " << notForms << "\n";
  EXPECT_GT(modules, 0);
}

// The string tables of every corpus module read without a refused block; the
// counts of some as python3-pefile counts them (tests/modres/pefile_check.py
// compares every module's).
TEST(Corpus, EveryModuleReadsItsStringTables) {
  const fs::path corpus = VC_CORPUS_DIR;
  if (!fs::is_directory(corpus / "modules")) GTEST_SKIP() << "no corpus at " << corpus;
  // All non-empty strings, and those not in the first language.
  const std::map<std::string, std::pair<std::size_t, std::size_t>> known = {
      {"DevTimmOfTO__KoerperCalc3.0__Project1.exe", {385, 0}},
      {"yhira__StamperPlus__Stamper.exe", {445, 0}},
      {"miguelvasp__DelphiProjects__IE.exe", {364, 0}},
      {"sprokushev__Delphi__MgrSR.exe", {603, 93}},  // language 0 and Russian (1049)
      {"smarthaert__uims__Usertool.exe", {0, 0}},
  };
  std::size_t modules = 0, withStrings = 0, strings = 0;
  for (const auto& entry : fs::directory_iterator(corpus / "modules")) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    auto module = Module::open(entry.path().string());
    const StringTables& tables = module->stringTables();
    EXPECT_FALSE(tables.directoryError);
    EXPECT_TRUE(tables.errors.empty());
    ++modules;
    withStrings += tables.count() > 0;
    strings += tables.count();
    if (auto it = known.find(file); it != known.end()) {
      EXPECT_EQ(tables.count(), it->second.first);
      std::size_t other = 0;
      for (const ResourceString& s : tables.strings()) other += s.language != tables.firstLanguage();
      EXPECT_EQ(other, it->second.second);
    }
  }
  std::cout << "corpus modules: " << modules << ", with string tables: " << withStrings
            << ", resource strings: " << strings << "\n";
}

// The strings of a form in stream order: 8-bit (tags 6, 12) or wide (18, 20),
// and their code units (an 8-bit string's bytes each as one unit). A wide
// string of ASCII only is written as an 8-bit string, which the program reads
// as the same text: it counts as 8-bit.
class StringCollector : public RenderListener {
 public:
  std::vector<std::pair<bool, std::u16string>> strings;
  void beginObject(std::string_view, std::string_view) override {}
  void endProperties() override {}
  void endObject() override {}
  void beginProperty(std::string_view) override {}
  void endProperty() override {}
  void beginList() override {}
  void endList() override {}
  void beginItem() override {}
  void endItem() override {}
  void value(const RenderedValue& v) override {
    if (v.tag == tagWString || v.tag == tagUtf8String)
      strings.emplace_back(std::any_of(v.wide.begin(), v.wide.end(), [](char16_t u) { return u > 0x7F; }), v.wide);
    if (v.tag == tagString || v.tag == tagLString) {
      std::u16string units;
      for (char c : v.bytes) units.push_back(static_cast<unsigned char>(c));
      strings.emplace_back(false, units);
    }
  }
};

// A module form's text converts back with every string of the same kind and
// text as in the module: wide strings holding Latin letters (KoerperCalc's
// "Körperberechnung") stay wide instead of turning into Big5 bytes.
TEST(Corpus, EveryModuleFormsStringsSurviveItsText) {
  const fs::path corpus = VC_CORPUS_DIR;
  if (!fs::is_directory(corpus / "modules")) GTEST_SKIP() << "no corpus at " << corpus;
  int forms = 0, wide = 0;
  for (const auto& entry : fs::directory_iterator(corpus / "modules")) {
    SCOPED_TRACE(entry.path().filename().string());
    std::unique_ptr<Module> module = Module::open(entry.path().string());
    std::vector<std::string> names;
    ASSERT_TRUE(module->listFormNames(names));
    for (const std::string& name : names) {
      SCOPED_TRACE(cp950::toUtf8(name));
      auto stream = module->readFormResource(name);
      TMemoryStream text;
      StringCollector before, after;
      try {
        BinaryToText(*stream, text, &before);
      } catch (const EReadError&) {
        continue;  // not a form
      }
      TReadOnlyMemoryStream textIn(text.data());
      TMemoryStream binary;
      ASSERT_NO_THROW(TextToBinary(textIn, binary));
      TReadOnlyMemoryStream binaryIn(binary.data());
      TMemoryStream again;
      BinaryToText(binaryIn, again, &after);
      EXPECT_TRUE(before.strings == after.strings);
      ++forms;
      for (const auto& s : before.strings) wide += s.first;
    }
  }
  std::cout << "corpus module forms: " << forms << ", their wide strings: " << wide << "\n";
  EXPECT_GT(wide, 0);
}

}  // namespace
}  // namespace vc::modres
