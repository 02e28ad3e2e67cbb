#pragma once
// A module (.exe, .dll, .cpl, .bpl) opened as data to read its form
// resources (the RT_RCDATA resources, named after the forms) and its string
// tables. The file stays
// open for as long as the Module lives; dropping it releases the module.
// Only the headers, the resource directory and the bytes of the resources
// asked for are read, never the whole file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "formstream/Stream.h"
#include "modres/ByteSource.h"
#include "modres/ModuleError.h"
#include "modres/PeImage.h"
#include "modres/ResourceDirectory.h"
#include "modres/StringTable.h"
#include "platform/Exception.h"
#include "platform/Outcome.h"

namespace vc {

// A form resource that the open module does not have: "資源 %s 未找到".
class EResNotFound : public Exception { using Exception::Exception; };

namespace modres {

// The bytes of one form resource. Reading it is a stream positioned at its
// start; any write fails with "無法寫入一個唯讀的資源流". Destroying it releases
// the resource.
class ResourceStream;

class Module {
 public:
  // Raises EModuleError, saying why, when the file does not exist, cannot be
  // read or is not a valid module image: cut short, or with a resource
  // directory that cannot be read. No code of the module runs.
  static std::unique_ptr<Module> open(const std::string& path);
  static std::unique_ptr<Module> openBytes(std::string bytes);

  // Appends the RT_RCDATA names in directory order, leaving out "DVCLAL" and
  // "PACKAGEINFO" (exact). Left out, with the module's error, when the module
  // has no RT_RCDATA resources or its directory cannot be walked; the names
  // appended before a failure stay.
  Outcome<EModuleError> listFormNames(std::vector<std::string>& list);

  // The resource of type RT_RCDATA named `name` (CP950 bytes): a listed name,
  // "#" and a decimal id, or a name differing from a stored one in ASCII case
  // only. Raises EResNotFound with the name otherwise.
  std::unique_ptr<ResourceStream> readFormResource(const std::string& name);

  // The RT_RCDATA entry readFormResource reads for `name`, or nullptr.
  const ResourceEntry* find(const std::string& name);

  // The string tables (RT_STRING) of every language, read once. Blocks that
  // cannot be read are refused one by one (errors); the forms are unaffected.
  const StringTables& stringTables();

  bool isPe32Plus() const { return m_image.isPe32Plus(); }
  std::uint64_t bytesRead() const { return m_source->bytesRead(); }

 private:
  Module(std::unique_ptr<ByteSource> source, PeImage image);
  static std::unique_ptr<Module> fromSource(std::unique_ptr<ByteSource> source);
  const std::vector<ResourceEntry>& entries();

  std::unique_ptr<ByteSource> m_source;
  PeImage m_image;
  bool m_walked = false;
  Outcome<EModuleError> m_listing;
  std::vector<ResourceEntry> m_entries;
  std::unordered_map<std::string, std::size_t> m_byShownName;  // first entry of each shown name
  std::optional<StringTables> m_stringTables;
};

// Holds its own copy of the bytes in front of the read-only view over them.
struct ResourceBytes {
  std::string bytes;
};

class ResourceStream : private ResourceBytes, public TReadOnlyMemoryStream {
 public:
  explicit ResourceStream(std::string bytes);
  std::string_view bytes() const { return ResourceBytes::bytes; }
};

}  // namespace modres
}  // namespace vc
