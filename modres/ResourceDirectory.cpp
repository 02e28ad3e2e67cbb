#include "modres/ResourceDirectory.h"

#include "modres/ResourceName.h"
#include "platform/LittleEndian.h"

namespace vc::modres {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kEntrySize = 8;
// The shown names of one listing together; beyond this the listing fails
// rather than let overlapping name strings multiply memory.
constexpr std::size_t kMaxNameBytes = 16u << 20;

struct RawEntry {
  std::uint32_t name = 0;
  std::uint32_t target = 0;
};

// Offsets inside the directory are relative to its start and at most 31 bits;
// every one is mapped through the section table and checked before reading.
class Walker {
 public:
  Walker(ByteSource& source, const PeImage& image)
      : m_source(source), m_image(image), m_base(image.resourceDirectory().rva) {}

  bool read(std::uint32_t offset, void* buffer, std::uint32_t count) {
    auto at = m_image.rvaToOffset(std::uint64_t{m_base} + offset, count);
    return at && m_source.readAt(*at, buffer, count);
  }

  // read(), or the reason it failed.
  void mustRead(std::uint32_t offset, void* buffer, std::uint32_t count, const char* what) {
    if (!read(offset, buffer, count)) throw m_image.whyNotInFile(std::uint64_t{m_base} + offset, what);
  }

  bool entryCount(std::uint32_t directory, std::uint32_t& count) {
    unsigned char header[kDirectoryHeaderSize];
    if (!read(directory, header, sizeof header)) return false;
    count = std::uint32_t{le::u16(header + 12)} + le::u16(header + 14);
    return true;
  }

  // The whole entry table: at most 131070 entries, and only once it is known
  // to lie inside the file.
  void table(std::uint32_t directory, std::vector<RawEntry>& entries, const char* what) {
    unsigned char header[kDirectoryHeaderSize];
    mustRead(directory, header, sizeof header, what);
    const std::uint32_t count = std::uint32_t{le::u16(header + 12)} + le::u16(header + 14);
    const std::uint64_t first = std::uint64_t{directory} + kDirectoryHeaderSize;
    const std::uint64_t bytes = std::uint64_t{count} * kEntrySize;
    if (first + bytes > kHighBit)
      throw EModuleError(ModuleFault::Damaged, std::string("damaged resource directory: ") + what + " too large");
    std::string raw(static_cast<std::size_t>(bytes), '\0');
    mustRead(static_cast<std::uint32_t>(first), raw.data(), static_cast<std::uint32_t>(bytes), what);
    le::ByteCursor c(raw);
    entries.resize(count);
    for (RawEntry& e : entries) c.u32(e.name), c.u32(e.target);
  }

  bool name(std::uint32_t offset, std::u16string& out) {
    unsigned char len[2];
    if (!read(offset, len, 2)) return false;
    const std::uint32_t units = le::u16(len);
    if (std::uint64_t{offset} + 2 + 2 * units > kHighBit) return false;
    std::string raw(2 * units, '\0');
    if (!read(offset + 2, raw.data(), 2 * units)) return false;
    out = le::utf16(reinterpret_cast<const unsigned char*>(raw.data()), units);
    return true;
  }

  // The first language of a name, which must be a data entry: the directory
  // is read three levels deep and never further, so no chain of
  // subdirectories can lead the walk on.
  std::optional<ResourceData> firstLanguage(std::uint32_t directory) {
    std::uint32_t count = 0;
    unsigned char entry[kEntrySize];
    if (!entryCount(directory, count) || count == 0) return std::nullopt;
    if (std::uint64_t{directory} + kDirectoryHeaderSize + kEntrySize > kHighBit) return std::nullopt;
    if (!read(directory + kDirectoryHeaderSize, entry, kEntrySize)) return std::nullopt;
    const std::uint32_t target = le::u32(entry + 4);
    if (target & kHighBit) return std::nullopt;
    return dataEntry(target);
  }

