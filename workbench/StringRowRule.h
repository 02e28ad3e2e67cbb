#pragma once
// Which rows of the string table hold text to translate: those whose value
// in the form text is a string, i.e. starts with ' or # (on the property's
// line, or on the next one when the line ends after "=").
#include "editor/model/EditorModel.h"

namespace vc {

inline bool holdsStringValue(const EditorModel& text, int index) {
  if (index < 0 || index >= text.lineCount()) return false;
  std::string_view line = text.lineText(index);
  std::size_t at = line.find('=');
  if (at == std::string_view::npos) return false;
  for (++at; at < line.size() && static_cast<unsigned char>(line[at]) <= ' '; ++at) {
  }
  if (at == line.size()) {
    if (index + 1 >= text.lineCount()) return false;
    line = text.lineText(index + 1);
    for (at = 0; at < line.size() && static_cast<unsigned char>(line[at]) <= ' '; ++at) {
    }
  }
  return at < line.size() && (line[at] == '\'' || line[at] == '#');
}

}  // namespace vc
