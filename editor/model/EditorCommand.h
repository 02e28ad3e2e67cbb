#pragma once
// The editor commands and the key table that maps keys to them.
#include <cstdint>

namespace vc {

enum EditorCommand : int {
  ecNone = 0,
  // Caret moves, and the same moves extending the selection.
  ecLeft, ecRight, ecUp, ecDown, ecWordLeft, ecWordRight,
  ecLineStart, ecLineEnd, ecPageUp, ecPageDown, ecPageTop, ecPageBottom,
  ecEditorTop, ecEditorBottom,
  ecSelLeft, ecSelRight, ecSelUp, ecSelDown, ecSelWordLeft, ecSelWordRight,
  ecSelLineStart, ecSelLineEnd, ecSelPageUp, ecSelPageDown, ecSelPageTop, ecSelPageBottom,
  ecSelEditorTop, ecSelEditorBottom,
  ecScrollUp, ecScrollDown,
  ecSelectAll,
  // Editing.
  ecDeleteChar, ecDeleteLastChar, ecDeleteWord, ecDeleteLastWord, ecDeleteLine, ecDeleteEOL,
  ecLineBreak, ecInsertLine, ecBlockIndent, ecBlockUnindent,
  ecCut, ecCopy, ecPaste, ecUndo, ecRedo,
  // Modes.
  ecToggleMode, ecNormalSelect, ecColumnSelect, ecLineSelect,
  // Bookmarks: ecGotoMarker0 + d and ecSetMarker0 + d for digit d.
  ecGotoMarker0, ecGotoMarker1, ecGotoMarker2, ecGotoMarker3, ecGotoMarker4,
  ecGotoMarker5, ecGotoMarker6, ecGotoMarker7, ecGotoMarker8, ecGotoMarker9,
  ecSetMarker0, ecSetMarker1, ecSetMarker2, ecSetMarker3, ecSetMarker4,
  ecSetMarker5, ecSetMarker6, ecSetMarker7, ecSetMarker8, ecSetMarker9,
};

// Keys of the key table, independent of any toolkit. Letters and digits are
// passed as their upper-case ASCII codes ('A'..'Z', '0'..'9').
enum EditorKey : int {
  keyUp = 0x100, keyDown, keyLeft, keyRight, keyPageUp, keyPageDown, keyHome, keyEnd,
  keyInsert, keyDelete, keyBackspace, keyEnter,
};

enum KeyModifier : std::uint8_t { modShift = 1, modCtrl = 2, modAlt = 4 };

// The command bound to key + modifiers in Keystrokes, or ecNone.
EditorCommand keystrokeCommand(int key, std::uint8_t modifiers);

// True for the commands that change the text (refused when read-only).
bool isEditingCommand(EditorCommand command);

}  // namespace vc