  // The data entry at offset, when it and the bytes it names lie in the file.
  std::optional<ResourceData> dataEntry(std::uint32_t offset) {
    unsigned char leaf[16];
    if (!read(offset, leaf, sizeof leaf)) return std::nullopt;
    const std::uint32_t rva = le::u32(leaf);
    const std::uint32_t size = le::u32(leaf + 4);
    auto at = m_image.rvaToOffset(rva, size);
    if (!at) return std::nullopt;
    return ResourceData{*at, size};
  }

 private:
  ByteSource& m_source;
  const PeImage& m_image;
  std::uint32_t m_base;
};

// Where the directory of the numeric resource type lies in the section,
// when the root lists it as a directory.
std::optional<std::uint32_t> typeDirectoryOf(Walker& walker, std::uint16_t type) {
  std::vector<RawEntry> types;
  walker.table(0, types, "the resource directory");
  for (const RawEntry& e : types)
    if (!(e.name & kHighBit) && e.name == type)
      return e.target & kHighBit ? std::optional<std::uint32_t>(e.target & ~kHighBit) : std::nullopt;
  return std::nullopt;
}

}  // namespace

void checkResourceRoot(ByteSource& source, const PeImage& image) {
  if (image.resourceDirectory().rva == 0) return;
  std::vector<RawEntry> types;
  Walker(source, image).table(0, types, "the resource directory");
}

void readResourceEntries(ByteSource& source, const PeImage& image, std::uint16_t type,
                         std::vector<ResourceEntry>& out) {
  if (image.resourceDirectory().rva == 0)
    throw EModuleError(ModuleFault::NoResources, "no resources: the module has no resource directory");
  Walker walker(source, image);

  const std::optional<std::uint32_t> typeDirectory = typeDirectoryOf(walker, type);
  if (!typeDirectory) throw EModuleError(ModuleFault::NoForms, "no forms: the module has no RT_RCDATA resources");
  // A type directory that is the root again would loop.
  if (*typeDirectory == 0) throw EModuleError(ModuleFault::Loop, "loop in the resource directory");

  std::vector<RawEntry> names;
  walker.table(*typeDirectory, names, "the RT_RCDATA directory");
  std::size_t nameBytes = 0;
  for (const RawEntry& e : names) {
    ResourceEntry entry;
    if (e.name & kHighBit) {
      if (!walker.name(e.name & ~kHighBit, entry.name)) continue;
      entry.shownName = shownResourceName(entry.name);
    } else {
      if (e.name > 0xFFFF) continue;
      entry.numeric = true;
      entry.id = static_cast<std::uint16_t>(e.name);
      entry.shownName = shownResourceId(entry.id);
    }
    nameBytes += entry.shownName.size();
    if (nameBytes > kMaxNameBytes)
      throw EModuleError(ModuleFault::Damaged, "damaged resource directory: more than 16 MiB of names");
    if (e.target & kHighBit) {
      const std::uint32_t languages = e.target & ~kHighBit;
      // Pointing back at the root or the type directory is a loop, not a language level.
      if (languages != 0 && languages != *typeDirectory) entry.data = walker.firstLanguage(languages);
    }
    out.push_back(std::move(entry));
  }
}

void readResourceLanguages(ByteSource& source, const PeImage& image, std::uint16_t type,
                           std::vector<ResourceLanguage>& out, std::size_t maxEntries) {
  if (image.resourceDirectory().rva == 0) return;
  Walker walker(source, image);
  const std::optional<std::uint32_t> typeDirectory = typeDirectoryOf(walker, type);
  if (!typeDirectory) return;
  if (*typeDirectory == 0) throw EModuleError(ModuleFault::Loop, "loop in the resource directory");

  const std::string what = "the directory of resource type " + std::to_string(type);
  std::vector<RawEntry> names, languages;
  walker.table(*typeDirectory, names, what.c_str());
  std::size_t entries = 0;
  for (const RawEntry& n : names) {
    // Only numbered resources of a type that is looked up by number; a
    // language level that is the root or the type directory again is a loop.
    if ((n.name & kHighBit) || n.name > 0xFFFF || !(n.target & kHighBit)) continue;
    const std::uint32_t languageDirectory = n.target & ~kHighBit;
    if (languageDirectory == 0 || languageDirectory == *typeDirectory)
      throw EModuleError(ModuleFault::Loop, "loop in the resource directory");
    walker.table(languageDirectory, languages, (what + ", resource " + std::to_string(n.name)).c_str());
    // Shared tables could name far more entries than the file holds.
    if ((entries += languages.size()) > maxEntries)
      throw EModuleError(ModuleFault::Damaged, "damaged resource directory: more than " + std::to_string(maxEntries) +
                                                   " entries of resource type " + std::to_string(type));
    for (const RawEntry& l : languages) {
      if ((l.name & kHighBit) || l.name > 0xFFFF) continue;
      ResourceLanguage entry;
      entry.id = static_cast<std::uint16_t>(n.name);
      entry.language = static_cast<std::uint16_t>(l.name);
      // A language entry leads to data, never to a further table.
      if (!(l.target & kHighBit)) entry.data = walker.dataEntry(l.target);
      out.push_back(entry);
    }
  }
}

}  // namespace vc::modres

