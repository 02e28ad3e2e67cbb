#pragma once
// Highlighter that treats plain text documents as HTML: text, entities,
// tags with their attributes, and comments and <% %> blocks spanning lines.
#include <cstddef>

#include "editor/highlight/LineScanner.h"

namespace vc {

class HtmlHighlighter : public LineScanner {
 public:
  enum TokenKind : int {
    Asp = 0,
    Comment = 1,
    EscapeAmpersand = 2,
    Identifier = 3,
    ReservedWord = 4,
    EndOfLine = 5,
    Space = 6,
    Symbol = 7,
    Text = 8,
    UnknownWord = 9,
    Value = 10,
  };
  // Range states carried from line to line.
  enum Range : RangeState {
    rsText = 0,      // outside any tag
    rsComment = 1,   // inside <!-- -->
    rsAsp = 2,       // inside <% %>
    rsTagName = 3,   // just after '<': the tag name comes next
    rsTag = 4,       // inside a tag, after its name
    rsValue = 5,     // inside a tag, after '=': an attribute value comes next
  };

  HtmlHighlighter();

  void setRangeState(RangeState state) override;
  HighlightAttributes* tokenAttributes() const override;
  void advance() override;
  void resetRangeState() override { m_range = rsText; }

  HighlightAttributes* AspAttri() const { return m_asp; }
  HighlightAttributes* CommentAttri() const { return m_comment; }
  HighlightAttributes* EscapeAttri() const { return m_escape; }
  HighlightAttributes* IdentifierAttri() const { return m_identifier; }
  HighlightAttributes* KeyAttri() const { return m_key; }
  HighlightAttributes* SpaceAttri() const { return m_space; }
  HighlightAttributes* SymbolAttri() const { return m_symbol; }
  HighlightAttributes* TextAttri() const { return m_text; }
  HighlightAttributes* UndefKeyAttri() const { return m_undefKey; }
  HighlightAttributes* ValueAttri() const { return m_value; }

  // The workbench's colours (the htmlsyn instance).
  void applyWorkbenchColours();

  // The tables, exposed for tests. Entity names (without '&' and ';') are
  // compared exactly, tag names ("B", "/B", "!DOCTYPE") without regard to case.
  static bool isEntityName(std::string_view name);
  static bool isTagName(std::string_view name);
  static std::size_t entityCount();
  static std::size_t tagCount();
  // The letter sum of the unknown-tag rule.
  static int letterSum(std::string_view name);

 private:
  void scanText();
  void scanAmpersand();
  void scanComment();
  void scanAsp();
  void scanTagName();
  void scanInTag();
  void scanValue();
  void scanQuoted();
  void scanSpace(bool controlOnly);
  void scanUntil(const char* close, std::size_t closeLen, int kind);


  HighlightAttributes* m_asp;
  HighlightAttributes* m_comment;
  HighlightAttributes* m_escape;
  HighlightAttributes* m_identifier;
  HighlightAttributes* m_key;
  HighlightAttributes* m_space;
  HighlightAttributes* m_symbol;
  HighlightAttributes* m_text;
  HighlightAttributes* m_undefKey;
  HighlightAttributes* m_value;
};

}  // namespace vc
