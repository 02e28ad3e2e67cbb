#pragma once
// Which lines of an EditorModel a view shows: the top line and how many lines
// fit in the window. The model keeps the text and the caret; this keeps what
// depends on the window's height, so that one text could be shown by views
// of different sizes.
//
// It follows the model as one of its clients: after an operation that moved
// the caret it scrolls by the least amount that shows the caret, a new text
// starts at line 1, and lines deleted below the top pull the top line back.
// Register it with the model before the clients that paint (the constructor
// does), so that they see the final top line when they hear of the caret.
#include <functional>

#include "editor/model/EditorModel.h"

namespace vc {

class LineWindow : private EditorModelClient {
 public:
  explicit LineWindow(EditorModel& model);
  ~LineWindow();
  LineWindow(const LineWindow&) = delete;
  LineWindow& operator=(const LineWindow&) = delete;

  // The 1-based number of the first line shown.
  int topLine() const { return m_topLine; }
  void setTopLine(int line);  // clamped to 1..lineCount; the caret stays
  int linesInWindow() const { return m_linesInWindow; }
  void setLinesInWindow(int lines);  // at least 1; does not scroll

  // Page and scroll commands need the window's height, so they run here:
  // ecPageUp/Down/Top/Bottom, their selecting forms, ecScrollUp/Down.
  // Returns false for any other command, which is the model's.
  bool executeCommand(EditorCommand command);

  // Called after each change of the top line.
  void setOnTopLineChange(std::function<void()> handler) { m_onTopLineChange = std::move(handler); }

 private:
  // EditorModelClient
  void linesDeleted(int first, int count) override;
  void textReset() override;
  void repaintAll() override;
  void caretMoved() override;

  void ensureCaretVisible();
  int lastTopLine() const;  // the top line that still fills the window

  EditorModel& m_model;
  int m_topLine = 1;
  int m_linesInWindow = 25;
  TextPos m_caretSeen;  // where the caret was when it was last scrolled into view
  std::function<void()> m_onTopLineChange;
};

}  // namespace vc
