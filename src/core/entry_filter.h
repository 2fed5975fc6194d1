#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/variable_table.h"

namespace tarvolin::core {

/// Which entries a load keeps, by their values: conditions on different variables must all
/// hold, conditions on one variable are alternatives. An empty filter keeps every entry.
class EntryFilter {
 public:
  /// Keeps entries whose variable at index `var` equals `value` byte for byte.
  void add(int var, std::string value);
  [[nodiscard]] bool empty() const { return m_terms.empty(); }
  /// Whether an entry with these values (by variable index) is kept. Cost: one comparison
  /// per value named.
  [[nodiscard]] bool keeps(const std::array<std::string, kMaxVars>& vals) const;

 private:
  std::vector<std::pair<int, std::vector<std::string>>> m_terms;  // by variable: its values
};

}  // namespace tarvolin::core
