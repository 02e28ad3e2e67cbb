#pragma once
// The string tables of a module (RT_STRING resources: Delphi's resource
// strings, the messages of its runtime library, the buttons of its message
// dialogs), in every language the module has them. The resource of block B
// holds the strings B×16−16 … B×16−1 in order, each a 16-bit count and that
// many UTF-16 code units; an empty string is a count of zero. Every count is
// checked against the block's end: a block that does not hold its 16 strings
// is refused with its reason, and the other blocks stay readable.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modres/ByteSource.h"
#include "modres/ModuleError.h"
#include "modres/ModuleWriter.h"
#include "modres/PeImage.h"

namespace vc::modres {

constexpr std::size_t kStringsPerBlock = 16;
constexpr std::uint16_t kLastStringBlock = 4096;  // holds string 65535
constexpr std::size_t kMaxStringUnits = 0xFFFF;   // what a count can say

constexpr std::uint16_t stringBlockOf(std::uint16_t id) { return static_cast<std::uint16_t>(id / 16 + 1); }
constexpr std::uint16_t firstStringOf(std::uint16_t block) { return static_cast<std::uint16_t>((block - 1) * 16); }

// The 16 strings of a block, and the bytes after them (padding some
// compilers add), which a rebuilt block keeps as they are.
struct StringBlockText {
  std::array<std::u16string, kStringsPerBlock> strings;
  std::string trailing;
};

// Why a block is refused.
enum class StringBlockFault {
  CountPastEnd,  // a string's units run past the end of the block
  EndsEarly,     // the block ends before the count of one of its strings
  OutsideFile,   // its directory entry leads to no bytes inside the file
  BadBlockId,    // block 0, or one past 4096, which no string id reaches
};

struct StringBlockError {
  std::uint16_t block = 0;
  std::uint16_t language = 0;
  StringBlockFault fault = StringBlockFault::CountPastEnd;
  std::size_t index = 0;  // the string (0..15) whose count is wrong
  std::size_t count = 0;  // that count
  std::size_t at = 0;     // where the count stands in the block
  std::size_t size = 0;   // the block's size in bytes
  // "string table block 4077 (strings 65216-65231, language 1031): ..."
  std::string reason() const;
};

// The strings of a block's bytes, or nothing with error filled in.
std::optional<StringBlockText> decodeStringBlock(std::string_view bytes, std::uint16_t block, std::uint16_t language,
                                                 StringBlockError* error = nullptr);
// The bytes of a block: each string as its count and units, then the
// trailing bytes. A string over kMaxStringUnits raises EModuleWrite.
std::string encodeStringBlock(const StringBlockText& text);

struct StringBlock {
  std::uint16_t block = 0;
  std::uint16_t language = 0;
  std::optional<StringBlockText> text;  // none when the block is refused
};

// One string of a string table, by its id and language.
struct ResourceString {
  std::uint16_t id = 0;
  std::uint16_t language = 0;
  std::u16string text;
  bool operator==(const ResourceString&) const = default;
};

struct StringTables {
  std::vector<StringBlock> blocks;  // directory order: block, then language
  std::vector<StringBlockError> errors;
  // Set when the RT_STRING directory could not be walked in full; the blocks
  // found before stay.
  std::optional<EModuleError> directoryError;

  bool empty() const { return blocks.empty(); }
  // The lowest language id of any block (refused ones included, so that a
  // damaged block does not change which language comes first).
  std::optional<std::uint16_t> firstLanguage() const;
  // The non-empty strings of every readable block, by id, then language.
  std::vector<ResourceString> strings() const;
  std::size_t count() const;
  const StringBlock* find(std::uint16_t block, std::uint16_t language) const;
};

// Walks the RT_STRING directory and reads every block. Never raises: damage
// ends up in directoryError and errors.
StringTables readStringTables(ByteSource& source, const PeImage& image);

// The rebuilt blocks that hold the strings given (each replacing the string
// of its id and language; the block's other strings and trailing bytes
// kept), as replacements for the module writer. Raises EModuleWrite when a
// string names no readable block, or is longer than a count can say.
std::vector<ResourceReplacement> stringTableReplacements(const StringTables& tables,
                                                         const std::vector<ResourceString>& strings);

}  // namespace vc::modres
