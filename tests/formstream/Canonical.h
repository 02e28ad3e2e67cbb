#pragma once
// Test helper: the canonical re-encoding of a binary form stream, computed
// straight from the stream (not through form text): what converting its
// rendering back must give.
#include <string>
#include <string_view>

namespace vc::test {

// The re-encoded root object with "TPF0" in front; bytes behind the root
// object are dropped. Raises what the reader raises for malformed input.
std::string canonicalStream(std::string_view binary);

}  // namespace vc::test
