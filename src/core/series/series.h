#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/compare/counter_types.h"
#include "core/compare/snapshot_compare.h"
#include "core/derived/derived_columns.h"
#include "core/grid_store.h"
#include "core/snapshot_load.h"

namespace tarvolin::core {

/// A snapshot of a series could not be loaded; what() is the load's error.
class SeriesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Where the snapshots of a series come from.
struct SeriesSource {
  std::vector<std::string> paths;   ///< in order; a file holding several snapshots gives all, in file order
  std::optional<std::string> kind;  ///< which kind of a file holding several (a heading or its number)
  std::string configFolder = ".";   ///< where the kinds' configuration files are
};

/// How a snapshot is named in a series: its "Snapshot timestamp" as printed, or "#N" when it
/// has none, N counted from 1 across all inputs.
[[nodiscard]] std::string snapshotLabel(const LoadedSnapshot& s, int number);

/// Streams the snapshots of `source`, giving each with its number (from 1) to `take`.
/// Returns how many there were. The snapshot is reused for the next: move from it to keep it.
/// Throws ReadError (a file can't be read), SeriesError (a load met an error) and what
/// `take` throws. Memory: one snapshot.
int forEachSeriesSnapshot(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take);

/// Two consecutive snapshots of a series and their comparison, as compareSnapshots makes it.
struct SeriesInterval {
  const LoadedSnapshot& earlier;
  const LoadedSnapshot& later;
  Comparison& comparison;
  std::string from;  ///< snapshotLabel of the earlier
  std::string to;    ///< snapshotLabel of the later
  int number = 0;    ///< the interval's number, from 1
};

/// Compares each consecutive pair of snapshots of `source` (the interval from their times,
/// else `givenMicros`) and gives it to `take`. Returns the number of snapshots. Throws as
/// forEachSeriesSnapshot, and CompareError when two snapshots are of different kinds.
/// Memory: two snapshots and one comparison, however many snapshots there are.
int forEachInterval(const SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
                    const std::function<void(SeriesInterval&)>& take);

/// The intervals of a series as one table: "From", "To", then the columns of the first
/// interval's comparison. A later interval's column goes under the first's of the same name;
/// one the first lacks is left out and named in dropped(). With derived columns, each of
/// the kind's follows twice, as ComparisonDerived writes it: on the later snapshot's values
/// and "NAME (in interval)" on the interval's changes.
class SeriesTable {
 public:
  SeriesTable() = default;
  /// With the definitions `derived` (which must outlive this object): the columns a kind's
  /// configuration keeps for its derived columns are left out (leaveOutPlaceholders), and
  /// with `addDerived` the derived columns of the series' kind are added.
  explicit SeriesTable(const DerivedDefinitions* derived, bool addDerived = true)
      : m_definitions(derived), m_addDerived(addDerived) {}

  /// Rows given to `out` at most this many at a time.
  static constexpr int kSlice = 4096;
  /// What `out` gets: rows, and which of their columns make the table's columns, in order
  /// (a column the interval lacks is an empty one).
  using Output = std::function<void(const GridStore& rows, const std::vector<int>& cols)>;

  /// Gives the rows of `iv` to `out` a slice at a time, in the --compare order; before the
  /// first interval's rows, the header row alone. Adds the rows' marks to the comparison's counts.
  void write(SeriesInterval& iv, const Output& out);

  /// Columns of later intervals the first interval lacks, in order of appearance.
  [[nodiscard]] const std::vector<std::string>& dropped() const { return m_dropped; }
  /// Derived columns left out for a variable of their name (DerivedFit::clashes), of the first interval.
  [[nodiscard]] const std::vector<std::string>& clashes() const { return m_clashes; }

 private:
  void mapColumns(const SeriesInterval& iv);

  std::vector<std::string> m_names;              // the table's columns after From and To
  std::unordered_map<std::string, int> m_index;  // by name: the table's column
  std::vector<int> m_cols;                       // by table column: the column of m_part that holds it
  std::vector<std::string> m_dropped;
  const DerivedDefinitions* m_definitions = nullptr;
  bool m_addDerived = false;
  std::vector<const DerivedColumn*> m_kindColumns;  // the definitions of the series' kind, taken at the first interval
  std::vector<const DerivedColumn*> m_derived;      // those added
  std::vector<std::string> m_clashes;
  GridStore m_part;  // a slice of the interval's comparison, From, To, an empty column, the derived
};

}  // namespace tarvolin::core
