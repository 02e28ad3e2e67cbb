// Damaged and hostile images: every fixture cut at every length and with
// bytes of its headers and resource directory changed, and hand-made
// directories that loop, overflow or claim absurd sizes. Each must end in a
// clean failure or a clean listing.
#include <gtest/gtest.h>

#include <optional>

#include <fstream>
#include <iterator>

#include "modres/Module.h"

namespace vc::modres {
namespace {

std::string loadFixture(const std::string& name) {
  std::ifstream in(std::string(VC_SOURCE_DIR) + "/tests/modres/fixtures/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Opens, lists and reads every listed name; returns the number of names read.
std::unique_ptr<Module> openOrNull(std::string bytes) {
  try {
    return Module::openBytes(std::move(bytes));
  } catch (const EModuleError&) {
    return nullptr;
  }
}

std::size_t exercise(std::string bytes, bool* listed = nullptr) {
  auto module = openOrNull(std::move(bytes));
  if (!module) return 0;
  std::vector<std::string> names;
  bool ok = module->listFormNames(names).ok();
  if (listed) *listed = ok;
  std::size_t read = 0;
  for (const std::string& name : names) {
    try {
      auto stream = module->readFormResource(name);
      ++read;
    } catch (const EResNotFound&) {
    }
  }
  // The string tables read after the forms, whatever became of them.
  const StringTables& tables = module->stringTables();
  std::size_t units = 0;
  for (const ResourceString& s : tables.strings()) units += s.text.size();
  for (const StringBlockError& e : tables.errors) EXPECT_FALSE(e.reason().empty());
  EXPECT_LE(units, 1u << 24);
  return read;
}

void put16(std::string& s, std::size_t at, std::uint16_t v) {
  if (s.size() < at + 2) s.resize(at + 2);
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  put16(s, at, static_cast<std::uint16_t>(v));
  put16(s, at + 2, static_cast<std::uint16_t>(v >> 16));
}

const char* const kFixtures[] = {"forms32.exe", "forms64.dll", "nores32.exe", "noforms64.exe"};

TEST(HostileFixtures, EveryTruncationFailsOrListsCleanly) {
  for (const char* name : kFixtures) {
    const std::string whole = loadFixture(name);
    ASSERT_FALSE(whole.empty()) << name;
    bool fullListing = false;
    const std::size_t fullRead = exercise(whole, &fullListing);
    for (std::size_t len = 0; len < whole.size(); ++len) {
      const std::size_t read = exercise(whole.substr(0, len));
      ASSERT_LE(read, fullRead) << name << " cut at " << len;
    }
  }
}

TEST(HostileFixtures, ChangedHeaderAndDirectoryBytesFailOrListCleanly) {
  for (const char* name : {"forms32.exe", "forms64.dll"}) {
    const std::string whole = loadFixture(name);
    auto module = Module::openBytes(whole);
    ASSERT_NE(module, nullptr);
    // Every byte: the images are small, and headers, section table and
    // resource directory are all among them.
    for (std::size_t at = 0; at < whole.size(); ++at) {
      const unsigned char original = static_cast<unsigned char>(whole[at]);
      const unsigned char values[] = {0x00, 0xFF, 0x7F, 0x80, static_cast<unsigned char>(original ^ 0x80),
                                      static_cast<unsigned char>(original + 1)};
      for (unsigned char value : values) {
        if (value == original) continue;
        std::string changed = whole;
        changed[at] = static_cast<char>(value);
        exercise(std::move(changed));
      }
    }
  }
}

// A PE32 image with one section, ".rsrc", at RVA 0x1000, file offset 0x200.
std::string imageWith(const std::string& rsrc) {
  std::string img(0x200, '\0');
  img[0] = 'M';
  img[1] = 'Z';
  put32(img, 0x3C, 0x40);
  img.replace(0x40, 4, std::string("PE\0\0", 4));
  put16(img, 0x44, 0x14C);   // machine
  put16(img, 0x46, 1);       // sections
  put16(img, 0x54, 0xE0);    // optional header size
  const std::size_t opt = 0x58;
  put16(img, opt, 0x10B);
  put32(img, opt + 36, 0x200);  // file alignment
  put32(img, opt + 92, 16);     // directories
  put32(img, opt + 96 + 16, 0x1000);
  put32(img, opt + 96 + 20, static_cast<std::uint32_t>(rsrc.size()));
  const std::size_t sec = opt + 0xE0;
  img.replace(sec, 5, ".rsrc");
  put32(img, sec + 8, static_cast<std::uint32_t>(rsrc.size()));
  put32(img, sec + 12, 0x1000);
  put32(img, sec + 16, static_cast<std::uint32_t>(rsrc.size()));
  put32(img, sec + 20, 0x200);
  return img + rsrc;
}

constexpr std::uint32_t kDir = 0x80000000u;

// root -> type 10 -> one name "AB" -> language 0x404 -> 4 bytes "TPF0".
struct Directory {
  std::string bytes;
  static constexpr std::size_t kTypeDir = 0x18, kLangDir = 0x30, kLeaf = 0x48, kName = 0x58, kData = 0x60;
  Directory() {
    put16(bytes, 14, 1);
    put32(bytes, 16, 10);
    put32(bytes, 20, kDir | kTypeDir);
    put16(bytes, kTypeDir + 12, 1);
    put32(bytes, kTypeDir + 16, kDir | kName);
    put32(bytes, kTypeDir + 20, kDir | kLangDir);
    put16(bytes, kLangDir + 14, 1);
    put32(bytes, kLangDir + 16, 0x404);
    put32(bytes, kLangDir + 20, kLeaf);
    put32(bytes, kLeaf, 0x1000 + kData);
    put32(bytes, kLeaf + 4, 4);
    put16(bytes, kName, 2);
    put16(bytes, kName + 2, 'A');
    put16(bytes, kName + 4, 'B');
    bytes.resize(kData);
    bytes += "TPF0";
  }
};

template <class Step>
std::optional<ModuleFault> faultOf(Step step) {
  try {
    step();
  } catch (const EModuleError& e) {
    return e.fault();
  }
  return std::nullopt;
}

struct Outcome {
  bool opened = false;
  bool listed = false;
  std::optional<ModuleFault> fault;  // why opening or listing failed
  std::vector<std::string> names;
  std::size_t readable = 0;
};

Outcome run(const std::string& rsrc) {
  Outcome o;
  std::unique_ptr<Module> module;
  try {
    module = Module::openBytes(imageWith(rsrc));
  } catch (const EModuleError& e) {
    o.fault = e.fault();
    return o;
  }
  o.opened = true;
  vc::Outcome<EModuleError> listed = module->listFormNames(o.names);
  o.listed = listed.ok();
  if (!listed) o.fault = listed.reason().fault();
  for (const std::string& n : o.names) {
    try {
      module->readFormResource(n);
      ++o.readable;
    } catch (const EResNotFound&) {
    }
  }
  return o;
}

TEST(HostileDirectory, WellFormedBaseline) {
  Outcome o = run(Directory().bytes);
  ASSERT_TRUE(o.opened);
  EXPECT_TRUE(o.listed);
  EXPECT_EQ(o.names, std::vector<std::string>{"AB"});
  EXPECT_EQ(o.readable, 1u);
}

TEST(HostileDirectory, LoopsAreNotFollowed) {
  Directory toRoot, toType, typeToRoot;
  put32(toRoot.bytes, Directory::kTypeDir + 20, kDir | 0);
  put32(toType.bytes, Directory::kTypeDir + 20, kDir | Directory::kTypeDir);
  put32(typeToRoot.bytes, 20, kDir | 0);
  for (const auto* d : {&toRoot, &toType}) {
    Outcome o = run(d->bytes);
    EXPECT_TRUE(o.listed);
    EXPECT_EQ(o.names, std::vector<std::string>{"AB"});
    EXPECT_EQ(o.readable, 0u);
  }
  EXPECT_EQ(run(typeToRoot.bytes).fault, ModuleFault::Loop);
}

TEST(HostileDirectory, AbsurdCountsEndTheListing) {
  Directory rootCount, typeCount;
  put16(rootCount.bytes, 12, 0xFFFF);
  put16(rootCount.bytes, 14, 0xFFFF);
  put16(typeCount.bytes, Directory::kTypeDir + 12, 0xFFFF);
  put16(typeCount.bytes, Directory::kTypeDir + 14, 0xFFFF);
  EXPECT_EQ(run(rootCount.bytes).fault, ModuleFault::Damaged);
  Outcome o = run(typeCount.bytes);
  EXPECT_EQ(o.fault, ModuleFault::Damaged);
  EXPECT_TRUE(o.names.empty());
}

TEST(HostileDirectory, BadEntriesAreSkippedOrUnreadable) {
  Directory nameOutside, idTooWide, leafOutside, hugeSize, langIsDirectory, noLanguages, nameLength;
  put32(nameOutside.bytes, Directory::kTypeDir + 16, kDir | 0x7FFFFFF0);
  put32(idTooWide.bytes, Directory::kTypeDir + 16, 0x12345);
  put32(leafOutside.bytes, Directory::kLeaf, 0xFFFFFFF0);
  put32(hugeSize.bytes, Directory::kLeaf + 4, 0xFFFFFFFF);
  put32(langIsDirectory.bytes, Directory::kLangDir + 20, kDir | Directory::kLangDir);
  put16(noLanguages.bytes, Directory::kLangDir + 14, 0);
  put16(nameLength.bytes, Directory::kName, 0xFFFF);
  for (const auto* d : {&nameOutside, &idTooWide, &nameLength}) {
    Outcome o = run(d->bytes);
    EXPECT_TRUE(o.listed);
    EXPECT_TRUE(o.names.empty());
  }
  for (const auto* d : {&leafOutside, &hugeSize, &langIsDirectory, &noLanguages}) {
    Outcome o = run(d->bytes);
    EXPECT_TRUE(o.listed);
    EXPECT_EQ(o.names, std::vector<std::string>{"AB"});
    EXPECT_EQ(o.readable, 0u);
  }
}

TEST(HostileDirectory, OverlappingLongNamesCannotMultiplyMemory) {
  // 60000 entries share one name of 65535 characters, each shown in full.
  std::string d;
  const std::uint32_t entries = 60000, typeDir = 0x18, nameAt = typeDir + 16 + entries * 8;
  put16(d, 14, 1);
  put32(d, 16, 10);
  put32(d, 20, kDir | typeDir);
  put16(d, typeDir + 12, static_cast<std::uint16_t>(entries));
  for (std::uint32_t i = 0; i < entries; ++i) {
    put32(d, typeDir + 16 + i * 8, kDir | nameAt);
    put32(d, typeDir + 20 + i * 8, kDir | 0);
  }
  put16(d, nameAt, 0xFFFF);
  for (std::uint32_t i = 0; i < 0xFFFF; ++i) put16(d, nameAt + 2 + 2 * i, 'A');
  Outcome o = run(d);
  EXPECT_EQ(o.fault, ModuleFault::Damaged);
  EXPECT_EQ(o.names.size(), 256u);  // 16 MiB of shown names
}

TEST(HostileDirectory, SharedStringTablesCannotMultiplyWork) {
  // 4096 blocks share one language table of 60000 entries, each leading to
  // one 0x1000-byte block: billions of strings, were they all believed.
  std::string d;
  const std::uint32_t blocks = 4096, languages = 60000, typeDir = 0x18, langDir = typeDir + 16 + blocks * 8,
                      leaf = langDir + 16 + languages * 8, data = leaf + 16;
  put16(d, 14, 1);
  put32(d, 16, 6);
  put32(d, 20, kDir | typeDir);
  put16(d, typeDir + 14, static_cast<std::uint16_t>(blocks));
  for (std::uint32_t i = 0; i < blocks; ++i) {
    put32(d, typeDir + 16 + i * 8, i + 1);
    put32(d, typeDir + 20 + i * 8, kDir | langDir);
  }
  put16(d, langDir + 14, static_cast<std::uint16_t>(languages));
  for (std::uint32_t i = 0; i < languages; ++i) {
    put32(d, langDir + 16 + i * 8, i);
    put32(d, langDir + 20 + i * 8, leaf);
  }
  put32(d, leaf, 0x1000 + data);
  put32(d, leaf + 4, 0x1000);
  for (std::uint32_t i = 0; i < 16; ++i) put16(d, data + i * 2 * 64, 63);
  d.resize(data + 0x1000);
  auto module = Module::openBytes(imageWith(d));
  const StringTables& tables = module->stringTables();
  ASSERT_TRUE(tables.directoryError.has_value());
  EXPECT_EQ(tables.directoryError->fault(), ModuleFault::Damaged);
  EXPECT_LE(tables.blocks.size(), std::size_t{1} << 17);
}

TEST(HostileHeaders, CutOffOrUnreadableResourcesFailToOpen) {
  const std::string whole = imageWith(Directory().bytes);
  std::string rootOutside = whole;
  put32(rootOutside, 0x58 + 96 + 16, 0x9000);  // no section holds it
  EXPECT_EQ(faultOf([&] { Module::openBytes(whole); }), std::nullopt);
  EXPECT_EQ(faultOf([&] { Module::openBytes(whole.substr(0, whole.size() - 1)); }), ModuleFault::Truncated);
  EXPECT_EQ(faultOf([&] { Module::openBytes(loadFixture("forms32.exe").substr(0, 4000)); }), ModuleFault::Truncated);
  EXPECT_EQ(faultOf([&] { Module::openBytes(rootOutside); }), ModuleFault::Damaged);
}

TEST(HostileHeaders, SectionTableAndDirectoriesOutsideTheFile) {
  std::string img = imageWith(Directory().bytes);
  std::string manySections = img, hugeOptional = img, noDirectories = img, pe32Plus = img;
  put16(manySections, 0x46, 0xFFFF);
  put16(hugeOptional, 0x54, 0xFFFF);
  put32(noDirectories, 0x58 + 92, 2);
  put16(pe32Plus, 0x58, 0x20B);  // too short an optional header for PE32+ with 16 directories
  EXPECT_EQ(faultOf([&] { Module::openBytes(manySections); }), ModuleFault::Truncated);
  EXPECT_EQ(faultOf([&] { Module::openBytes(hugeOptional); }), ModuleFault::Truncated);
  auto m = Module::openBytes(noDirectories);
  std::vector<std::string> names;
  vc::Outcome<EModuleError> listed = m->listFormNames(names);
  ASSERT_FALSE(listed);
  EXPECT_EQ(listed.reason().fault(), ModuleFault::NoResources);
  exercise(pe32Plus);
}

}  // namespace
}  // namespace vc::modres
