#pragma once
// The code page a form's 8-bit strings were written in: that of the
// Font.Charset in force for their component (its own Font, else the one it
// inherits along ParentFont up to the form). ANSI_CHARSET and DEFAULT_CHARSET
// stand for the module's ANSI code page, 950 unless the user names another.
// The PO exchange, the string table, the checks and the preview all read
// strings through these routines. Form data itself stays CP950 bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "translation/WriteBack.h"

namespace vc {

class FontNameMap;

// How a module's 8-bit strings are read: what ANSI_CHARSET and
// DEFAULT_CHARSET stand for, the module's ANSI code page. 0 is automatic:
// the code page its forms' fonts name (see guessedAnsiCodePage), else 950.
struct SourceCodePageOptions {
  int ansiCodePage = 0;
  int ansi() const { return ansiCodePage ? ansiCodePage : 950; }
};

inline constexpr int kDefaultCharset = 1;
inline constexpr int kChineseBig5Charset = 136;

// The code pages a user may name as the module's ANSI code page.
const std::vector<int>& sourceCodePages();
// "936" or "cp936" as a code page of sourceCodePages(); nullopt otherwise.
std::optional<int> parseSourceCodePage(std::string_view text);

// The charset number of a Font.Charset value as written: a number or a
// *_CHARSET name (any case). nullopt when it is neither.
std::optional<int> charsetNumber(std::string_view value);
// The *_CHARSET name of a charset number; empty when it has none.
std::string_view charsetName(int charset);
// The code page of a charset. ANSI, DEFAULT, SYMBOL, MAC, OEM and unknown
// numbers give the module's ANSI code page.
int charsetCodePage(int charset, const SourceCodePageOptions& options);
// True when writing Traditional Chinese under this charset needs it changed
// to CHINESEBIG5_CHARSET: any charset but CHINESEBIG5, ANSI and DEFAULT.
bool charsetNeedsBig5(int charset);

// The ANSI code page of the system a module was designed on, as its forms'
// stored font charsets tell it: the code page of a charset other than
// ANSI, DEFAULT, SYMBOL, MAC and OEM that more than half of them name
// (a Simplified Chinese program's designer leaves GB2312_CHARSET on every
// font); 950 when none does. Streams that cannot be read count for nothing.
int guessedAnsiCodePage(const std::vector<std::string_view>& streams);
// The same from form text lines ("Font.Charset = ..." and the like).
int guessedAnsiCodePage(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt);
// options with an automatic ANSI code page settled by guessing from streams.
SourceCodePageOptions resolvedCodePages(const SourceCodePageOptions& options,
                                        const std::vector<std::string_view>& streams);

// What one component says of its font.
struct ComponentFont {
  std::optional<int> charset;      // its Font.Charset
  std::optional<bool> parentFont;  // its ParentFont
  bool anyFontProperty = false;    // it stores some Font.* property
};
// True when the component's font is its own: ParentFont False, or ParentFont
// not stored and some Font.* property stored. The form's font is always its own.
bool ownsFont(const ComponentFont& own, bool isForm);
// The charset in force for a component whose parent's is `inherited`
// (DEFAULT_CHARSET for the form).
int charsetInForce(const ComponentFont& own, bool isForm, int inherited);

// The fonts of a binary form stream ("TPF0"...) as they govern its strings.
struct FormFonts {
  // A stored font: a component's Font whose charset is in force for some
  // strings (a governor), or another font property of a component that
  // holds strings (TitleFont: a grid's column titles).
  struct Font {
    int charset = kDefaultCharset;
    int codePage = 950;
    // Its stored Charset and Name values ([begin, end) of the stream, tag
    // included); end == 0 when not stored.
    std::int64_t charsetBegin = 0, charsetEnd = 0;
    bool charsetIsIdent = false;
    std::int64_t nameBegin = 0, nameEnd = 0;
    bool nameIsEightBit = false;
    std::u16string name;  // decoded in its code page
  };
  std::vector<Font> fonts;
  struct StringFont {
    int codePage = 950;
    std::size_t governor = 0;  // the font whose charset is in force
    std::size_t holder = 0;    // the component holding the string: index of holderFonts
  };
  // By the stream position of each string value (its tag).
  std::map<std::int64_t, StringFont> strings;
  // The other font properties of each component holding strings.
  std::vector<std::vector<std::size_t>> holderFonts;
  // The string at the position; the form's font for one not listed.
  const StringFont& at(std::int64_t begin) const;
};

// Reads the fonts of a stream. Raises EReadError as BinaryToText does.
FormFonts readFormFonts(std::string_view stream, const SourceCodePageOptions& options);

// The code page of each line of a form text (0-based lines, read through
// lineAt): that of the component the line belongs to. Lines that are no part
// of a component get the ANSI code page. Broken text is read as far as it goes.
std::vector<int> lineCodePages(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                               const SourceCodePageOptions& options);
std::vector<int> lineCodePages(const std::vector<std::string>& lines, const SourceCodePageOptions& options);

// The fonts of a form text as they govern its lines.
struct FormTextFonts {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // A component's own font: its Font.Charset and Font.Name lines (0-based;
  // kNone when not written, or a name not quoted whole on its line).
  struct Font {
    int charset = kDefaultCharset;
    int codePage = 950;
    std::size_t charsetLine = kNone, nameLine = kNone;
    std::string charsetProperty, nameProperty;  // the names as the lines write them
    std::u16string name;  // decoded in its code page
  };
  std::vector<Font> fonts;
  std::vector<int> codePages;          // of each line, as lineCodePages gives them
  std::vector<std::size_t> governor;   // of each line: the font in force (kNone outside components)
};
FormTextFonts readFormTextFonts(std::size_t lineCount, const std::function<std::string_view(std::size_t)>& lineAt,
                                const SourceCodePageOptions& options);

// The rows that make the fonts governing translated lines (0-based lines of
// translated strings) show Big5: another script's Font.Charset becomes
// CHINESEBIG5_CHARSET, a Font.Name of that script its counterpart. Written
// with the translations' own WriteBack, they are one change with them.
std::vector<WriteBackRow> traditionalFontRows(const FormTextFonts& fonts, const std::vector<std::size_t>& translatedLines,
                                              const FontNameMap& fontNames);

// Font names of other scripts and their Traditional Chinese counterparts,
// read from a UTF-8 file of lines "SOURCE<TAB>TARGET" ("#" starts a comment
// line). Names compare without regard to ASCII case.
class FontNameMap {
 public:
  FontNameMap() = default;
  static FontNameMap parse(std::string_view utf8);
  // The map the program ships (res/fontnames.tsv beside the program or in
  // its installed data folder); the copy built in when neither is there.
  static const FontNameMap& shipped();
  // The counterpart of name; nullopt when the table has none.
  std::optional<std::u16string> map(std::u16string_view name) const;
  std::size_t size() const { return m_names.size(); }

 private:
  std::map<std::u16string, std::u16string> m_names;  // keys with ASCII letters lowered
};

// Where the shipped font name map is looked for, first found first.
std::vector<std::string> fontNameMapPaths();

}  // namespace vc