namespace vc::modres {
namespace {

// A directory a hostile image builds from shared tables can name far more
// entries and bytes than it holds; a real one names each entry once.
constexpr std::size_t kMaxTreeEntries = 1u << 20;
constexpr std::uint64_t kSharedDataSlack = 64u << 20;

class TreeReader {
 public:
  TreeReader(ByteSource& source, const PeImage& image, std::string& reason)
      : m_walker(source, image), m_image(image), m_reason(reason),
        m_maxDataBytes(source.size() + kSharedDataSlack) {}

  bool fail(const std::string& why) {
    m_reason = why;
    return false;
  }

  // level 0 is the root (types), 1 names, 2 languages.
  bool table(std::uint32_t offset, int level, ResourceNode& node) {
    if (!m_walker.read(offset, node.tableHeader.data(), 12))
      return fail("a resource directory table lies outside the file");
    std::vector<RawEntry> raw;
    try {
      m_walker.table(offset, raw, "a resource directory table");
    } catch (const EModuleError& e) {
      return fail(e.what());
    }
    if ((m_entries += raw.size()) > kMaxTreeEntries) return fail("the resource directory has too many entries");
    node.children.resize(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
      ResourceNode& child = node.children[i];
      if (raw[i].name & kHighBit) {
        child.numeric = false;
        if (!m_walker.name(raw[i].name & ~kHighBit, child.name))
          return fail("a resource name lies outside the file");
      } else {
        child.id = raw[i].name;
      }
      const bool subdirectory = raw[i].target & kHighBit;
      if (subdirectory != (level < 2))
        return fail(level < 2 ? "a resource directory ends early" : "the resource directory nests too deep (a loop)");
      if (subdirectory) {
        if (!table(raw[i].target & ~kHighBit, level + 1, child)) return false;
      } else if (!leaf(raw[i].target, child)) {
        return false;
      }
    }
    return true;
  }

  bool leaf(std::uint32_t offset, ResourceNode& node) {
    unsigned char entry[16];
    if (!m_walker.read(offset, entry, sizeof entry)) return fail("a resource data entry lies outside the file");
    node.leaf = true;
    node.data.size = le::u32(entry + 4);
    node.codePage = le::u32(entry + 8);
    node.reserved = le::u32(entry + 12);
    auto at = m_image.rvaToOffset(le::u32(entry), node.data.size);
    if (!at) return fail("the data of a resource lies outside the file");
    node.data.offset = *at;
    if ((m_dataBytes += node.data.size) > m_maxDataBytes) return fail("the resources claim more bytes than the module holds");
    return true;
  }

 private:
  Walker m_walker;
  const PeImage& m_image;
  std::string& m_reason;
  std::size_t m_entries = 0;
  std::uint64_t m_dataBytes = 0;
  std::uint64_t m_maxDataBytes;
};

}  // namespace

std::optional<ResourceNode> readResourceTree(ByteSource& source, const PeImage& image, std::string& reason) {
  if (image.resourceDirectory().rva == 0) {
    reason = "the module has no resources";
    return std::nullopt;
  }
  ResourceNode root;
  TreeReader reader(source, image, reason);
  if (!reader.table(0, 0, root)) return std::nullopt;
  return root;
}

}  // namespace vc::modres
