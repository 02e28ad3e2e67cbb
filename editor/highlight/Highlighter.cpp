#include "editor/highlight/Highlighter.h"

#include <algorithm>

namespace vc {

Highlighter::Highlighter() = default;
Highlighter::~Highlighter() {
  std::vector<HighlighterClient*> clients = std::move(m_clients);
  for (HighlighterClient* c : clients) c->highlighterDestroyed();
}

const CharSet& Highlighter::defaultWordCharacters() {
  static const CharSet set = [] {
    CharSet s;
    for (int c = '0'; c <= '9'; ++c) s.set(static_cast<std::size_t>(c));
    for (int c = 'A'; c <= 'Z'; ++c) s.set(static_cast<std::size_t>(c));
    for (int c = 'a'; c <= 'z'; ++c) s.set(static_cast<std::size_t>(c));
    s.set('_');
    return s;
  }();
  return set;
}

const CharSet& Highlighter::wordCharacters() const { return defaultWordCharacters(); }

HighlightAttributes* Highlighter::addAttribute(const std::string& name) {
  m_owned.push_back(std::make_unique<HighlightAttributes>(name, &Highlighter::attributeChanged, this));
  HighlightAttributes* a = m_owned.back().get();
  auto pos = std::lower_bound(m_attributes.begin(), m_attributes.end(), name,
                              [](const HighlightAttributes* x, const std::string& n) { return x->name() < n; });
  if (pos == m_attributes.end() || (*pos)->name() != name) m_attributes.insert(pos, a);
  return a;
}

HighlightAttributes* Highlighter::attributeByName(std::string_view name) const {
  for (HighlightAttributes* a : m_attributes)
    if (a->name() == name) return a;
  return nullptr;
}

bool Highlighter::anyAttributeBold() const {
  return std::any_of(m_attributes.begin(), m_attributes.end(),
                     [](const HighlightAttributes* a) { return a->isBold(); });
}

void Highlighter::addClient(HighlighterClient* client) {
  if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end()) m_clients.push_back(client);
}

void Highlighter::removeClient(HighlighterClient* client) {
  m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}

void Highlighter::attributeChanged(void* self) {
  auto* h = static_cast<Highlighter*>(self);
  // A client may detach itself while being told; walk a copy.
  std::vector<HighlighterClient*> clients = h->m_clients;
  for (HighlighterClient* c : clients) c->highlighterAttributesChanged();
}

}  // namespace vc
