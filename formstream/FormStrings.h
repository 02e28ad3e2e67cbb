#pragma once
// The strings of a form that are text for people, read from its binary form
// stream: decoded to UTF-8, with the component and property they belong to
// and the line of the form text where they stand; and a copy of the stream
// with some of them replaced, every other byte kept.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

struct FormString {
  std::string component;  // path below the form, "Panel1.Button1"; empty for the form itself
  std::string property;   // "Caption", "Lines[3]", "Columns[0].Caption"
  std::string className;  // class of the component
  std::optional<std::int64_t> width;  // of the component, or of the collection item holding the string
  std::string text;       // UTF-8; each line break is "\n"
  std::size_t line = 0;   // 1-based line of the form text
  std::int64_t begin = 0;  // the stored value in the stream, tag included
  std::int64_t end = 0;
  unsigned char tag = 0;  // how it is stored
  std::string lineBreak;  // what "\n" stands for in the stored text
  std::string bytes;      // an 8-bit string's stored bytes (text is their CP950 reading)
};

// Every non-empty string of the stream ("TPF0"...) whose property is text for
// people, in stream order. Raises EReadError as BinaryToText does.
std::vector<FormString> readFormStrings(std::string_view stream);

// Why a property is not text for people; empty when it is. Every part of a
// dotted name counts: "Font.Name" and "SQL.Strings" are left out.
std::string_view leftOutReason(std::string_view propertyName);

struct StringReplacement {
  const FormString* string;  // one of readFormStrings(stream)
  std::string text;          // UTF-8, "\n" for line breaks
};

// Stored value bytes (tag included) to put in place of the stream's
// [begin, end): values other than strings, such as a font's charset.
struct ValueReplacement {
  std::int64_t begin = 0;
  std::int64_t end = 0;
  std::string stored;
};

// The stream with each string replaced. A text goes in as an 8-bit string
// when the string was one and CP950 holds every character; otherwise as a
// wide string, so that no character is lost. Values replaced as stored bytes
// must not overlap the strings.
std::string replaceFormStrings(std::string_view stream, std::vector<StringReplacement> replacements,
                               std::vector<ValueReplacement> values = {});

// A text as a stored string value: 8-bit CP950 bytes when eightBit and CP950
// holds every character, else a wide string.
std::string storedFormString(std::u16string_view text, bool eightBit);

// "\r\n", "\r" and "\n" in text all become "\n"; returns the first break
// met ("\r\n" when there is none), which is how the text goes back.
std::string normalizedBreaks(std::string& text);

}  // namespace vc
