#include "core/grid/filter_summary.h"

#include <algorithm>

namespace tarvolin::core {

void FilterSummary::loadStarts(const LoadState& load, const Grid& grid) {
  m_excluded.clear();
  m_filter.clear();
  if (load.filterValue.empty()) return;
  const std::string_view name = grid.rows() > 0 && load.filterColumn >= 0 && load.filterColumn < grid.cols()
                                    ? grid.text(0, load.filterColumn)
                                    : std::string_view();
  m_filter = std::string(name) + " = " + load.filterValue;
}

void FilterSummary::excluded(std::string column, std::string value) {
  std::string e = std::move(column) + " <> " + std::move(value);
  if (std::find(m_excluded.begin(), m_excluded.end(), e) == m_excluded.end()) m_excluded.push_back(std::move(e));
}

std::string FilterSummary::text(const Grid& grid) const {
  if (m_filter.empty() && m_excluded.empty()) return {};
  int shown = 0;
  for (int r = 1; r < grid.rows(); ++r)
    if (grid.rowHeight(r) != 0) ++shown;
  std::string out = "Showing " + groupedNumber(shown) + " of " + groupedNumber(m_entries) + " entries: ";
  std::string sep;
  if (!m_filter.empty()) {
    out += m_filter;
    sep = "; ";
  }
  for (const std::string& e : m_excluded) {
    out += sep + e;
    sep = "; ";
  }
  return out;
}

std::string groupedNumber(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(static_cast<size_t>(i), ",");
  return n < 0 ? "-" + digits : digits;
}

}  // namespace tarvolin::core
