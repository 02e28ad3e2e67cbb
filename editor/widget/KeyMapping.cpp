#include "editor/widget/KeyMapping.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "editor/model/EditorCommand.h"

namespace vc {

namespace {

// With Shift held, the digit keys of a US keyboard report the symbol above
// them; the bookmark keys Ctrl+Shift+digit must still see the digit.
int shiftedDigit(int qtKey) {
  switch (qtKey) {
    case Qt::Key_ParenRight:
      return '0';
    case Qt::Key_Exclam:
      return '1';
    case Qt::Key_At:
      return '2';
    case Qt::Key_NumberSign:
      return '3';
    case Qt::Key_Dollar:
      return '4';
    case Qt::Key_Percent:
      return '5';
    case Qt::Key_AsciiCircum:
      return '6';
    case Qt::Key_Ampersand:
      return '7';
    case Qt::Key_Asterisk:
      return '8';
    case Qt::Key_ParenLeft:
      return '9';
    default:
      return 0;
  }
}

int tableKey(int qtKey, bool shift) {
  switch (qtKey) {
    case Qt::Key_Up:
      return keyUp;
    case Qt::Key_Down:
      return keyDown;
    case Qt::Key_Left:
      return keyLeft;
    case Qt::Key_Right:
      return keyRight;
    case Qt::Key_PageUp:
      return keyPageUp;
    case Qt::Key_PageDown:
      return keyPageDown;
    case Qt::Key_Home:
      return keyHome;
    case Qt::Key_End:
      return keyEnd;
    case Qt::Key_Insert:
      return keyInsert;
    case Qt::Key_Delete:
      return keyDelete;
    case Qt::Key_Backspace:
      return keyBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return keyEnter;
    default:
      break;
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  return shift ? shiftedDigit(qtKey) : 0;
}

}  // namespace

KeyStroke keyStrokeOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  KeyStroke stroke;
  const bool shift = modifiers & Qt::ShiftModifier;
  if (shift) stroke.modifiers |= modShift;
  if (modifiers & Qt::ControlModifier) stroke.modifiers |= modCtrl;
  if (modifiers & Qt::AltModifier) stroke.modifiers |= modAlt;
  stroke.key = tableKey(qtKey, shift);
  return stroke;
}

KeyStroke keyStrokeOf(const QKeyEvent& event) {
  return keyStrokeOf(event.key(), event.modifiers());
}

}  // namespace vc
