#pragma once
// The option bits of findReplace.
#include <cstdint>

namespace vc {

enum SearchOption : std::uint8_t {
  MatchCase = 1,      // compare bytes exactly; otherwise fold single-byte letters
  WholeWord = 2,      // a match must not touch a letter or digit on either side
  Backward = 4,       // search from the end of the scope towards its start
  WholeScope = 8,     // search the whole scope; otherwise start at the caret
  SelectionOnly = 16, // the scope is the selection
  ReplaceOne = 32,    // replace the first match found, then stop
  ReplaceAll = 64,    // replace every match in the scope
  PromptReplace = 128 // ask before each replacement (never set by the workbench)
};
using SearchOptions = std::uint8_t;

}  // namespace vc
