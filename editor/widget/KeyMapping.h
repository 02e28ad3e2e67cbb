#pragma once
// Qt key events as the keys and modifiers of the editor's key table.
#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace vc {

struct KeyStroke {
  int key = 0;  // an EditorKey, 'A'..'Z', '0'..'9', or 0 for keys the table lacks
  std::uint8_t modifiers = 0;
};

KeyStroke keyStrokeOf(int qtKey, Qt::KeyboardModifiers modifiers);
KeyStroke keyStrokeOf(const QKeyEvent& event);

}  // namespace vc
