#include "ui/main/kind_cache.h"

#include <utility>

namespace tarvolin::ui {

size_t KindCache::bytesOf(const core::GridStore& store) {
  constexpr size_t kPerCell = 8;  // a cell's reference into the text
  return store.textBytes().size() + static_cast<size_t>(store.rows()) * static_cast<size_t>(store.cols()) * kPerCell;
}

void KindCache::keep(ShownKind shown) {
  (void)take(shown.kind);
  const size_t size = bytesOf(shown.store);
  if (size > m_limit) return;
  while (!m_kept.empty() && m_bytes + size > m_limit) {
    m_bytes -= bytesOf(m_kept.front().store);
    m_kept.pop_front();
  }
  m_bytes += size;
  m_kept.push_back(std::move(shown));
}

std::optional<ShownKind> KindCache::take(int kind) {
  for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
    if (it->kind != kind) continue;
    m_bytes -= bytesOf(it->store);
    std::optional<ShownKind> out(std::move(*it));
    m_kept.erase(it);
    return out;
  }
  return std::nullopt;
}

void KindCache::clear() {
  m_kept.clear();
  m_bytes = 0;
}

}  // namespace tarvolin::ui
