#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/compare/snapshot_compare.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "core/grid/text_measure.h"
#include "core/read/snapshot_load.h"
#include "core/values/counter_types.h"
#include "core/values/decimal.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// What a chart's Y axis shows.
enum class ChartMeasure {
  Rate,        ///< a counter's change per second of each interval
  Change,      ///< a counter's change over each interval
  Value,       ///< the value at each snapshot (what a gauge shows)
  InInterval,  ///< a derived column computed on each interval's changes
};

/// One entry's line.
struct ChartLine {
  std::string key;                       ///< the entry's key in full (a whole statement)
  std::string label;                     ///< what the legend names it (see entryLabel)
  std::vector<std::optional<double>> y;  ///< by snapshot; nothing where there is no point
  std::vector<std::string> text;         ///< the same values as text, as --series writes them
};

/// The points of a chart.
struct ChartData {
  std::vector<std::string> labels;            ///< by snapshot: its time as printed, or "#N"
  std::vector<std::optional<int64_t>> times;  ///< by snapshot: its time, when it can be read
  std::vector<ChartLine> lines;               ///< the current entry's first, when the series has it
  ChartMeasure shown = ChartMeasure::Value;   ///< what the points are: the measure asked for, or what stands in for it
  std::string note;                           ///< why another measure stands in for the one asked for, or empty
};

/// Texts of the legend longer than this are cut in the middle (entryLabel).
inline constexpr size_t kLabelLength = 40;

/// What a chart's legend calls an entry of key text `key`: an application as its handle and
/// name (`handle` and `name`, when it has them) rather than its ID, and a text longer than
/// kLabelLength (a statement) as its first words and its last with " … " between.
[[nodiscard]] std::string entryLabel(const std::string& key, std::string_view handle, std::string_view name);

/// The note a chart of rates shows when no interval has a length: it shows the changes instead.
inline constexpr const char* kNoTimesNote = "No snapshot times: showing the change per interval";

/// One variable of every entry of a series, snapshot by snapshot: the numbers a chart draws.
/// Entries are matched by key as compareSnapshots matches them (a key that repeats within a
/// snapshot, in order of occurrence). A counter's change is that of --compare: its value
/// where the entry is new (it began at zero in the interval), none where a value is missing
/// or not a number, none where the counter went down (a reset), and none over an interval
/// in which every counter restarted (countersRestarted). A gauge's change is its plain
/// difference, none where the entry is new. The interval comes from the snapshots' times, else
/// `givenMicros`. Memory: two numbers per entry and snapshot.
class ChartSeries {
 public:
  ChartSeries(std::string variable, ValueType type, std::optional<int64_t> givenMicros = std::nullopt);
  /// A derived column over time: its value at each snapshot (Value), and over the interval
  /// that ends there (InInterval) as --compare --derived gives it: the formula on each
  /// counter's change (none where it is missing or went down), other variables as at the
  /// interval's end, [Interval (s)] the interval's length (as in summary figures); a new entry's counters count from
  /// zero. Lines are ranked by the sum of their interval values'
  /// sizes. `types` says which of the formula's variables are counters; it is not kept.
  ChartSeries(DerivedColumn column, const CounterTypes& types, std::optional<int64_t> givenMicros = std::nullopt);

  /// What the series can draw, the first by default: a counter's Rate, Change and Value; a
  /// derived column's InInterval and Value; anything else its Value.
  [[nodiscard]] std::vector<ChartMeasure> measures() const;

  /// Reads every date of the snapshots added from now on in `dates` (by default each date as
  /// its form shows): one order for a whole series (seriesDateOrder).
  void setDateOrder(std::optional<DateOrder> dates) { m_dates = dates; }
  /// Forgets every snapshot taken, to take them again (in another date order, say).
  void clear();

  /// Takes the next snapshot's values. Cost: one pass over its rows.
  void add(const LoadedSnapshot& s, const std::string& label);
  [[nodiscard]] int snapshots() const { return static_cast<int>(m_labels.size()); }

  /// The lines of `measure` (the first of measures() when it is none of them): the entry
  /// whose key text is `current` (when the series has it), then those of the largest total
  /// change (the sum of the changes' sizes; ties in order of first appearance), `most` lines
  /// in all. Rates of a series whose intervals have no length (its snapshots have no times
  /// and none was given) give the changes instead, with kNoTimesNote.
  [[nodiscard]] ChartData chart(ChartMeasure measure, const std::string& current, size_t most = 10) const;

 private:
  struct Entry {
    std::string key;
    std::string label;
    std::vector<std::optional<Decimal>> values;   // by snapshot
    std::vector<std::optional<Decimal>> changes;  // by snapshot: over the interval that ends there
    double total = 0;                             // the sum of the changes' sizes
    std::vector<std::string> inputs;              // a derived column's: its variables at the last snapshot
    size_t lastAt = 0;                            // which snapshot that was, plus 1 (0: none yet)
  };
  [[nodiscard]] ChartLine line(const Entry& e, ChartMeasure measure) const;
  void takeValue(Entry& e, const GridStore& g, int row, int col, size_t at, bool restarted) const;
  void takeDerived(Entry& e, const GridStore& g, int row, const std::vector<int>& cols, size_t at,
                   bool restarted) const;

  std::string m_variable;
  ValueType m_type;
  std::optional<int64_t> m_given;
  std::optional<DateOrder> m_dates;
  std::optional<DerivedColumn> m_derived;
  std::vector<bool> m_counter;  // by variable of the derived column's formula
  std::vector<std::string> m_labels;
  std::vector<std::optional<int64_t>> m_times;
  ResetMarks m_lastMarks;                           // of the snapshot taken last (its time as printed)
  std::vector<std::optional<int64_t>> m_intervals;  // by snapshot: of the interval that ends there
  std::vector<Entry> m_entries;                     // in order of first appearance
  std::unordered_map<std::string, size_t> m_index;  // by key (and occurrence)
};

/// The points as a table in `g`: a header row "Snapshot", `valueTitle`, "Entry" (last, as
/// an entry's key may be a long statement), then one row per point, line by line in snapshot order, and a hidden last
/// column with the row's number (from 1) in that order. With `measure`, each column is as wide as its widest text
/// (valueWidth); the hidden one has width 0 either way.
void writeChartTable(const ChartData& data, const std::string& valueTitle, GridStore& g,
                     TextMeasure* measure = nullptr);

}  // namespace tarvolin::core
