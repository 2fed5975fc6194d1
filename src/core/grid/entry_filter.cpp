#include "core/grid/entry_filter.h"

#include <algorithm>

namespace tarvolin::core {

void EntryFilter::add(std::string name, std::string value) {
  auto term = std::find_if(m_terms.begin(), m_terms.end(), [&name](const auto& t) { return t.first == name; });
  if (term == m_terms.end()) term = m_terms.insert(m_terms.end(), {std::move(name), {}});
  term->second.push_back(std::move(value));
}

bool EntryFilter::keeps(const ValueOf& valueOf) const {
  return std::all_of(m_terms.begin(), m_terms.end(), [&](const auto& term) {
    const std::string_view v = valueOf(term.first);
    return std::find(term.second.begin(), term.second.end(), v) != term.second.end();
  });
}

}  // namespace tarvolin::core
