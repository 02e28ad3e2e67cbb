#pragma once
// What screen readers see of a CodeEditor: an editable, multi-line text whose
// characters, caret and selection they can read and set. Offsets count
// UTF-16 units of the decoded text, lines joined by "\n"; the model's
// positions count bytes of code page 950.
#include <QAccessibleWidget>

namespace vc {

class CodeEditor;

class CodeEditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit CodeEditorAccessible(CodeEditor* editor);

  // Makes Qt ask this class for every CodeEditor; called once per program.
  static void install();

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;

  // QAccessibleTextInterface
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  CodeEditor* editor() const;
};

}  // namespace vc
