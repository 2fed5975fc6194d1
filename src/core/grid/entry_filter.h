#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvolin::core {

/// Which entries a load keeps, by their values: conditions on different variables must all
/// hold, conditions on one variable are alternatives. An empty filter keeps every entry.
/// Variables are named, not numbered: a load may insert a column (Snapshot) before the
/// ones it has read, and the names stay.
class EntryFilter {
 public:
  /// The value of the entry's variable of that name (empty when it has none).
  using ValueOf = std::function<std::string_view(std::string_view name)>;

  /// Keeps entries whose variable `name` equals `value` byte for byte.
  void add(std::string name, std::string value);
  [[nodiscard]] bool empty() const { return m_terms.empty(); }
  /// Whether an entry with these values is kept. Cost: one valueOf and one comparison per
  /// value named.
  [[nodiscard]] bool keeps(const ValueOf& valueOf) const;

 private:
  std::vector<std::pair<std::string, std::vector<std::string>>> m_terms;  // by variable: its values
};

}  // namespace tarvolin::core
