#pragma once
// The string table as a file (`formtext strings` writes it, `formtext apply`
// reads it): rows LINE<TAB>NAME<TAB>VALUE, one for each property line that
// write-back can write. A value is text, in CP950 or in UTF-8; a string's
// value is its whole decoded text.
// Characters a row cannot carry as they are stand as escapes:
//   \\  a backslash        \t  a tab        \n  a line feed   \r  a carriage return
//   \uXXXX  a UTF-16 code unit the file's encoding cannot hold (4 hex digits)
//   \xHH    a byte of the form that is no CP950 character (2 hex digits)
// A backslash before anything else stands for itself.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "translation/SourceCodePage.h"

namespace vc {

class WriteBack;

std::string tableField(std::u16string_view text, bool utf8);
std::u16string fromTableField(std::string_view field, bool utf8);

struct TableRow {
  std::size_t lineNumber = 0;  // 1-based
  std::string name;            // CP950
  std::u16string value;        // a string's text decoded in its source code page
  int codePage = 950;          // the source code page of its line
};

// The rows of a form text's lines that write-back can write: property lines
// (no list items or continuation lines), but no lists, collections, binary
// data or broken strings.
std::vector<TableRow> stringTableRows(const std::vector<std::string>& lines, const SourceCodePageOptions& codePages = {});

// The lines of a text with the line end each one had ("" for a last line
// without one). The lines are those of splitTextLines.
struct TextLines {
  std::vector<std::string> lines;
  std::vector<std::string_view> ends;  // views into the text
};
TextLines textLines(std::string_view text);

// The text after writeBack's writes into its lines: lines it did not write
// keep their bytes and line ends; rewritten lines end as the text's first
// line does, the last of them as the last line it replaced did.
std::string writtenText(std::string_view text, const TextLines& lines, const WriteBack& writeBack);

}  // namespace vc
