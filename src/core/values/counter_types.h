#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// What a variable's values are, for a comparison.
enum class ValueType {
  Unlisted,  ///< not in the list: no change is computed
  Counter,   ///< cumulative since activation: change and rate
  Gauge,     ///< a level at the moment of the snapshot
  Text,
};

/// Name of the list shipped with the programs.
inline constexpr const char* kCounterTypesFile = "counter_types.txt";

/// The list of which variables are counters, gauges or text. Its text has one line per
/// label: the type ("counter", "gauge" or "text"), blanks, and the label as the report
/// prints it, where `*` stands for any run of characters. Empty lines and lines starting
/// with `#` are skipped. A label without `*` wins over any pattern; among patterns the
/// first line that matches wins.
/// A name no line matches that ends in " #" and a number (the column of a name met again
/// in an entry, "NAME #2") has the type of the name before it.
class CounterTypes {
 public:
  /// Parses the list; a line of an unknown type is an error "line N: ..." in `errors`
  /// (one per line) and is skipped.
  static CounterTypes parse(std::string_view text, std::vector<std::string>& errors);

  /// The type of variable `name`; Unlisted when no line names it. Cost: a scan of the list.
  [[nodiscard]] ValueType typeOf(std::string_view name) const;

 private:
  struct Line {
    std::string label;
    ValueType type;
  };
  std::vector<Line> m_exact;
  std::vector<Line> m_patterns;
};

/// Where the programs look for the list, in order: beside the program, then in
/// ../share/tarvolin/ from the program's folder (where an installation puts it).
[[nodiscard]] std::vector<std::filesystem::path> counterTypesPlaces(const std::filesystem::path& programDir);

/// Reads the first list of counterTypesPlaces that exists. Throws std::runtime_error naming
/// the places when none does or it can't be read, or naming the bad lines of the list.
[[nodiscard]] CounterTypes loadCounterTypes(const std::filesystem::path& programDir);

}  // namespace tarvolin::core
