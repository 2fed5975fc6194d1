#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/grid/grid.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

/// What the filters on a loaded report leave of it, for the status line: the reload
/// filter the last load applied ("Reload with only lines like this") and the rows hidden
/// since ("Exclude lines like this"). Every load starts it afresh.
class FilterSummary {
 public:
  /// Before a load into `grid`: notes the reload filter `load` holds (its column named by
  /// the header row of the report on show) and forgets the exclusions.
  void loadStarts(const LoadState& load, const Grid& grid);
  /// After the load: `entries` is the number of entries the report holds (written or not).
  void loaded(int32_t entries) { m_entries = entries; }
  /// Rows whose `column` equals `value` were hidden.
  void excluded(std::string column, std::string value);
  /// Every row is shown again.
  void shownAll() { m_excluded.clear(); }

  /// The last load wrote only the entries like its filter.
  [[nodiscard]] bool loadFiltered() const { return !m_filter.empty(); }
  /// "Showing 12 of 90,000 entries: Mode = X; Table Name <> T1" with the data rows of
  /// `grid` that are shown, or empty when no filter is on. Cost O(rows).
  [[nodiscard]] std::string text(const Grid& grid) const;

 private:
  std::string m_filter;  ///< "Mode = X", empty when the load was not filtered
  std::vector<std::string> m_excluded;
  int32_t m_entries = 0;
};

/// `n` in decimal with a comma between groups of three digits: 90,000.
[[nodiscard]] std::string groupedNumber(int64_t n);

}  // namespace tarvolin::core
