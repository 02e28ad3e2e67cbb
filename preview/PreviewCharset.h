#pragma once
// Which code page a font's Charset gives the 8-bit strings of a control.
// Form data is CP950 by default: DEFAULT, ANSI, OEM, SYMBOL, MAC and
// CHINESEBIG5 fonts keep it, because Traditional Chinese programs leave the
// designer's ANSI_CHARSET in place and their Big5 captions show on their
// users' systems all the same. A font that names another script's charset
// (GB2312, SHIFTJIS, HANGEUL, RUSSIAN...) shows its bytes in that script's
// code page, as Windows draws them.
#include <QString>
#include <string>

#include "preview/PreviewTree.h"

namespace vc::preview {

// The charset number of a Font.Charset value (number or *_CHARSET name);
// -1 when it is neither.
int charsetOf(const Value& v);

// The iconv name of the code page for a charset, or nullptr for CP950.
const char* codePageOf(int charset);

// 8-bit string bytes in the given code page (nullptr: CP950); bytes that
// are no character come out as U+FFFD.
QString decode8(const std::string& bytes, const char* codePage = nullptr);

// Decodes again, in `codePage`, every 8-bit string among the values of c.
void redecodeStrings(Component& c, const char* codePage);

}  // namespace vc::preview
