#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/series/series.h"
#include "core/series/summary_figures.h"
#include "core/values/counter_types.h"

namespace tarvolin::core {

/// How many rows each top list of a summary keeps.
inline constexpr int kSummaryTopRows = 5;

/// One interval of a summary: its ends as snapshotLabel names them.
struct SummaryInterval {
  std::string from;
  std::string to;
};

/// The intervals of a summary, each from the snapshot the one before ended at: their labels
/// in one text, a day of minutes a few tens of kilobytes.
class SummaryIntervals {
 public:
  /// Adds the interval from `from` (of the first interval; after it, the last one's `to`) to `to`.
  void add(const std::string& from, const std::string& to);
  [[nodiscard]] size_t size() const { return m_ends.empty() ? 0 : m_ends.size() - 1; }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] SummaryInterval operator[](size_t i) const { return {label(i), label(i + 1)}; }
  [[nodiscard]] SummaryInterval front() const { return (*this)[0]; }
  [[nodiscard]] SummaryInterval back() const { return (*this)[size() - 1]; }

 private:
  [[nodiscard]] std::string label(size_t snapshot) const;
  std::string m_text;
  std::vector<uint32_t> m_ends;  // by snapshot: where its label ends in m_text
};

/// A figure over the capture: its value in each interval and over the window.
struct FigureValues {
  SummaryFigure figure;
  /// By interval; none where it has none (a counter reset, a divisor 0). Numbers, not texts:
  /// a day of minutes is 1,440 of them per figure.
  std::vector<std::optional<double>> values;
  std::string window;                ///< over the window, exact; empty when no interval has a value
  std::optional<double> median;      ///< of the intervals' values
  std::vector<std::string> missing;  ///< the variables the capture lacks; then it is left out
  bool kindFound = false;            ///< the capture holds two snapshots or more of its kind

  /// Whether the summary shows it: its kind is there with every variable.
  [[nodiscard]] bool shown() const { return kindFound && missing.empty(); }
  /// Whether interval `i` (or the window, i = -1) breaks the figure's rule.
  [[nodiscard]] bool breaks(int i) const;
};

/// Where a figure departs most from its median: the interval, and by how much relative
/// to the median (|value - median| / max(|median|, 1)).
struct Departure {
  size_t figure = 0;
  int interval = 0;
  double value = 0;
  double relative = 0;
};

/// A row of a top list: `cells` as its columns read, and the entry it stands for.
struct TopRow {
  std::vector<std::string> cells;
  std::string entryKey;  ///< entryKeyText of the entry in the window's last snapshot of the kind
  int row = 0;           ///< its row in that snapshot's grid
};

/// The entries of one kind that changed most over the window, largest first.
struct TopList {
  std::string title;  ///< "Statements by execution time"
  std::string kind;   ///< the heading of the kind the rows are of
  std::vector<std::string> columns;
  std::vector<TopRow> rows;
};

/// What a capture summary finds.
struct CaptureSummary {
  int snapshots = 0;  ///< of the kind the intervals are named by (the first figure kind present)
  std::string kind;   ///< that kind
  SummaryIntervals intervals;
  std::vector<FigureValues> figures;  ///< every figure defined, shown or not, in order
  std::vector<TopList> tops;          ///< those whose kind the capture holds
  std::vector<std::string> lacking;   ///< top lists left out: "Tables by rows read: no Table Snapshot"
  std::vector<std::string> notes;     ///< dates against their order, an interval without a length

  /// For each shown figure of three values or more that departs from its median at all,
  /// its farthest interval, the largest departure first.
  [[nodiscard]] std::vector<Departure> departures() const;
};

/// Summarizes the snapshots of `source` (its window; source.kind is not used): for each kind
/// `figures` names, every interval compared as forEachInterval compares it and the figures
/// of that kind evaluated on the changes summed over its entries; interval N of every kind is
/// row N, named by the first kind present. Over the window, each figure on its variables
/// summed over the intervals where it has a value. Then the top lists: statements by
/// execution time, tables by rows read, applications by rows read and by lock wait time,
/// each from the comparison of its kind's first and last snapshot in the window (a new entry
/// counted from zero). Throws as forEachInterval; a kind the window lacks leaves its figures
/// and lists out. Memory: two snapshots of a kind and a number per figure and interval.
[[nodiscard]] CaptureSummary summarizeCapture(const SeriesSource& source, const SummaryFigures& figures,
                                              const CounterTypes& types, std::optional<int64_t> givenMicros);

}  // namespace tarvolin::core
