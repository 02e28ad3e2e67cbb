#include "modres/Module.h"

#include "formstream/Errors.h"
#include "modres/ResourceName.h"
#include "platform/Cp950.h"

namespace vc::modres {
namespace {

const std::u16string kDvclal = u"DVCLAL";
const std::u16string kPackageInfo = u"PACKAGEINFO";

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    // A byte behind a lead byte is half of a double-byte character, not a letter.
    if (cp950::isTrailByte(a, i) || cp950::isTrailByte(b, i)) {
      if (a[i] != b[i]) return false;
    } else if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

ResourceStream::ResourceStream(std::string bytes)
    : ResourceBytes{std::move(bytes)},
      TReadOnlyMemoryStream(ResourceBytes::bytes.data(), ResourceBytes::bytes.size(),
                            msg::kReadOnlyResourceStream) {}

Module::Module(std::unique_ptr<ByteSource> source, PeImage image)
    : m_source(std::move(source)), m_image(std::move(image)) {}

std::unique_ptr<Module> Module::fromSource(std::unique_ptr<ByteSource> source) {
  PeImage image = PeImage::parse(*source);
  checkResourceRoot(*source, image);
  return std::unique_ptr<Module>(new Module(std::move(source), std::move(image)));
}

std::unique_ptr<Module> Module::open(const std::string& path) {
  return fromSource(FileByteSource::open(path));
}

std::unique_ptr<Module> Module::openBytes(std::string bytes) {
  return fromSource(std::make_unique<MemoryByteSource>(std::move(bytes)));
}

const std::vector<ResourceEntry>& Module::entries() {
  if (!m_walked) {
    m_walked = true;
    try {
      readResourceEntries(*m_source, m_image, kRtRcdata, m_entries);
    } catch (const EModuleError& e) {
      m_listing = Outcome<EModuleError>::leftOut(e);
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) m_byShownName.try_emplace(m_entries[i].shownName, i);
  }
  return m_entries;
}

Outcome<EModuleError> Module::listFormNames(std::vector<std::string>& list) {
  for (const ResourceEntry& e : entries()) {
    if (!e.numeric && (e.name == kDvclal || e.name == kPackageInfo)) continue;
    list.push_back(e.shownName);
  }
  return m_listing;
}

const ResourceEntry* Module::find(const std::string& name) {
  const std::vector<ResourceEntry>& all = entries();
  if (auto it = m_byShownName.find(name); it != m_byShownName.end()) return &all[it->second];
  if (std::optional<std::uint16_t> id = parseResourceId(name)) {
    for (const ResourceEntry& e : all)
      if (e.numeric && e.id == *id) return &e;
    return nullptr;
  }
  // The system's own lookup upper-cases names given as text.
  for (const ResourceEntry& e : all)
    if (!e.numeric && equalsIgnoringAsciiCase(e.shownName, name)) return &e;
  return nullptr;
}

const StringTables& Module::stringTables() {
  if (!m_stringTables) m_stringTables = readStringTables(*m_source, m_image);
  return *m_stringTables;
}

std::unique_ptr<ResourceStream> Module::readFormResource(const std::string& name) {
  const ResourceEntry* entry = find(name);
  std::string bytes;
  bool ok = entry != nullptr && entry->data.has_value();
  if (ok) {
    bytes.resize(entry->data->size);
    ok = m_source->readAt(entry->data->offset, bytes.data(), bytes.size());
  }
  if (!ok) throw EResNotFound("資源 " + cp950::toUtf8(name) + " 未找到");
  return std::make_unique<ResourceStream>(std::move(bytes));
}

}  // namespace vc::modres
