#pragma once
// Replacing a file without ever leaving it damaged: the new contents go to a
// temporary file in the same folder, which is then renamed over the target.
#include <string>
#include <string_view>

namespace vc {

// Writes bytes to path atomically. Raises vc::Exception with a message naming
// the file when anything fails; the previous file (if any) is then unchanged
// and no temporary file is left behind.
void writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vc
