#pragma once
// Form text as txt2bin and txt2dfm read it: CP950, or UTF-8 when asked for
// or when the text starts with the UTF-8 byte-order mark.
#include <memory>
#include <string>

#include "cli/Command.h"
#include "formstream/Stream.h"

namespace vc::cli {

void addFormTextUtf8(Arguments& args, bool& flag);

// The text at path ("-": standard input), ready for the parser.
std::unique_ptr<TStream> openFormText(const std::string& path, bool utf8);

}  // namespace vc::cli
