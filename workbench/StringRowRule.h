#pragma once
// Which rows of the string table hold text to translate: the string rows of
// the shared rule (their value in the form text is a string literal).
#include "editor/model/EditorModel.h"
#include "translation/StringRows.h"

namespace vc {

inline bool holdsStringValue(const EditorModel& text, int index) {
  if (index < 0 || index >= text.lineCount()) return false;
  return isStringRow(static_cast<std::size_t>(text.lineCount()),
                     [&text](std::size_t i) { return std::string_view(text.lineText(static_cast<int>(i))); },
                     static_cast<std::size_t>(index));
}

}  // namespace vc
