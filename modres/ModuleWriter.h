#pragma once
// A copy of a module with some of its resources replaced (forms, string
// table blocks, or any resource named by type, name or id, and language):
// every other resource (type, name or id, language, bytes, code page) is kept
// byte for byte, the resource directory is laid out anew, and the headers
// follow. When the resource section ends the image, it is rewritten in place;
// otherwise the new resource data goes into a section added at the end (the
// old section stays, unused), and an overlay after the sections is kept after
// it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"

namespace vc {

// The module cannot be rewritten; the message says why.
class EModuleWrite : public Exception { using Exception::Exception; };

namespace modres {

// A resource type or name as the directory stores it: a number, or text.
struct ResourceId {
  bool numeric = true;
  std::uint16_t id = 0;
  std::u16string name;
};

// Replaces the bytes of the resource of this type and name in this language,
// or in its first language (directory order) when none is given.
struct ResourceReplacement {
  ResourceId type;
  ResourceId name;
  std::optional<std::uint16_t> language;
  std::string bytes;
};

// Replaces the first language of the RT_RCDATA entry with this name or id.
struct FormReplacement {
  bool numeric = false;
  std::uint16_t id = 0;
  std::u16string name;
  std::string bytes;
};

struct PatchedModule {
  std::string image;
  std::vector<std::string> notes;  // what changed beyond the forms (a removed signature)
  bool signatureRemoved = false;
};

// Any resources replaced. Raises EModuleWrite when the image cannot be read
// in full, a replacement names no resource of the module (the message says
// which one it names), the section table has no room for one more section,
// or the result would be too large for the format. Of two replacements of
// one resource the later one counts.
PatchedModule replaceResources(const std::string& original, const std::vector<ResourceReplacement>& replacements);

// The replacement that replaceFormResources makes of a form.
ResourceReplacement formResourceReplacement(const FormReplacement& form);

// Raises EModuleWrite when the image cannot be read in full, a replacement
// names no form resource, the section table has no room for one more
// section, or the result would be too large for the format.
PatchedModule replaceFormResources(const std::string& original, const std::vector<FormReplacement>& forms);

// The resource section of a module laid out anew at sectionRva, every
// resource kept as it is. Raises EModuleWrite as replaceFormResources does
// for an image or directory it cannot read.
std::string layOutResources(const std::string& module, std::uint32_t sectionRva);

// The image checksum of the optional header: the 16-bit one's complement sum
// of the file with the checksum field counted as zero, plus the file length.
std::uint32_t imageChecksum(std::string_view image, std::uint64_t checksumOffset);

}  // namespace modres
}  // namespace vc
