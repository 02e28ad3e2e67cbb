#pragma once
// Walks the resource directory of a PE image: the type level, the names of
// one type in directory order, and for each name its first language's data.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modres/ByteSource.h"
#include "modres/PeImage.h"

namespace vc::modres {

// Where a resource's bytes lie in the file.
struct ResourceData {
  std::uint64_t offset = 0;
  std::uint32_t size = 0;
};

struct ResourceEntry {
  std::string shownName;     // as listed (see ResourceName.h)
  std::u16string name;       // the stored name; empty for a numeric id
  bool numeric = false;
  std::uint16_t id = 0;
  std::optional<ResourceData> data;  // none when the entry leads to no readable data
};

constexpr std::uint16_t kRtString = 6;
constexpr std::uint16_t kRtRcdata = 10;

// Raises EModuleError when the image declares a resource directory whose top
// table cannot be read: the resources are damaged, not merely absent.
void checkResourceRoot(ByteSource& source, const PeImage& image);

// Appends the entries of resource type `type` in directory order. Raises
// EModuleError when the image has no resources (NoResources) or no such type
// (NoForms), or when its directory tables cannot be read (Truncated, Damaged,
// Loop); the entries appended before the failure stay. An entry whose name
// cannot be read is left out; one whose data cannot be located is kept
// without data.
void readResourceEntries(ByteSource& source, const PeImage& image, std::uint16_t type,
                         std::vector<ResourceEntry>& out);

// One language of a numbered resource: where its bytes lie.
struct ResourceLanguage {
  std::uint16_t id = 0;        // the resource's numeric id (names given as text are left out)
  std::uint16_t language = 0;  // the language id
  std::optional<ResourceData> data;  // none when its data entry or bytes lie outside the file
};

// Appends every language of every resource of `type` named by a numeric id,
// in directory order (id, then language). Nothing when the image has no
// resources or no such type. Raises EModuleError (Truncated, Damaged, Loop)
// when the type's tables cannot be read, or when they name more than
// maxEntries languages in all; the entries appended before stay.
void readResourceLanguages(ByteSource& source, const PeImage& image, std::uint16_t type,
                           std::vector<ResourceLanguage>& out, std::size_t maxEntries);

// The whole directory, three levels (type, name, language) as the loader
// reads it, for writing it again. A table keeps its 12 header bytes; a leaf
// keeps its code page and reserved field and where its bytes lie.
struct ResourceNode {
  bool numeric = true;
  std::uint32_t id = 0;
  std::u16string name;
  std::array<unsigned char, 12> tableHeader{};  // directories only
  std::vector<ResourceNode> children;
  bool leaf = false;
  ResourceData data;
  std::uint32_t codePage = 0;
  std::uint32_t reserved = 0;
};

// Reads every entry, or says why it cannot: a table, name or data entry
// outside the file, a leaf above the language level or a table below it (a
// loop), or more entries and bytes than a module of this size can hold.
std::optional<ResourceNode> readResourceTree(ByteSource& source, const PeImage& image, std::string& reason);

}  // namespace vc::modres
