#pragma once
// The document kind of a path is decided by the (up to) three characters after
// its last dot, compared case-sensitively: FORM1.DFM is refused, a.dfmx is a
// form file. Loading and saving both decide by it.
#include <string_view>

namespace vc {

enum class DocumentKind { Module, Text, FormFile, Refused };

// True when the characters after the last "." of path (the path's first three
// characters when it has no dot) equal ext exactly.
bool hasExtension(std::string_view path, std::string_view ext);

// Tests in the order cpl, dll, exe (module), txt (text), dfm (form file).
DocumentKind documentKind(std::string_view path);

}  // namespace vc
