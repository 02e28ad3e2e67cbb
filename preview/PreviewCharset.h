#pragma once
// The preview's reading of 8-bit strings: in the code page of the font in
// force for their control, as the translation core gives it (the form's
// charsets, and ANSI/DEFAULT_CHARSET as the module's ANSI code page, 950
// unless the user names another).
#include <QString>
#include <string>

#include "preview/PreviewTree.h"
#include "translation/SourceCodePage.h"

namespace vc::preview {

// The charset number of a Font.Charset value (number or *_CHARSET name);
// -1 when it is neither.
int charsetOf(const Value& v);

// The code page of a charset under the options.
int codePageOf(int charset, const SourceCodePageOptions& options);

// 8-bit string bytes in the given code page; bytes that are no character
// come out as U+FFFD.
QString decode8(const std::string& bytes, int codePage = 950);

// Decodes again, in `codePage`, every 8-bit string among the values of c.
void redecodeStrings(Component& c, int codePage);

}  // namespace vc::preview
