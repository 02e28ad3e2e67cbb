#include "modres/ModuleWriter.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "modres/ByteSource.h"
#include "modres/PeImage.h"
#include "modres/ResourceDirectory.h"
#include "platform/LittleEndian.h"

namespace vc::modres {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kDataAlignment = 8;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kCertificateTable = 4;
constexpr std::uint32_t kDefaultResourceCharacteristics = 0x40000040;  // initialized data, readable

using le::put16;
using le::put32;

std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool isPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

[[noreturn]] void refuse(const std::string& why) { throw EModuleWrite(why); }

// The headers and the resource directory of an image, or EModuleWrite with
// the reason they cannot be read.
void readTree(const std::string& bytes, std::optional<PeImage>& image, std::optional<ResourceNode>& root) {
  MemoryByteSource source(bytes);
  try {
    image = PeImage::parse(source);
  } catch (const EModuleError& e) {
    refuse(e.what());
  }
  std::string reason;
  root = readResourceTree(source, *image, reason);
  if (!root) refuse(reason);
}

// Directory order: named entries first, names compared as the loader's
// case-blind search compares them, then ids ascending.
bool entryBefore(const ResourceNode* a, const ResourceNode* b) {
  if (a->numeric != b->numeric) return !a->numeric;
  if (a->numeric) return a->id < b->id;
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; };
  return std::lexicographical_compare(a->name.begin(), a->name.end(), b->name.begin(), b->name.end(),
                                      [&](char16_t x, char16_t y) { return fold(x) < fold(y); });
}

std::vector<const ResourceNode*> ordered(const ResourceNode& table) {
  std::vector<const ResourceNode*> children;
  for (const ResourceNode& c : table.children) children.push_back(&c);
  std::stable_sort(children.begin(), children.end(), entryBefore);
  return children;
}

// The rebuilt section: tables (breadth first), data entries, name strings,
// then the data, each piece 8-byte aligned.
class SectionLayout {
 public:
  SectionLayout(const ResourceNode& root, const std::map<const ResourceNode*, const std::string*>& replaced)
      : m_replaced(replaced) {
    m_tables.push_back(&root);
    for (std::size_t i = 0; i < m_tables.size(); ++i)
      for (const ResourceNode* c : ordered(*m_tables[i])) (c->leaf ? m_leaves : m_tables).push_back(c);
    std::uint64_t at = 0;
    for (const ResourceNode* t : m_tables) {
      m_tableAt[t] = at;
      at += 16 + 8 * std::uint64_t{t->children.size()};
    }
    for (const ResourceNode* l : m_leaves) {
      m_entryAt[l] = at;
      at += 16;
    }
    for (const ResourceNode* t : m_tables)
      for (const ResourceNode& c : t->children)
        if (!c.numeric) {
          m_nameAt[&c] = at;
          at += 2 + 2 * std::uint64_t{c.name.size()};
        }
    for (const ResourceNode* l : m_leaves) {
      at = alignUp(at, kDataAlignment);
      m_dataAt[l] = at;
      at += size(l);
    }
    m_size = at;
    // Offsets inside the directory are 31 bits.
    if (m_size >= kHighBit) refuse("the resources would be larger than a resource section can hold");
  }

  std::uint64_t size() const { return m_size; }

