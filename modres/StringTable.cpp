#include "modres/StringTable.h"

#include <algorithm>
#include <map>

#include "modres/ResourceDirectory.h"
#include "platform/LittleEndian.h"

namespace vc::modres {
namespace {

// A real module has at most 4096 blocks in a handful of languages; shared
// tables in a hostile one could name far more.
constexpr std::size_t kMaxBlockEntries = 1u << 17;
// The blocks' bytes together; beyond this the directory is not believed.
constexpr std::uint64_t kSharedDataSlack = 64u << 20;

void put16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

std::string StringBlockError::reason() const {
  std::string where = "string table block " + std::to_string(block);
  if (block >= 1 && block <= kLastStringBlock)
    where += " (strings " + std::to_string(firstStringOf(block)) + "-" + std::to_string(firstStringOf(block) + 15) +
             ", language " + std::to_string(language) + ")";
  else
    where += " (language " + std::to_string(language) + ")";
  const std::string id = block >= 1 && block <= kLastStringBlock
                             ? "string " + std::to_string(firstStringOf(block) + index)
                             : "string " + std::to_string(index);
  switch (fault) {
    case StringBlockFault::CountPastEnd:
      return where + ": " + id + " counts " + std::to_string(count) + " units at byte " + std::to_string(at) +
             ", which run past the block's end (" + std::to_string(size) + " bytes)";
    case StringBlockFault::EndsEarly:
      return where + ": the block ends (" + std::to_string(size) + " bytes) before the count of " + id;
    case StringBlockFault::OutsideFile:
      return where + ": its data lies outside the file";
    case StringBlockFault::BadBlockId:
      return where + ": no string id lies in this block (blocks run from 1 to 4096)";
  }
  return where;
}

std::optional<StringBlockText> decodeStringBlock(std::string_view bytes, std::uint16_t block, std::uint16_t language,
                                                 StringBlockError* error) {
  StringBlockText text;
  le::ByteCursor c(bytes);
  for (std::size_t i = 0; i < kStringsPerBlock; ++i) {
    const std::size_t at = c.offset();
    std::uint16_t count = 0;
    if (!c.u16(count)) {
      if (error) *error = {block, language, StringBlockFault::EndsEarly, i, 0, at, bytes.size()};
      return std::nullopt;
    }
    if (!c.utf16(count, text.strings[i])) {
      if (error) *error = {block, language, StringBlockFault::CountPastEnd, i, count, at, bytes.size()};
      return std::nullopt;
    }
  }
  text.trailing = std::string(bytes.substr(c.offset()));
  return text;
}

std::string encodeStringBlock(const StringBlockText& text) {
  std::size_t size = text.trailing.size();
  for (const std::u16string& s : text.strings) {
    if (s.size() > kMaxStringUnits)
      throw EModuleWrite("a resource string is longer than a string table can hold (" + std::to_string(s.size()) +
                         " UTF-16 units; at most " + std::to_string(kMaxStringUnits) + ")");
    size += 2 + 2 * s.size();
  }
  std::string out;
  out.reserve(size);
  for (const std::u16string& s : text.strings) {
    put16(out, static_cast<std::uint32_t>(s.size()));
    for (char16_t u : s) put16(out, u);
  }
  out += text.trailing;
  return out;
}

std::optional<std::uint16_t> StringTables::firstLanguage() const {
  std::optional<std::uint16_t> first;
  for (const StringBlock& b : blocks)
    if (!first || b.language < *first) first = b.language;
  return first;
}

std::vector<ResourceString> StringTables::strings() const {
  std::vector<ResourceString> out;
  for (const StringBlock& b : blocks) {
    if (!b.text) continue;
    for (std::size_t i = 0; i < kStringsPerBlock; ++i)
      if (!b.text->strings[i].empty())
        out.push_back({static_cast<std::uint16_t>(firstStringOf(b.block) + i), b.language, b.text->strings[i]});
  }
  std::stable_sort(out.begin(), out.end(), [](const ResourceString& a, const ResourceString& b) {
    return a.id != b.id ? a.id < b.id : a.language < b.language;
  });
  return out;
}

std::size_t StringTables::count() const {
  std::size_t n = 0;
  for (const StringBlock& b : blocks)
    if (b.text)
      for (const std::u16string& s : b.text->strings) n += s.empty() ? 0 : 1;
  return n;
}

const StringBlock* StringTables::find(std::uint16_t block, std::uint16_t language) const {
  for (const StringBlock& b : blocks)
    if (b.block == block && b.language == language) return &b;
  return nullptr;
}

StringTables readStringTables(ByteSource& source, const PeImage& image) {
  StringTables tables;
  std::vector<ResourceLanguage> entries;
  try {
    readResourceLanguages(source, image, kRtString, entries, kMaxBlockEntries);
  } catch (const EModuleError& e) {
    tables.directoryError = e;
  }
  const std::uint64_t maxBytes = source.size() + kSharedDataSlack;
  std::uint64_t bytes = 0;
  std::string data;
  for (const ResourceLanguage& e : entries) {
    StringBlockError error{e.id, e.language, StringBlockFault::BadBlockId, 0, 0, 0, 0};
    if (e.id == 0 || e.id > kLastStringBlock) {
      tables.errors.push_back(error);
      continue;
    }
    StringBlock block{e.id, e.language, std::nullopt};
    if (e.data && (bytes += e.data->size) > maxBytes) {
      tables.directoryError =
          EModuleError(ModuleFault::Damaged, "damaged resource directory: the string tables claim more bytes than the module holds");
      break;
    }
    data.resize(e.data ? e.data->size : 0);
    if (!e.data || !source.readAt(e.data->offset, data.data(), data.size())) {
      error.fault = StringBlockFault::OutsideFile;
      tables.errors.push_back(error);
    } else {
      block.text = decodeStringBlock(data, e.id, e.language, &error);
      if (!block.text) tables.errors.push_back(error);
    }
    tables.blocks.push_back(std::move(block));
  }
  return tables;
}

std::vector<ResourceReplacement> stringTableReplacements(const StringTables& tables,
                                                         const std::vector<ResourceString>& strings) {
  // Each block changed, in directory order.
  std::map<std::pair<std::uint16_t, std::uint16_t>, StringBlockText> changed;
  for (const ResourceString& s : strings) {
    const std::uint16_t block = stringBlockOf(s.id);
    const StringBlock* b = tables.find(block, s.language);
    if (!b || !b->text)
      throw EModuleWrite("resource string " + std::to_string(s.id) + " (language " + std::to_string(s.language) +
                         ") lies in no readable string table block of the module");
    if (s.text.size() > kMaxStringUnits)
      throw EModuleWrite("resource string " + std::to_string(s.id) + " is longer than a string table can hold (" +
                         std::to_string(s.text.size()) + " UTF-16 units; at most " + std::to_string(kMaxStringUnits) + ")");
    auto it = changed.try_emplace({block, s.language}, *b->text).first;
    it->second.strings[s.id - firstStringOf(block)] = s.text;
  }
  std::vector<ResourceReplacement> out;
  for (const auto& [key, text] : changed)
    out.push_back({ResourceId{true, kRtString, {}}, ResourceId{true, key.first, {}}, key.second, encodeStringBlock(text)});
  return out;
}

}  // namespace vc::modres
