#pragma once
// The headers of a PE/COFF image (PE32 or PE32+, any machine), decoded into
// values: enough to find the resource directory and map its addresses to
// file offsets. Nothing of the image is loaded or run.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modres/ByteSource.h"
#include "modres/ModuleError.h"

namespace vc::modres {

struct SectionHeader {
  char name[9] = {};
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t sizeOfRawData = 0;
  std::uint32_t pointerToRawData = 0;  // already rounded as the loader rounds it
  std::uint32_t storedPointerToRawData = 0;  // as the header holds it
  std::uint32_t characteristics = 0;
  std::uint64_t headerAt = 0;  // file offset of this section's header

  std::uint64_t virtualEnd() const { return std::uint64_t{virtualAddress} + (virtualSize ? virtualSize : sizeOfRawData); }
  // End of the data as stored (unrounded); 0 for a section without file data.
  std::uint64_t storedRawEnd() const { return sizeOfRawData ? std::uint64_t{storedPointerToRawData} + sizeOfRawData : 0; }
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

// Where the header fields a writer changes lie in the file, and the values
// of the ones it needs; all of them inside the headers parse() checked.
struct PeLayout {
  std::uint64_t coffAt = 0;          // the COFF file header
  std::uint64_t optionalAt = 0;      // the optional header
  std::uint64_t directoriesAt = 0;   // data directory 0
  std::uint64_t sectionTableAt = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t sizeOfInitializedData = 0;

  std::uint64_t numberOfSectionsAt() const { return coffAt + 2; }
  std::uint64_t sizeOfInitializedDataAt() const { return optionalAt + 8; }
  std::uint64_t sizeOfImageAt() const { return optionalAt + 56; }
  std::uint64_t checksumAt() const { return optionalAt + 64; }
  std::uint64_t directoryAt(std::uint32_t index) const { return directoriesAt + 8 * std::uint64_t{index}; }
};

class PeImage {
 public:
  // Raises EModuleError: NotAModule without the MZ and PE signatures or
  // with an unknown optional header, Truncated when headers or section data
  // lie beyond the end.
  static PeImage parse(ByteSource& source);

  bool isPe32Plus() const { return m_pe32Plus; }
  std::uint16_t machine() const { return m_machine; }
  // Data directory 2; rva 0 when the image has none.
  DataDirectory resourceDirectory() const { return m_resources; }
  const std::vector<SectionHeader>& sections() const { return m_sections; }
  // Every data directory the header holds: as many as both its count and
  // the optional header's size allow.
  const std::vector<DataDirectory>& directories() const { return m_directories; }
  const PeLayout& layout() const { return m_layout; }

  // File offset of the count bytes starting at rva, when all of them are
  // backed by the file data of one section and lie inside the file.
  std::optional<std::uint64_t> rvaToOffset(std::uint64_t rva, std::uint64_t count) const;
  // Why rvaToOffset found nothing for rva (Damaged): the bytes run outside
  // the file data of their section, or no section holds them.
  EModuleError whyNotInFile(std::uint64_t rva, const std::string& what) const;

 private:
  bool m_pe32Plus = false;
  std::uint16_t m_machine = 0;
  std::uint64_t m_fileSize = 0;
  DataDirectory m_resources;
  std::vector<DataDirectory> m_directories;
  PeLayout m_layout;
  std::vector<SectionHeader> m_sections;
};

}  // namespace vc::modres
