#pragma once
// A .dfm file may hold form text instead of a binary form file: what a
// Delphi IDE writes when forms are stored as text, in the ANSI code page or
// in UTF-8. Such a file is edited as CP950 form text and saved back in the
// encoding it came in, so that the file keeps its kind.
#include <string>
#include <string_view>

namespace vc {

enum class FormTextEncoding {
  Cp950,    // taken byte for byte (ASCII, Big5)
  Utf8,     // valid UTF-8 with non-ASCII characters, no byte-order mark
  Utf8Bom,  // starts with the UTF-8 byte-order mark
};

struct FormTextFile {
  FormTextEncoding encoding = FormTextEncoding::Cp950;
  std::string text;  // CP950 form text, the byte-order mark removed
  std::string lineBreak = "\r\n";  // the file's first line break: CR LF, LF or CR
};

// True when bytes start, after an optional UTF-8 byte-order mark and blanks,
// with the word "object", "inherited" or "inline" (any case).
bool isFormTextFile(std::string_view bytes);

// What a form file's bytes hold, by their start: the one rule for every
// reader of form files.
enum class FormFileKind {
  Binary,   // a binary form file: the resource header (0xFF ...), then the stream
  Stream,   // a bare binary form stream ("TPF0"...)
  Text,     // form text (isFormTextFile)
  Unknown,  // none of them
};
FormFileKind formFileKind(std::string_view bytes);

// Decodes the file's bytes to CP950 form text. Raises vc::Exception with a
// message that names the line when UTF-8 text holds a character that CP950
// cannot represent, or a byte-order mark precedes bytes that are not UTF-8:
// such a file is refused rather than changed.
FormTextFile readFormTextFile(std::string_view bytes);

// The bytes to store for CP950 form text in the given encoding. Raises
// vc::Exception naming the line when the text holds bytes that are not CP950
// characters and so have no UTF-8 form.
// The text's CR LF line breaks are written as lineBreak.
std::string encodeFormTextFile(std::string_view cp950Text, FormTextEncoding encoding,
                               std::string_view lineBreak = "\r\n");

}  // namespace vc
