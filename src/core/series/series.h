#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/compare/snapshot_compare.h"
#include "core/derived/column_plan.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "core/read/snapshot_load.h"
#include "core/series/snapshot_window.h"
#include "core/values/counter_types.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// A snapshot of a series could not be loaded; what() is the load's error.
class SeriesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Where the snapshots of a series come from.
struct SeriesSource {
  std::vector<std::string> paths;      ///< in order; a file holding several snapshots gives all, in file order
  std::optional<std::string> kind;     ///< which kind of a file holding several (a heading or its number)
  std::string configFolder = ".";      ///< where the kinds' configuration files are
  std::optional<DateOrder> dateOrder;  ///< how every date of the series reads; nothing: as its timestamps show
  KindChoice fallback{};               ///< the kind read when `kind` names none (the first kind by default)
  /// Only the snapshots this window holds (WindowMatcher; #N counted across all the files);
  /// the reading ends with the window's end. None given: every snapshot.
  SnapshotWindow window{};
};

/// What a series tells besides its rows: a file skipped, dates that contradict the order.
using SeriesNote = std::function<void(const std::string& note)>;

/// How a snapshot is named in a series: its "Snapshot timestamp" as printed, or "#N" when it
/// has none, N counted from 1 across all inputs.
[[nodiscard]] std::string snapshotLabel(const LoadedSnapshot& s, int number);

/// Streams the snapshots of `source`, giving each with its number (from 1, counted across
/// the files, also before source.window) to `take`. Returns how many it gave. The snapshot is reused for the next: move
/// from it to keep it. The series is of one kind: that source.kind names in the first file holding a report (its first
/// kind without source.kind), later files matched by that kind's heading. A file without it (empty, an SQL1611W
/// message, other kinds only) is skipped and `note` gets "PATH: no HEADING, skipped". Throws ReadError (a file can't be
/// read), NoSuchKindError (the first file holding a report lacks the kind numbered source.kind), SeriesError (a load
/// met an error), WindowError (source.window holds none of the snapshots there are, naming the first and last) and what
/// `take` throws. Memory: one snapshot.
int forEachSeriesSnapshot(const SeriesSource& source, const std::function<void(LoadedSnapshot&, int number)>& take,
                          const SeriesNote& note = {});

/// The first and the last snapshot of `source` (those source.window holds), read as
/// forEachSeriesSnapshot reads them. Returns how many it holds (then 1: `first` and `last`
/// are alike; 0: the source has none such, and both are empty). Throws as forEachSeriesSnapshot.
/// Memory: two snapshots.
int loadWindowEnds(const SeriesSource& source, LoadedSnapshot& first, LoadedSnapshot& last,
                   const SeriesNote& note = {});

/// The one order of the dates of a series: `given`, else as `evidence`, gathered from all
/// its files' timestamps, shows. `note` gets a timestamp that can't be read in that order
/// ("Dates: ..."), naming `setting`, where the order is given.
[[nodiscard]] DateOrder decideDateOrder(const DateOrderEvidence& evidence, std::optional<DateOrder> given,
                                        const SeriesNote& note = {}, std::string_view setting = "--date-order");

/// Two consecutive snapshots of a series and their comparison, as compareSnapshots makes it.
struct SeriesInterval {
  const LoadedSnapshot& earlier;
  const LoadedSnapshot& later;
  Comparison& comparison;
  std::string from;  ///< snapshotLabel of the earlier
  std::string to;    ///< snapshotLabel of the later
  int number = 0;    ///< the interval's number, from 1
};

/// What forEachInterval gives besides the intervals.
struct IntervalHooks {
  SeriesNote note;  ///< files skipped and dates against the order, all before the first interval
  /// Each interval first compared on a sketch of its snapshots (their variables and one row
  /// holding a value of each column that has one), before the first interval: what
  /// SeriesTable::plan takes to know every column of the series.
  std::function<void(SeriesInterval&)> plan;
};

/// Compares each consecutive pair of snapshots of `source` (the interval from their times,
/// else `givenMicros`) and gives it to `take`. Returns the number of snapshots. All dates
/// read in one order, source.dateOrder or else as the timestamps of every file show, which
/// a first pass over the files gathers (with `hooks.plan`'s sketches) before any interval
/// is compared; with source.window, both passes end with the window. Throws as forEachSeriesSnapshot, and CompareError
/// when two snapshots are of different kinds. Memory: two snapshots and one comparison, however many snapshots there
/// are.
int forEachInterval(const SeriesSource& source, const CounterTypes& types, std::optional<int64_t> givenMicros,
                    const std::function<void(SeriesInterval&)>& take, const IntervalHooks& hooks = {});

/// The intervals of a series as one table: "From", "To", then every column of the
/// intervals' comparisons: those of the first interval, each column a later one brings after
/// the column it follows there. Without plan() the columns are those of the first interval,
/// and one the first lacks is left out and named in dropped(). With derived columns, each of
/// the kind's follows twice, as ComparisonDerived writes it: on the later snapshot's values
/// and "NAME (in interval)" on the interval's changes.
class SeriesTable {
 public:
  SeriesTable() = default;
  /// With the definitions `derived` (which must outlive this object): the columns a kind's
  /// configuration keeps for its derived columns are left out (ColumnPlan), and
  /// with `addDerived` the derived columns of the series' kind are added.
  explicit SeriesTable(const DerivedDefinitions* derived, bool addDerived = true)
      : m_definitions(derived), m_addDerived(addDerived) {}

  /// Takes the columns of an interval (IntervalHooks::plan) into the table's, before write().
  void plan(SeriesInterval& iv);

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
  /// Derived columns left out for a variable of their name (ColumnPlan::clashes), of the first interval.
  [[nodiscard]] const std::vector<std::string>& clashes() const { return m_plan.clashes(); }

 private:
  void takeKind(const SeriesInterval& iv);
  /// The header of the interval's comparison in row 0 of m_part.
  void headerOf(const SeriesInterval& iv);
  void mapColumns(const SeriesInterval& iv);

  std::vector<std::string> m_names;              // the table's columns after From and To
  std::unordered_map<std::string, int> m_index;  // by name: the table's column
  std::vector<int> m_cols;                       // by table column: the column of m_part that holds it
  std::vector<std::string> m_dropped;
  bool m_kindTaken = false;
  bool m_headerWritten = false;
  const DerivedDefinitions* m_definitions = nullptr;
  bool m_addDerived = false;
  ColumnPlan m_plan;  // the derived columns of the series' kind, planned at the first interval
  GridStore m_part;   // a slice of the interval's comparison, From, To, an empty column, the derived
};

}  // namespace tarvolin::core
