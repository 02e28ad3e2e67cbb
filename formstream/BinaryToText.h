#pragma once
// Renders one binary form stream ("TPF0"...) as form text: CP950 bytes,
// two blanks of indentation per level, CR LF line ends.
#include <cstdint>
#include <string>
#include <string_view>

#include "formstream/Stream.h"

namespace vc {

// One value other than a list, set, binary block or collection, as met while
// rendering: where its bytes lie in the input and on which line its text
// begins.
struct RenderedValue {
  unsigned char tag = 0;     // tag as stored (tagString, tagWString, tagInt8, ...)
  std::int64_t begin = 0;    // input position of the tag
  std::int64_t end = 0;      // input position behind the value
  std::size_t line = 0;      // 1-based line of the text
  std::string bytes;         // 8-bit strings (tags 6 and 12)
  std::u16string wide;       // wide and UTF-8 strings (tags 18 and 20)
  std::int64_t integer = 0;  // integer values
};

// Told the structure of the form while it is rendered, for callers that need
// the strings of a form together with their lines and input positions.
class RenderListener {
 public:
  virtual ~RenderListener() = default;
  virtual void beginObject(std::string_view className, std::string_view name) = 0;
  virtual void endProperties() = 0;  // the object's children follow
  virtual void endObject() = 0;
  virtual void beginProperty(std::string_view name) = 0;
  virtual void endProperty() = 0;
  virtual void beginList() = 0;  // a list or a collection; its items follow
  virtual void endList() = 0;
  virtual void beginItem() = 0;  // one item of a collection; properties follow
  virtual void endItem() = 0;
  virtual void value(const RenderedValue& v) = 0;
};

// Reads from input's current position to the end of the root object and
// appends the text to output. Malformed input raises EReadError; the output
// then keeps the text written before the failure, and the input is left
// behind the last byte consumed.
void BinaryToText(TStream& input, TStream& output, RenderListener* listener = nullptr);

}  // namespace vc
