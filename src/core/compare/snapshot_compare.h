#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/grid_store.h"
#include "core/read/snapshot_load.h"
#include "core/values/counter_types.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// Two reports that can't be compared: of different kinds, or event monitor logs.
class CompareError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Texts of the "Change" column.
inline constexpr const char* kNewMark = "new";
inline constexpr const char* kGoneMark = "gone";
inline constexpr const char* kResetMark = "reset";
inline constexpr const char* kChangedMark = "changed";

/// A variable of the comparison and where its values are.
struct ComparedVariable {
  std::string name;
  int earlierCol = -1;  ///< its column in the earlier grid, or -1
  int laterCol = -1;    ///< its column in the later grid, or -1
  int col = 0;          ///< its column in the comparison; a counter's change and rate follow it
  bool counter = false;
};

struct CompareCounts {
  int matched = 0;
  int added = 0;  ///< "new"
  int gone = 0;
  int reset = 0;    ///< counted as the rows are written
  int changed = 0;  ///< counted as the rows are written
};

/// An entry of the comparison: its rows in the two grids, -1 where it is missing.
struct ComparedEntry {
  int earlierRow = -1;
  int laterRow = -1;
  int ownerRow = 0;  ///< a lock's application, in the later grid when the entry is there, else the earlier; or 0
};

/// The identity of each entry of a snapshot across reports: the values of its kind's key
/// variables. In a lock snapshot an application is keyed by "Application handle", a lock
/// by the handle of the application above it plus "Lock Name" (without one, "Lock Object
/// Name" and "Object Type"); an Application Lock Snapshot likewise. An Application Snapshot
/// is keyed by "Application ID", else "Application handle"; a tablespace by its name, else
/// "Tablespace ID"; a table by schema and name, else its name; other kinds of the table by
/// their start name. A kind of no known key is keyed by the name that begins its entries as
/// read, wherever a configuration puts its column. Of a kind's keys it takes the first that
/// every entry carries (a report cut down with grep may lack one), never the entries'
/// positions. Holds views into the snapshot, which must outlive it.
class EntryKeys {
 public:
  using Parts = std::array<std::string_view, 4>;
  explicit EntryKeys(const LoadedSnapshot& s, int from = 0) : EntryKeys(s.grid, from) {}
  /// The keys of the report `grid` shows (the main window's, say), by the first of its
  /// kind's keys from the `from`th on (0: the best) that every entry carries, else the `from`th.
  explicit EntryKeys(const GridStore& grid, int from = 0);
  /// The key two snapshots of one kind share (for `from`): the first that every entry of both carries.
  [[nodiscard]] static int commonChoice(const LoadedSnapshot& a, const LoadedSnapshot& b);
  /// Entries, that is data rows (grid rows 1 to rows() - 1).
  [[nodiscard]] int size() const { return m_grid.rows() - 1; }
  /// The key of the entry on grid row `row`.
  [[nodiscard]] Parts parts(int row) const;
  [[nodiscard]] uint64_t hash(int row) const;
  /// The columns of the key variables, in key order; -1 where the grid lacks one.
  [[nodiscard]] const std::vector<int>& columns() const { return m_cols; }
  /// In a lock snapshot, the row of the application a lock on row `row` belongs to (the one
  /// above it); 0 for an application's own row, a lock before any application, or another kind.
  [[nodiscard]] int owner(int row) const;

 private:
  const GridStore& m_grid;
  std::vector<int> m_cols;  // the key variables' columns, -1 where missing
  bool m_locks = false;
  std::vector<int> m_owner;  // locks: by grid row, the row of the application above, or 0
};

/// The key of an entry as one text (its parts joined by blanks): what a chart's legend and a
/// comparison on its side show.
[[nodiscard]] std::string entryKeyText(const EntryKeys::Parts& parts);

/// What compareSnapshots finds; the rows are written from it with writeComparison.
struct Comparison {
  std::vector<ComparedVariable> vars;
  int cols = 1;  ///< columns of the comparison: "Change", then the variables'
  /// The later report's entries in file order, then the gone ones in the earlier report's
  /// order; but a gone lock of an application the later report has stands after that
  /// application's other rows.
  std::vector<ComparedEntry> entries;
  int handleVar =
      -1;  ///< lock snapshots: the index in `vars` of "Application handle", which a lock row shows of its owner
  std::optional<int64_t> intervalMicros;
  std::string intervalNote;  ///< "Interval: S s", or why there is none and the rates stay empty
  /// Why the counters of every entry restarted in between ("counters were reset at 17:05:50"),
  /// or empty. When set, no counter has a change or a rate and every matched entry is "reset".
  std::string resetNote;
  CompareCounts counts;
};

