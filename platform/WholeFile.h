#pragma once
// The one reader of whole files: a module, a form file, a PO file, read into
// memory at once.
#include <cstdint>
#include <limits>
#include <string>

#include "platform/Exception.h"

namespace vc {

// The file cannot be read; the message is "無法開啟文件 PATH" and, after
// "：", why.
class EFileRead : public Exception { using Exception::Exception; };

// The file's bytes. Raises EFileRead when it cannot be opened or read (a
// folder, a missing file, a read error), or is larger than limit bytes.
std::string readWholeFile(const std::string& path, std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

}  // namespace vc
