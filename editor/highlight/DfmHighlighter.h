#pragma once
// Highlighter for form text: nested object ... end blocks of property lines,
// with binary property data as hex digits in braces that may span lines.
#include <array>

#include "editor/highlight/LineScanner.h"

namespace vc {

class DfmHighlighter : public LineScanner {
 public:
  // Token kinds, numbered as tokenKind() reports them.
  enum TokenKind : int {
    Comment = 0,
    Identifier = 1,
    Key = 2,
    EndOfLine = 3,
    Number = 4,
    Space = 5,
    String = 6,
    Symbol = 7,
    Other = 8,
  };
  // Range states.
  enum Range : RangeState { rsOutside = 0, rsBraceBlock = 1 };

  DfmHighlighter();

  void setRangeState(RangeState state) override;
  HighlightAttributes* tokenAttributes() const override;
  void advance() override;
  void resetRangeState() override { m_range = rsOutside; }

  HighlightAttributes* CommentAttri() const { return m_comment; }
  HighlightAttributes* IdentifierAttri() const { return m_identifier; }
  HighlightAttributes* KeyAttri() const { return m_key; }
  HighlightAttributes* NumberAttri() const { return m_number; }
  HighlightAttributes* SpaceAttri() const { return m_space; }
  HighlightAttributes* StringAttri() const { return m_string; }
  HighlightAttributes* SymbolAttri() const { return m_symbol; }

  // The workbench's colours and styles (the formsyn instance).
  void applyWorkbenchColours();

 private:
  using Rule = void (DfmHighlighter::*)();

  void ruleEndOfLine();
  void ruleLineFeed();
  void ruleCarriageReturn();
  void ruleSpace();
  void ruleHash();
  void ruleDollar();
  void ruleQuote();
  void ruleSymbol();
  void ruleNumber();
  void ruleE();
  void ruleO();
  void ruleIdentifier();
  void ruleBraceOpen();
  void ruleBraceClose();
  void ruleOther();
  void ruleBlock();
  bool keyword(const char* rest, std::size_t len);

  std::array<Rule, 256> m_rules{};

  HighlightAttributes* m_comment;
  HighlightAttributes* m_identifier;
  HighlightAttributes* m_key;
  HighlightAttributes* m_number;
  HighlightAttributes* m_space;
  HighlightAttributes* m_string;
  HighlightAttributes* m_symbol;
};

}  // namespace vc
