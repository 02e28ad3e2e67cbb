#pragma once
// The line scanner contract between a highlighter and the editor.
//
// Calling order for one line: setRangeState(stored state of the line),
// startLine(text, index), then while !atLineEnd(): read tokenStart(),
// tokenText(), tokenKind(), tokenAttributes(), and advance(). After the last
// token rangeState() is the state at the start of the next line.
//
// One highlighter may serve several editors; all scanner state is transient
// and the editor always sets the range state and the line before reading.
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/HighlightAttributes.h"

namespace vc {

// Opaque per-line scanner state; 0 is the reset state of every highlighter.
using RangeState = std::uint32_t;

// A set of bytes (used for the word characters).
using CharSet = std::bitset<256>;

// Told when any attribute set of the highlighter changes.
class HighlighterClient {
 public:
  virtual void highlighterAttributesChanged() = 0;
  // The highlighter is going away: forget it.
  virtual void highlighterDestroyed() {}

 protected:
  ~HighlighterClient() = default;
};

class Highlighter {
 public:
  Highlighter();
  virtual ~Highlighter();
  Highlighter(const Highlighter&) = delete;
  Highlighter& operator=(const Highlighter&) = delete;

  virtual void setRangeState(RangeState state) = 0;
  // The line is a CP950 byte string; it is scanned up to its end or its first
  // NUL byte, whichever comes first. The bytes must outlive the scan.
  virtual void startLine(std::string_view line, int lineIndex) = 0;
  virtual bool atLineEnd() const = 0;
  virtual int tokenStart() const = 0;
  // A view into the line handed to startLine: no copy is made.
  virtual std::string_view tokenText() const = 0;
  virtual int tokenKind() const = 0;
  // Null for the end-of-line token.
  virtual HighlightAttributes* tokenAttributes() const = 0;
  virtual void advance() = 0;
  virtual RangeState rangeState() const = 0;
  virtual void resetRangeState() = 0;
  virtual const CharSet& wordCharacters() const;

  // The attribute sets, sorted by name.
  int attributeCount() const { return static_cast<int>(m_attributes.size()); }
  HighlightAttributes* attribute(int index) const { return m_attributes[static_cast<std::size_t>(index)]; }
  // The set of that name, or null.
  HighlightAttributes* attributeByName(std::string_view name) const;
  bool anyAttributeBold() const;

  // Editors register here to hear about attribute changes.
  void addClient(HighlighterClient* client);
  void removeClient(HighlighterClient* client);

  // 0-9, A-Z, _, a-z.
  static const CharSet& defaultWordCharacters();

 protected:
  // Creates a set owned by this highlighter and files it under its name; a
  // second set of an existing name is kept alive but not listed.
  HighlightAttributes* addAttribute(const std::string& name);

 private:
  static void attributeChanged(void* self);

  std::vector<std::unique_ptr<HighlightAttributes>> m_owned;
  std::vector<HighlightAttributes*> m_attributes;  // sorted by name
  std::vector<HighlighterClient*> m_clients;
};

}  // namespace vc
