#include "modres/PeImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/LittleEndian.h"

namespace vc::modres {
namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

std::string hex(std::uint64_t value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
  return buf;
}

[[noreturn]] void notAModule(const std::string& why) { throw EModuleError(ModuleFault::NotAModule, "not a module: " + why); }
[[noreturn]] void truncated(const std::string& what) {
  throw EModuleError(ModuleFault::Truncated, "truncated module: " + what + " ends beyond the end of the file");
}

}  // namespace

PeImage PeImage::parse(ByteSource& source) {
  PeImage image;
  image.m_fileSize = source.size();

  unsigned char mz[2];
  std::uint32_t peOffset = 0;
  if (!source.readAt(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') notAModule("no MZ signature");
  if (!source.readU32(0x3C, peOffset)) notAModule("no PE header");

  unsigned char signature[4];
  if (!source.readAt(peOffset, signature, 4) || std::memcmp(signature, "PE\0\0", 4) != 0)
    notAModule("no PE signature at " + hex(peOffset));

  const std::uint64_t coff = std::uint64_t{peOffset} + 4;
  std::uint16_t sectionCount = 0;
  std::uint16_t optionalSize = 0;
  if (!source.readU16(coff, image.m_machine) || !source.readU16(coff + 2, sectionCount) ||
      !source.readU16(coff + 16, optionalSize))
    truncated("the COFF header");

  const std::uint64_t optional = coff + kCoffHeaderSize;
  std::uint16_t magic = 0;
  if (optionalSize < 2) notAModule("no optional header");
  if (!source.readU16(optional, magic)) truncated("the optional header");
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) notAModule("unknown optional header magic " + hex(magic));
  image.m_pe32Plus = magic == kMagicPe32Plus;

  // The fixed part of the optional header ends with NumberOfRvaAndSizes; the
  // directories follow it, as many as both that count and the header size allow.
  const std::uint32_t directoriesAt = image.m_pe32Plus ? 112 : 96;
  if (optionalSize < directoriesAt) notAModule("optional header too short");
  PeLayout& layout = image.m_layout;
  layout.coffAt = coff;
  layout.optionalAt = optional;
  layout.directoriesAt = optional + directoriesAt;
  layout.sectionTableAt = optional + optionalSize;
  std::uint32_t directoryCount = 0;
  if (!source.readU32(optional + 8, layout.sizeOfInitializedData) ||
      !source.readU32(optional + 32, layout.sectionAlignment) || !source.readU32(optional + 36, layout.fileAlignment) ||
      !source.readU32(optional + 60, layout.sizeOfHeaders) ||
      !source.readU32(optional + directoriesAt - 4, directoryCount))
    truncated("the optional header");
  const std::uint32_t fileAlignment = layout.fileAlignment;
  const std::uint32_t directoriesInHeader = (optionalSize - directoriesAt) / 8;
  if (directoryCount > kResourceDirectoryIndex && directoriesInHeader > kResourceDirectoryIndex) {
    const std::uint64_t at = optional + directoriesAt + 8 * kResourceDirectoryIndex;
    if (!source.readU32(at, image.m_resources.rva) || !source.readU32(at + 4, image.m_resources.size))
      truncated("the optional header");
  }

  // At most 65535 sections of 40 bytes: bounded, and checked against the file first.
  const std::uint64_t table = optional + optionalSize;
  const std::uint64_t tableSize = std::uint64_t{sectionCount} * kSectionHeaderSize;
  if (!fitsIn(table, tableSize, image.m_fileSize)) truncated("the section table");
  std::string raw(static_cast<std::size_t>(tableSize), '\0');
  if (!source.readAt(table, raw.data(), raw.size())) truncated("the section table");
  // The headers end where the section table does, so the directories are
  // inside the file now.
  image.m_directories.resize(std::min(directoryCount, directoriesInHeader));
  for (std::size_t i = 0; i < image.m_directories.size(); ++i) {
    DataDirectory& d = image.m_directories[i];
    if (!source.readU32(layout.directoryAt(i), d.rva) || !source.readU32(layout.directoryAt(i) + 4, d.size))
      truncated("the optional header");
  }
  image.m_sections.resize(sectionCount);
  le::ByteCursor c(raw);
  std::uint64_t headerAt = table;
  for (SectionHeader& s : image.m_sections) {
    s.headerAt = headerAt;
    headerAt += kSectionHeaderSize;
    std::string_view name;
    c.bytes(8, name);
    std::memcpy(s.name, name.data(), 8);
    c.u32(s.virtualSize);
    c.u32(s.virtualAddress);
    c.u32(s.sizeOfRawData);
    c.u32(s.pointerToRawData);
    s.storedPointerToRawData = s.pointerToRawData;
    c.skip(12);  // relocations, line numbers and their counts
    c.u32(s.characteristics);
    // The loader reads section data from a 512-byte boundary when the file
    // alignment is at least that large.
    if (fileAlignment >= 0x200) s.pointerToRawData &= ~std::uint32_t{0x1FF};
    // A section whose data the file does not hold is a cut-off copy, which the
    // system's loader refuses as well.
    if (!fitsIn(s.pointerToRawData, s.sizeOfRawData, image.m_fileSize))
      truncated("the data of section " + std::string(s.name));
  }
  return image;
}

EModuleError PeImage::whyNotInFile(std::uint64_t rva, const std::string& what) const {
  // Section data past the end of the file was refused by parse().
  for (const SectionHeader& s : m_sections) {
    const std::uint64_t span = std::max(s.virtualSize, s.sizeOfRawData);
    if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
    return EModuleError(ModuleFault::Damaged, "damaged resource directory: " + what + " at RVA " + hex(rva) +
                                                  " runs outside the file data of its section");
  }
  return EModuleError(ModuleFault::Damaged,
                      "damaged resource directory: " + what + " at RVA " + hex(rva) + " lies outside every section");
}

std::optional<std::uint64_t> PeImage::rvaToOffset(std::uint64_t rva, std::uint64_t count) const {
  for (const SectionHeader& s : m_sections) {
    if (rva < s.virtualAddress) continue;
    const std::uint64_t within = rva - s.virtualAddress;
    if (!fitsIn(within, count, s.sizeOfRawData)) continue;
    const std::uint64_t offset = std::uint64_t{s.pointerToRawData} + within;
    if (!fitsIn(offset, count, m_fileSize)) continue;
    return offset;
  }
  return std::nullopt;
}

}  // namespace vc::modres
