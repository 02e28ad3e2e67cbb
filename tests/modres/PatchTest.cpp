// Rewriting damaged and hostile modules: each ends in EModuleWrite with its
// reason, never in a crash or a half-made image.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "modres/Module.h"
#include "modres/ModuleWriter.h"
#include "modres/ResourceDll.h"

namespace vc::modres {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(VC_SOURCE_DIR) + "/tests/modres/fixtures/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t u32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}
void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// forms32.exe: PE32, resource section last; offsets read from its headers.
struct Layout {
  std::size_t optional, sectionTable, sections, resources;
};
Layout layoutOf(const std::string& image) {
  const std::size_t coff = u32(image, 0x3C) + 4;
  const std::size_t optional = coff + 20;
  const std::size_t count = static_cast<unsigned char>(image[coff + 2]);
  const std::size_t table = optional + (static_cast<unsigned char>(image[coff + 16]) | image[coff + 17] << 8);
  const std::size_t rsrc = table + (count - 1) * 40;  // the last section
  return {optional, table, count, u32(image, rsrc + 20)};
}

const FormReplacement kForm{true, 1234, {}, "TPF0"};

TEST(PatchHostile, RefusesWithItsReason) {
  const std::string whole = fixture("forms32.exe");
  const Layout at = layoutOf(whole);
  struct Case {
    const char* why;
    std::string image;
  };
  std::vector<Case> cases;
  // A cut module is refused as soon as its sections run past the end.
  cases.push_back({"truncated module", whole.substr(0, whole.size() - 200)});
  std::string loop = whole;
  put32(loop, at.resources + 16 + 4, 0x80000000u);  // the first type leads back to the root
  cases.push_back({"nests too deep", loop});
  std::string huge = whole;
  // The first data entry follows the tables; find it by its RVA inside the section.
  for (std::size_t p = at.resources; p + 16 < whole.size(); p += 4)
    if (u32(whole, p + 8) == 0 && u32(whole, p) > 0x1000 && u32(whole, p + 4) < 0x400 && u32(whole, p + 4) > 0) {
      put32(huge, p + 4, 0x7FFFFFF0u);
      break;
    }
  cases.push_back({"outside the file", huge});
  std::string full = whole + "overlay";  // needs a new section
  for (std::size_t i = 0; i < 40; ++i) full[at.sectionTable + at.sections * 40 + i] = 'x';
  cases.push_back({"no room", full});
  for (const Case& c : cases) {
    try {
      replaceFormResources(c.image, {kForm});
      ADD_FAILURE() << "accepted: " << c.why;
    } catch (const EModuleWrite& e) {
      EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
    }
  }
}

TEST(PatchHostile, EveryTruncationRefusesOrWritesAFullImage) {
  const std::string whole = fixture("forms64.dll");
  for (std::size_t len = 0; len < whole.size(); len += 7) {
    try {
      EXPECT_GE(replaceFormResources(whole.substr(0, len), {kForm}).image.size(), len / 2);
    } catch (const EModuleWrite&) {
    }
  }
}

// The resource-only DLL of a module lists the same forms with the same
// bytes; modules it cannot be made from are refused, truncated ones too.
TEST(ResourceDll, HoldsTheModulesFormsOrRefuses) {
  for (const char* name : {"forms32.exe", "forms64.dll"}) {
    const std::string image = fixture(name);
    const std::string dll = resourceOnlyDll(image);
    const std::size_t checksum = layoutOf(dll).optional + 64;
    EXPECT_EQ(imageChecksum(dll, checksum), u32(dll, checksum)) << name;
    auto module = Module::openBytes(image);
    auto satellite = Module::openBytes(dll);
    std::vector<std::string> names, held;
    ASSERT_TRUE(module->listFormNames(names));
    ASSERT_TRUE(satellite->listFormNames(held));
    // The directory is laid out in the loader's case-blind order.
    std::sort(names.begin(), names.end());
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, names) << name;
    for (const std::string& n : names)
      EXPECT_EQ(std::string(satellite->readFormResource(n)->bytes()), std::string(module->readFormResource(n)->bytes()));
  }
  for (const std::string& refused : {fixture("nores32.exe"), std::string("MZ"), fixture("forms32.exe").substr(0, 3000)})
    EXPECT_THROW(resourceOnlyDll(refused), EModuleWrite);
}

TEST(PatchChecksum, MatchesTheLinkers) {
  for (const char* name : {"forms32.exe", "forms64.dll"}) {
    const std::string image = fixture(name);
    const std::size_t field = layoutOf(image).optional + 64;
    EXPECT_EQ(imageChecksum(image, field), u32(image, field)) << name;
  }
}

}  // namespace
}  // namespace vc::modres