  std::string build(const std::string& original, std::uint32_t sectionRva) const {
    std::string out(m_size, '\0');
    for (const ResourceNode* t : m_tables) {
      const std::uint64_t at = m_tableAt.at(t);
      std::memcpy(&out[at], t->tableHeader.data(), 12);
      std::uint32_t named = 0;
      for (const ResourceNode& c : t->children) named += c.numeric ? 0 : 1;
      put16(out, at + 12, named);
      put16(out, at + 14, static_cast<std::uint32_t>(t->children.size()) - named);
      std::uint64_t e = at + 16;
      for (const ResourceNode* c : ordered(*t)) {
        put32(out, e, c->numeric ? c->id : static_cast<std::uint32_t>(m_nameAt.at(c)) | kHighBit);
        put32(out, e + 4, c->leaf ? static_cast<std::uint32_t>(m_entryAt.at(c))
                                  : static_cast<std::uint32_t>(m_tableAt.at(c)) | kHighBit);
        e += 8;
      }
    }
    for (const auto& [node, at] : m_nameAt) {
      put16(out, at, static_cast<std::uint32_t>(node->name.size()));
      for (std::size_t i = 0; i < node->name.size(); ++i) put16(out, at + 2 + 2 * i, node->name[i]);
    }
    for (const ResourceNode* l : m_leaves) {
      const std::uint64_t at = m_entryAt.at(l);
      put32(out, at, sectionRva + static_cast<std::uint32_t>(m_dataAt.at(l)));
      put32(out, at + 4, static_cast<std::uint32_t>(size(l)));
      put32(out, at + 8, l->codePage);
      put32(out, at + 12, l->reserved);
      if (auto r = m_replaced.find(l); r != m_replaced.end())
        out.replace(m_dataAt.at(l), r->second->size(), *r->second);
      else
        out.replace(m_dataAt.at(l), l->data.size, original, l->data.offset, l->data.size);
    }
    return out;
  }

 private:
  std::uint64_t size(const ResourceNode* leaf) const {
    auto r = m_replaced.find(leaf);
    return r != m_replaced.end() ? r->second->size() : leaf->data.size;
  }

  const std::map<const ResourceNode*, const std::string*>& m_replaced;
  std::vector<const ResourceNode*> m_tables, m_leaves;
  std::map<const ResourceNode*, std::uint64_t> m_tableAt, m_entryAt, m_nameAt, m_dataAt;
  std::uint64_t m_size = 0;
};


}  // namespace

std::uint32_t imageChecksum(std::string_view image, std::uint64_t checksumOffset) {
  std::uint64_t sum = 0;
  for (std::uint64_t i = 0; i < image.size(); i += 2) {
    std::uint32_t word = static_cast<unsigned char>(image[i]);
    if (i + 1 < image.size()) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(image[i + 1])) << 8;
    if (i >= checksumOffset && i < checksumOffset + 4) word = 0;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return static_cast<std::uint32_t>(sum + image.size());
}

namespace {

bool sameId(const ResourceNode& node, const ResourceId& id) {
  return node.numeric == id.numeric && (id.numeric ? node.id == id.id : node.name == id.name);
}

const ResourceNode* childNamed(const ResourceNode* table, const ResourceId& id) {
  if (!table || table->leaf) return nullptr;
  for (const ResourceNode& c : table->children)
    if (sameId(c, id)) return &c;
  return nullptr;
}

std::string shownId(const ResourceId& id) {
  if (id.numeric) return "#" + std::to_string(id.id);
  std::string out;
  for (char16_t c : id.name) out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  return out;
}

// The leaf a replacement names, or why there is none.
const ResourceNode* leafFor(const ResourceNode& root, const ResourceReplacement& r) {
  const ResourceNode* entry = childNamed(childNamed(&root, r.type), r.name);
  const ResourceNode* leaf = nullptr;
  if (entry && !entry->leaf) {
    if (!r.language) {
      // The first language as stored, which is the one the reader reads.
      if (!entry->children.empty() && entry->children.front().leaf) leaf = &entry->children.front();
    } else {
      const ResourceNode* l = childNamed(entry, ResourceId{true, *r.language, {}});
      if (l && l->leaf) leaf = l;
    }
  }
  if (leaf) return leaf;
  if (r.type.numeric && r.type.id == kRtRcdata && !r.language)
    refuse("a replacement names no form resource of the module");
  refuse("a replacement names no resource of the module: type " + shownId(r.type) + ", " + shownId(r.name) +
         (r.language ? ", language " + std::to_string(*r.language) : std::string()));
}

}  // namespace

ResourceReplacement formResourceReplacement(const FormReplacement& form) {
  return {ResourceId{true, kRtRcdata, {}}, ResourceId{form.numeric, form.id, form.name}, std::nullopt, form.bytes};
}

