#include "core/entry_filter.h"

#include <algorithm>

namespace tarvolin::core {

void EntryFilter::add(int var, std::string value) {
  auto term = std::find_if(m_terms.begin(), m_terms.end(), [var](const auto& t) { return t.first == var; });
  if (term == m_terms.end()) term = m_terms.insert(m_terms.end(), {var, {}});
  term->second.push_back(std::move(value));
}

bool EntryFilter::keeps(const std::array<std::string, kMaxVars>& vals) const {
  return std::all_of(m_terms.begin(), m_terms.end(), [&](const auto& term) {
    if (term.first < 0 || term.first >= kMaxVars) return false;
    const std::string& v = vals[static_cast<size_t>(term.first)];
    return std::find(term.second.begin(), term.second.end(), v) != term.second.end();
  });
}

}  // namespace tarvolin::core
