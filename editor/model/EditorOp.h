#pragma once
// Internal: brackets one public operation of EditorModel. Nested operations
// do nothing; the outermost one rescans the changed lines and raises the
// caret, selection and change events once, when it ends.
#include "editor/model/EditorModel.h"
#include "platform/Cp950.h"

namespace vc {

// Start of the character holding byte i of a line. Looks back only over the
// run of lead-range bytes in front of i, not from the start of the line.
inline std::size_t charStartAt(std::string_view line, std::size_t i) {
  return cp950::isTrailByte(line, i) ? i - 1 : i;
}

class EditorModel::Op {
 public:
  explicit Op(EditorModel& m)
      : m_model(m), m_caret(m.m_caret), m_begin(m.m_blockBegin), m_end(m.m_blockEnd) {
    ++m.m_opDepth;
  }
  ~Op() {
    if (--m_model.m_opDepth == 0) m_model.finishOp(m_caret, m_begin, m_end);
  }
  Op(const Op&) = delete;
  Op& operator=(const Op&) = delete;

 private:
  EditorModel& m_model;
  TextPos m_caret, m_begin, m_end;
};

// Holds painting back for an operation that may touch very many lines (a
// replace-all, its undo and redo), also when it is left by an exception.
class UpdateBracket {
 public:
  UpdateBracket(EditorModel& m, bool on) : m_model(on ? &m : nullptr) {
    if (m_model) m_model->beginUpdate();
  }
  ~UpdateBracket() {
    if (m_model) m_model->endUpdate();
  }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

 private:
  EditorModel* m_model;
};

}  // namespace vc