PatchedModule replaceFormResources(const std::string& original, const std::vector<FormReplacement>& forms) {
  std::vector<ResourceReplacement> replacements;
  replacements.reserve(forms.size());
  for (const FormReplacement& f : forms) replacements.push_back(formResourceReplacement(f));
  return replaceResources(original, replacements);
}

PatchedModule replaceResources(const std::string& original, const std::vector<ResourceReplacement>& replacements) {
  std::optional<PeImage> image;
  std::optional<ResourceNode> root;
  readTree(original, image, root);

  std::map<const ResourceNode*, const std::string*> replaced;
  for (const ResourceReplacement& r : replacements) {
    const ResourceNode* leaf = leafFor(*root, r);
    if (r.bytes.size() >= kHighBit)
      refuse(r.type.numeric && r.type.id == kRtRcdata ? "a form is larger than a resource section can hold"
                                                      : "a resource is larger than a resource section can hold");
    replaced[leaf] = &r.bytes;
  }
  SectionLayout layout(*root, replaced);

  const PeLayout& header = image->layout();
  const std::uint32_t sectionCount = static_cast<std::uint32_t>(image->sections().size());
  const std::uint32_t directoryCount = static_cast<std::uint32_t>(image->directories().size());
  const std::uint32_t sectionAlignment = header.sectionAlignment;
  const std::uint32_t fileAlignment = header.fileAlignment;
  const std::uint32_t sizeOfHeaders = header.sizeOfHeaders;
  if (!isPowerOfTwo(fileAlignment) || !isPowerOfTwo(sectionAlignment))
    refuse("the module's section alignment is not a power of two");
  const std::vector<SectionHeader>& sections = image->sections();
  std::uint64_t sectionsEnd = sizeOfHeaders;
  std::uint64_t virtualEnd = 0;
  for (const SectionHeader& s : sections) {
    if (s.storedRawEnd() > original.size()) refuse("a section lies outside the file");
    sectionsEnd = std::max(sectionsEnd, s.storedRawEnd());
    virtualEnd = std::max(virtualEnd, s.virtualEnd());
  }
  if (sectionsEnd > original.size()) refuse("the headers lie outside the file");

  PatchedModule result;
  // The overlay: what follows the sections, less a certificate table (the
  // changes invalidate the signature it holds).
  std::string overlay = original.substr(sectionsEnd);
  if (directoryCount > kCertificateTable) {
    const std::uint64_t certificates = image->directories()[kCertificateTable].rva;
    const std::uint64_t certificatesSize = image->directories()[kCertificateTable].size;
    if (certificates != 0 || certificatesSize != 0) {
      if (certificates >= sectionsEnd && fitsIn(certificates, certificatesSize, original.size()))
        overlay.erase(certificates - sectionsEnd, certificatesSize);
      result.notes.push_back("the module's signature (certificate table) is removed: the changes invalidate it");
      result.signatureRemoved = true;
    }
  }

  const std::uint32_t resourceRva = image->resourceDirectory().rva;
  const SectionHeader* home = nullptr;
  for (const SectionHeader& s : sections)
    if (resourceRva >= s.virtualAddress && resourceRva < s.virtualEnd()) home = &s;
  // In place only when the section holds nothing but the resources and ends
  // both the image and the file.
  bool inPlace = home && home->virtualAddress == resourceRva && overlay.empty() && home->storedRawEnd() == sectionsEnd &&
                 home->virtualEnd() == virtualEnd && home->storedPointerToRawData % fileAlignment == 0;
  for (std::uint32_t i = 0; inPlace && i < directoryCount; ++i) {
    if (i == kResourceDirectory || i == kCertificateTable) continue;
    const std::uint32_t rva = image->directories()[i].rva;
    if (rva != 0 && rva >= home->virtualAddress && rva < home->virtualEnd()) inPlace = false;
  }
  for (const SectionHeader& s : sections)
    if (inPlace && &s != home && s.virtualAddress >= home->virtualAddress) inPlace = false;

  const std::uint64_t size = layout.size();
  const std::uint64_t rawSize = alignUp(size, fileAlignment);
  std::uint64_t rva, rawAt, headerAt;
  std::uint32_t characteristics = home ? home->characteristics : kDefaultResourceCharacteristics;
  std::int64_t initializedDelta = static_cast<std::int64_t>(rawSize);
  if (inPlace) {
    rva = home->virtualAddress;
    rawAt = home->storedPointerToRawData;
    headerAt = home->headerAt;
    initializedDelta -= home->sizeOfRawData;
  } else {
    std::uint64_t firstRaw = sectionsEnd;
    for (const SectionHeader& s : sections)
      if (s.sizeOfRawData) firstRaw = std::min<std::uint64_t>(firstRaw, s.storedPointerToRawData);
    headerAt = header.sectionTableAt + std::uint64_t{sectionCount} * kSectionHeaderSize;
    const bool room = sectionCount < 0xFFFF && headerAt + kSectionHeaderSize <= std::min<std::uint64_t>(sizeOfHeaders, firstRaw) &&
                      std::all_of(original.begin() + headerAt, original.begin() + headerAt + kSectionHeaderSize,
                                  [](char c) { return c == 0; });
    if (!room) refuse("the section table has no room for one more section");
    rva = alignUp(virtualEnd, sectionAlignment);
    rawAt = alignUp(sectionsEnd, fileAlignment);
  }
  const std::uint64_t imageEnd = alignUp(rva + size, sectionAlignment);
  if (imageEnd > 0xFFFFFFFFu || rawAt + rawSize + overlay.size() > 0xFFFFFFFFu)
    refuse("the module would be larger than the format can hold");

  std::string out = original.substr(0, inPlace ? rawAt : sectionsEnd);
  out.resize(rawAt, '\0');
  out += layout.build(original, static_cast<std::uint32_t>(rva));
  out.resize(rawAt + rawSize, '\0');
  out += overlay;

  if (!inPlace) {
    put16(out, header.numberOfSectionsAt(), sectionCount + 1);
    std::memcpy(&out[headerAt], ".rsrc\0\0\0", 8);
    put32(out, headerAt + 36, characteristics);
  }
  put32(out, headerAt + 8, static_cast<std::uint32_t>(size));
  put32(out, headerAt + 12, static_cast<std::uint32_t>(rva));
  put32(out, headerAt + 16, static_cast<std::uint32_t>(rawSize));
  put32(out, headerAt + 20, static_cast<std::uint32_t>(rawAt));

  std::uint64_t sizeOfImage = imageEnd;
  for (const SectionHeader& s : sections)
    if (!inPlace || &s != home) sizeOfImage = std::max(sizeOfImage, alignUp(s.virtualEnd(), sectionAlignment));
  put32(out, header.sizeOfImageAt(), static_cast<std::uint32_t>(sizeOfImage));
  const std::int64_t initialized = std::int64_t{header.sizeOfInitializedData} + initializedDelta;
  put32(out, header.sizeOfInitializedDataAt(), static_cast<std::uint32_t>(std::clamp<std::int64_t>(initialized, 0, 0xFFFFFFFF)));
  put32(out, header.directoryAt(kResourceDirectory), static_cast<std::uint32_t>(rva));
  put32(out, header.directoryAt(kResourceDirectory) + 4, static_cast<std::uint32_t>(size));
  if (directoryCount > kCertificateTable) {
    put32(out, header.directoryAt(kCertificateTable), 0);
    put32(out, header.directoryAt(kCertificateTable) + 4, 0);
  }
  put32(out, header.checksumAt(), imageChecksum(out, header.checksumAt()));
  result.image = std::move(out);
  return result;
}

std::string layOutResources(const std::string& module, std::uint32_t sectionRva) {
  std::optional<PeImage> image;
  std::optional<ResourceNode> root;
  readTree(module, image, root);
  if (image->resourceDirectory().rva == 0) refuse("the module holds no resources");
  const std::map<const ResourceNode*, const std::string*> none;
  return SectionLayout(*root, none).build(module, sectionRva);
}

}  // namespace vc::modres
