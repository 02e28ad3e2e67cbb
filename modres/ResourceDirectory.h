#pragma once
// Walks the resource directory of a PE image: the type level, the names of
// one type in directory order, and for each name its first language's data.
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

constexpr std::uint16_t kRtRcdata = 10;

// Appends the entries of resource type `type` in directory order. False when
// the image has no such type, or its directory tables cannot be read; the
// entries appended before the failure stay. An entry whose name cannot be
// read is left out; one whose data cannot be located is kept without data.
bool readResourceEntries(ByteSource& source, const PeImage& image, std::uint16_t type,
                         std::vector<ResourceEntry>& out);

}  // namespace vc::modres
