#include "editor/widget/CodeEditorAccessible.h"

#include <algorithm>

#include "editor/widget/CodeEditor.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

QString decoded(std::string_view bytes) {
  const std::u16string text = cp950::decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters of line `line` (1-based) before byte column `column`.
int charsBefore(const EditorModel& m, int line, int column) {
  const std::string& text = m.lineText(line - 1);
  const std::size_t bytes = std::min(text.size(), static_cast<std::size_t>(std::max(column - 1, 0)));
  return static_cast<int>(cp950::decode(std::string_view(text).substr(0, bytes)).size());
}

int offsetOf(const EditorModel& m, TextPos pos) {
  int offset = 0;
  const int line = std::clamp(pos.line, 1, m.lineCount());
  for (int i = 1; i < line; ++i) offset += static_cast<int>(cp950::decode(m.lineText(i - 1)).size()) + 1;
  return offset + charsBefore(m, line, pos.column);
}

TextPos positionOf(const EditorModel& m, int offset) {
  offset = std::max(offset, 0);
  for (int line = 1; line <= m.lineCount(); ++line) {
    const std::string_view text = m.lineText(line - 1);
    const int length = static_cast<int>(cp950::decode(text).size());
    if (offset <= length || line == m.lineCount()) {
      std::size_t at = 0;
      for (int chars = 0; at < text.size() && chars < offset;) {
        const std::size_t step = std::max<std::size_t>(cp950::charLength(text, at), 1);
        chars += static_cast<int>(cp950::decode(text.substr(at, step)).size());
        at += step;
      }
      return {static_cast<int>(at) + 1, line};
    }
    offset -= length + 1;
  }
  return {1, 1};
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
  if (className == QLatin1String("vc::CodeEditor") && object && object->isWidgetType())
    return new CodeEditorAccessible(static_cast<CodeEditor*>(object));
  return nullptr;
}

}  // namespace

CodeEditorAccessible::CodeEditorAccessible(CodeEditor* editor) : QAccessibleWidget(editor, QAccessible::EditableText) {}

void CodeEditorAccessible::install() {
  static const bool installed = (QAccessible::installFactory(factory), true);
  (void)installed;
}

CodeEditor* CodeEditorAccessible::editor() const { return static_cast<CodeEditor*>(widget()); }

void* CodeEditorAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CodeEditorAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = !editor()->isReadOnly();
  s.readOnly = editor()->isReadOnly();
  s.multiLine = true;
  s.selectableText = true;
  return s;
}

QString CodeEditorAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return text(0, characterCount());
  return QAccessibleWidget::text(t);
}

void CodeEditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  const EditorModel& m = editor()->model();
  if (selectionIndex != 0 || !m.selAvail()) return;
  *startOffset = offsetOf(m, m.blockBegin());
  *endOffset = offsetOf(m, m.blockEnd());
}

int CodeEditorAccessible::selectionCount() const { return editor()->model().selAvail() ? 1 : 0; }

void CodeEditorAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void CodeEditorAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex != 0) return;
  EditorModel& m = editor()->model();
  m.setCaret(m.caretColumn(), m.caretLine());
}

void CodeEditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  EditorModel& m = editor()->model();
  m.setSelection(positionOf(m, startOffset), positionOf(m, endOffset));
}

int CodeEditorAccessible::cursorPosition() const {
  const EditorModel& m = editor()->model();
  return offsetOf(m, m.caret());
}

void CodeEditorAccessible::setCursorPosition(int position) {
  EditorModel& m = editor()->model();
  const TextPos pos = positionOf(m, position);
  m.setCaret(pos.column, pos.line);
}

QString CodeEditorAccessible::text(int startOffset, int endOffset) const {
  const EditorModel& m = editor()->model();
  QString whole;
  for (int i = 0; i < m.lineCount(); ++i) {
    if (i > 0) whole += QLatin1Char('\n');
    whole += decoded(m.lineText(i));
  }
  startOffset = std::clamp(startOffset, 0, static_cast<int>(whole.size()));
  endOffset = std::clamp(endOffset < 0 ? static_cast<int>(whole.size()) : endOffset, startOffset,
                         static_cast<int>(whole.size()));
  return whole.mid(startOffset, endOffset - startOffset);
}

int CodeEditorAccessible::characterCount() const {
  const EditorModel& m = editor()->model();
  int count = m.lineCount() - 1;
  for (int i = 0; i < m.lineCount(); ++i) count += static_cast<int>(cp950::decode(m.lineText(i)).size());
  return count;
}

QRect CodeEditorAccessible::characterRect(int offset) const {
  const EditorModel& m = editor()->model();
  const TextPos pos = positionOf(m, offset);
  const QPoint at = editor()->pointOf(pos);
  const std::string& line = m.lineText(pos.line - 1);
  const auto at0 = static_cast<std::size_t>(pos.column - 1);
  const int bytes = at0 < line.size() ? static_cast<int>(cp950::charLength(line, at0)) : 1;
  const QRect cell(at, QSize(editor()->metrics().width * bytes, editor()->metrics().height));
  return QRect(editor()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int CodeEditorAccessible::offsetAtPoint(const QPoint& point) const {
  const QPoint local = editor()->viewport()->mapFromGlobal(point);
  if (!editor()->viewport()->rect().contains(local)) return -1;
  // The character under the point, also on the second byte of a double-byte one.
  const EditorModel& m = editor()->model();
  TextPos pos = editor()->positionAt(local, false);
  const std::string& line = m.lineText(std::clamp(pos.line, 1, m.lineCount()) - 1);
  if (pos.column >= 1 && static_cast<std::size_t>(pos.column - 1) < line.size())
    pos.column = static_cast<int>(cp950::charStart(line, static_cast<std::size_t>(pos.column - 1))) + 1;
  return offsetOf(m, pos);
}

void CodeEditorAccessible::scrollToSubstring(int startIndex, int) {
  EditorModel& m = editor()->model();
  const TextPos pos = positionOf(m, startIndex);
  m.setCaret(pos.column, pos.line);
}

QString CodeEditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return QString();
}

}  // namespace vc
