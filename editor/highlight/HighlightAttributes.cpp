#include "editor/highlight/HighlightAttributes.h"

#include <utility>

namespace vc {

HighlightAttributes::HighlightAttributes(std::string name, ChangeHook hook, void* owner)
    : m_name(std::move(name)), m_hook(hook), m_owner(owner) {}

void HighlightAttributes::setBackground(Color c) {
  if (c == m_background) return;
  m_background = c;
  changed();
}

void HighlightAttributes::setForeground(Color c) {
  if (c == m_foreground) return;
  m_foreground = c;
  changed();
}

void HighlightAttributes::setStyle(FontStyles s) {
  s &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (s == m_style) return;
  m_style = s;
  changed();
}

void HighlightAttributes::changed() {
  if (m_hook) m_hook(m_owner);
}

}  // namespace vc
