#include "editor/model/UndoList.h"

namespace vc {

void UndoList::setMaxEntries(int max) {
  m_max = max < 0 ? 0 : max;
  trim();
}

void UndoList::push(UndoItem item) {
  m_items.push_back(std::move(item));
  trim();
}

void UndoList::trim() {
  while (static_cast<int>(m_items.size()) > m_max) {
    const std::uint64_t oldest = m_items.front().group;
    if (oldest == m_items.back().group) {
      // The newest group alone does not fit: nothing of it can be taken back.
      m_items.clear();
      return;
    }
    while (!m_items.empty() && m_items.front().group == oldest) m_items.pop_front();
  }
}

std::vector<UndoItem> UndoList::popGroup() {
  std::vector<UndoItem> group;
  if (m_items.empty()) return group;
  const std::uint64_t g = m_items.back().group;
  std::size_t first = m_items.size();
  while (first > 0 && m_items[first - 1].group == g) --first;
  for (std::size_t i = first; i < m_items.size(); ++i) group.push_back(std::move(m_items[i]));
  m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(first), m_items.end());
  return group;
}

}  // namespace vc