/// Lays the columns of `c` out again after its variables changed order or number: "Change",
/// then each variable in order, a counter followed by its change and rate. handleVar follows
/// the variable named `handle` (none when empty or gone).
void layOutColumns(Comparison& c, std::string_view handle);

/// Moves the variables named in `names` (those `c` has, in that order) right after "Change"
/// and lays the columns out again: what a window shows first, such as the entries' keys.
void putFirst(Comparison& c, const std::vector<std::string>& names);

/// What tells whether the counters of a snapshot restarted after an earlier one.
struct ResetMarks {
  std::string time;  ///< its "Snapshot timestamp"
  /// When its counters began: its "First database connect timestamp" (preamble, else first
  /// entry), or a Database Manager Snapshot's "Start Database Manager timestamp".
  std::string connect;
  std::string resetAt;   ///< its "Last reset timestamp" (likewise)
  DateOrder dates{};     ///< how its dates read
  bool manager = false;  ///< `connect` is the database manager's start
};

/// The reset marks of `s`, its dates read in `dateOrder` or else as its timestamps show.
/// The timestamps of a snapshot that tell how its dates read: its time, its preamble's
/// values, and every value of a column whose name ends in "timestamp".
void addDateEvidence(const LoadedSnapshot& s, DateOrderEvidence& evidence);

[[nodiscard]] ResetMarks resetMarksOf(const LoadedSnapshot& s, std::optional<DateOrder> dateOrder = std::nullopt);

/// Why every counter restarted between two snapshots, or empty: "counters were reset at
/// 17:05:50" (a later "Last reset timestamp" after the earlier snapshot's time) or "the
/// database was activated again at 17:05:50" (another "First database connect timestamp"),
/// "the database manager was started again at 17:05:50" (another "Start Database Manager
/// timestamp").
[[nodiscard]] std::string countersRestarted(const ResetMarks& earlier, const ResetMarks& later);

/// Matches the entries of two snapshots of one kind by key (EntryKeys; a key that repeats
/// is matched in order of occurrence) and lays out the columns: "Change", then the later
/// report's variables in its column order and those only the earlier one has, each counter
/// followed by "NAME (change)" and "NAME (per s)". The interval is `givenMicros` when given,
/// else the difference of the snapshots' times. Dates are read in `dateOrder`, else in the
/// one order the timestamps of both show (addDateEvidence). A later "Last reset timestamp" after
/// the earlier snapshot's time, or a later start of the counters (ResetMarks::connect) other
/// than the earlier one, sets resetNote. Both snapshots are keyed alike (commonChoice).
/// Throws CompareError when the kinds differ or are event monitor logs. Cost: one pass over
/// each grid and a hash of the earlier keys.
[[nodiscard]] Comparison compareSnapshots(const LoadedSnapshot& earlier, const LoadedSnapshot& later,
                                          const CounterTypes& types, std::optional<int64_t> givenMicros,
                                          std::optional<DateOrder> dateOrder = std::nullopt);

/// Writes the header of the comparison into row `row` of `g` and lays out its columns as the
/// later grid's (a hidden variable's columns stay hidden). `g` must have c.cols columns.
void writeComparisonHeader(const Comparison& c, const LoadedSnapshot& later, GridStore& g, int row);

/// Writes entries [first, last) into `g` from row `row` on, which must have the rows and
/// c.cols columns. A counter's change is later - earlier, exact, with the larger number of
/// decimals of the two; its rate is per second of the interval, with kRateDecimals
/// decimals. A new entry's counters began at zero inside the interval: its change is its
/// value. A lock row shows its application's handle. Empty and non-numeric values ("Not Collected") give no change;
/// a counter that went down gives none either and marks its row "reset", as does every matched row when c.resetNote is
/// set. When no variable is a counter, a matched row whose values differ is marked "changed". Adds those marks to
/// c.counts.
void writeComparison(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later, size_t first,
                     size_t last, GridStore& g, int row);

/// The whole comparison in `g`: the header row, then every entry; fixed rows as the main grid.
void writeComparisonGrid(Comparison& c, const LoadedSnapshot& earlier, const LoadedSnapshot& later, GridStore& g);

}  // namespace tarvolin::core
