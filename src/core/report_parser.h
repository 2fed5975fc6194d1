#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/grid.h"
#include "core/load_observer.h"
#include "core/shared_state.h"
#include "core/text_measure.h"

namespace tarvolin::core {

/// A kind of report the loader knows by its heading.
struct ReportKind {
  std::string_view heading;
  std::string_view startvar;   ///< name that begins an entry
  std::string_view startvar2;  ///< second name that begins one, or empty
  char sep;                    ///< separator between name and value
};

/// The kind whose heading equals `heading` exactly, or nullptr.
[[nodiscard]] const ReportKind* findKind(std::string_view heading);

/// Header row height set by every load, in twips.
inline constexpr int kHeaderRowHeight = 1200;
/// Narrowest shown column, in twips.
inline constexpr int kMinColWidth = 800;
/// Width counted for a value of 60 characters or more, in twips.
inline constexpr int kLongValueWidth = 2000;

/// Twips a value needs under the column width rule: its measured width times 1.2,
/// rounded half to even; 2000 for 60 characters or more (not measured); 0 if empty.
[[nodiscard]] int valueWidth(std::string_view value, TextMeasure& measure);

/// Writes vals[0..maxcol] into row `lineno` of `g`, adding 100 rows when `lineno`
/// is not below the row count and widening the grid to maxcol + 1 columns.
/// `r` is the entry's ordinal, kept for the record. Grid errors propagate.
void outputentry(int32_t r, int16_t maxcol, Grid& g, int32_t lineno, const LoadState& load);

/// Writes the header row and lays out columns 0..maxcol from the table: names in
/// row 0, width max(width, 800) when shown and 0 when hidden, word wrap on, left/top
/// alignment. Makes row 0 current.
void outputheaders(int16_t maxcol, Grid& g, const VariableTable& vars);

/// Counters of one load.
struct LoadCounters {
  int32_t nread = 0;    ///< lines read by the main step
  int32_t nout = 0;     ///< entries written
  int32_t nentry = 0;   ///< entries begun
  bool failed = false;  ///< an error ended the reading
};

/// Reads DB2 reports into a grid: `do_refresh` is one whole load. Owns nothing:
/// the shared state, the per-load state, the observer and the measure are the caller's
/// and must outlive it.
class ReportLoader {
 public:
  ReportLoader(SharedState& shared, LoadState& load, LoadObserver& observer, TextMeasure& measure);

  /// Loads the report at `file` into `g`. Never throws: read errors, a full table and
  /// grid errors are shown through the observer and the load finishes with the rows
  /// written so far. Reads the kind's configuration from the current directory.
  void do_refresh(const std::string& file, Grid& g);

  /// Counters of the last (or running) load.
  [[nodiscard]] const LoadCounters& counters() const { return m_counters; }

  /// Files from this size on are read on a second thread while they are parsed; the
  /// default is LineSource::kReadAheadFrom. The rows are the same either way.
  void setReadAheadFrom(uint64_t bytes) { m_readAheadFrom = bytes; }

  /// True while do_refresh runs (also while it yields to events).
  [[nodiscard]] bool loading() const { return m_loading; }

 private:
  class Run;
  SharedState& m_shared;
  LoadState& m_load;
  LoadObserver& m_observer;
  TextMeasure& m_measure;
  LoadCounters m_counters;
  uint64_t m_readAheadFrom;
  bool m_loading = false;
};

/// "Records read: N Records outputted M" (or with the "Finished. " prefix).
[[nodiscard]] std::string progressText(int32_t nread, int32_t nout, bool finished);

}  // namespace tarvolin::core
