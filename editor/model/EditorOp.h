#pragma once
// Internal: brackets one public operation of EditorModel. Nested operations
// do nothing; the outermost one rescans the changed lines and raises the
// caret, selection and change events once, when it ends.
#include "editor/model/EditorModel.h"

namespace vc {

class EditorModel::Op {
 public:
  explicit Op(EditorModel& m)
      : m_model(m), m_caret(m.m_caret), m_begin(m.m_blockBegin), m_end(m.m_blockEnd), m_top(m.m_topLine) {
    ++m.m_opDepth;
  }
  ~Op() {
    if (--m_model.m_opDepth == 0) m_model.finishOp(m_caret, m_begin, m_end, m_top);
  }
  Op(const Op&) = delete;
  Op& operator=(const Op&) = delete;

 private:
  EditorModel& m_model;
  TextPos m_caret, m_begin, m_end;
  int m_top;
};

}  // namespace vc
