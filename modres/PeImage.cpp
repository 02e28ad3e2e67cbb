#include "modres/PeImage.h"

#include <cstring>

namespace vc::modres {
namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

std::uint32_t u32At(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<PeImage> PeImage::parse(ByteSource& source) {
  PeImage image;
  image.m_fileSize = source.size();

  unsigned char mz[2];
  std::uint32_t peOffset = 0;
  if (!source.readAt(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return std::nullopt;
  if (!source.readU32(0x3C, peOffset)) return std::nullopt;

  unsigned char signature[4];
  if (!source.readAt(peOffset, signature, 4) || std::memcmp(signature, "PE\0\0", 4) != 0)
    return std::nullopt;

  const std::uint64_t coff = std::uint64_t{peOffset} + 4;
  std::uint16_t sectionCount = 0;
  std::uint16_t optionalSize = 0;
  if (!source.readU16(coff, image.m_machine) || !source.readU16(coff + 2, sectionCount) ||
      !source.readU16(coff + 16, optionalSize))
    return std::nullopt;

  const std::uint64_t optional = coff + kCoffHeaderSize;
  std::uint16_t magic = 0;
  if (optionalSize < 2 || !source.readU16(optional, magic)) return std::nullopt;
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return std::nullopt;
  image.m_pe32Plus = magic == kMagicPe32Plus;

  // The fixed part of the optional header ends with NumberOfRvaAndSizes; the
  // directories follow it, as many as both that count and the header size allow.
  const std::uint32_t directoriesAt = image.m_pe32Plus ? 112 : 96;
  if (optionalSize < directoriesAt) return std::nullopt;
  std::uint32_t fileAlignment = 0;
  std::uint32_t directoryCount = 0;
  if (!source.readU32(optional + 36, fileAlignment) ||
      !source.readU32(optional + directoriesAt - 4, directoryCount))
    return std::nullopt;
  const std::uint32_t directoriesInHeader = (optionalSize - directoriesAt) / 8;
  if (directoryCount > kResourceDirectoryIndex && directoriesInHeader > kResourceDirectoryIndex) {
    const std::uint64_t at = optional + directoriesAt + 8 * kResourceDirectoryIndex;
    if (!source.readU32(at, image.m_resources.rva) || !source.readU32(at + 4, image.m_resources.size))
      return std::nullopt;
  }

  // At most 65535 sections of 40 bytes: bounded, and checked against the file first.
  const std::uint64_t table = optional + optionalSize;
  const std::uint64_t tableSize = std::uint64_t{sectionCount} * kSectionHeaderSize;
  if (!fitsIn(table, tableSize, image.m_fileSize)) return std::nullopt;
  std::vector<unsigned char> raw(static_cast<std::size_t>(tableSize));
  if (!source.readAt(table, raw.data(), raw.size())) return std::nullopt;
  image.m_sections.resize(sectionCount);
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const unsigned char* h = raw.data() + i * kSectionHeaderSize;
    SectionHeader& s = image.m_sections[i];
    std::memcpy(s.name, h, 8);
    s.virtualSize = u32At(h + 8);
    s.virtualAddress = u32At(h + 12);
    s.sizeOfRawData = u32At(h + 16);
    s.pointerToRawData = u32At(h + 20);
    // The loader reads section data from a 512-byte boundary when the file
    // alignment is at least that large.
    if (fileAlignment >= 0x200) s.pointerToRawData &= ~std::uint32_t{0x1FF};
    // A section whose data the file does not hold is a cut-off copy, which the
    // system's loader refuses as well.
    if (!fitsIn(s.pointerToRawData, s.sizeOfRawData, image.m_fileSize)) return std::nullopt;
  }
  return image;
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
