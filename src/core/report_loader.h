#pragma once

#include <climits>
#include <cstdint>
#include <string>

#include "core/grid.h"
#include "core/load_observer.h"
#include "core/lock_owners.h"
#include "core/shared_state.h"
#include "core/text_measure.h"

namespace tarvolin::core {

/// Counters of one load.
struct LoadCounters {
  int32_t nread = 0;    ///< lines read by the main step
  int32_t nout = 0;     ///< entries written
  int32_t nentry = 0;   ///< entries begun
  bool failed = false;  ///< an error ended the reading
};

/// Reads DB2 reports into a grid: `do_refresh` is one whole load. Owns nothing: the
/// shared state, the per-load state, the observer and the measure are the caller's and
/// must outlive it. The lines are cut by EntryReader, the widths kept by ColumnWidths,
/// rows and headers written by outputentry and outputheaders, progress shown by
/// LoadProgress; this class applies the reload filter and keeps the counters.
class ReportLoader {
 public:
  /// `configFolder`: where readcfg finds the configuration of the kind read.
  ReportLoader(SharedState& shared, LoadState& load, LoadObserver& observer, TextMeasure& measure,
               std::string configFolder);

  /// Loads the report at `file` into `g`. Never throws: read errors, a full table and
  /// grid errors are shown through the observer and the load finishes with the rows
  /// written so far.
  void do_refresh(const std::string& file, Grid& g);

  /// do_refresh reads the whole file as one report (the default).
  static constexpr int kWholeFile = -1;
  /// do_refresh loads the last snapshot of the file.
  static constexpr int kLastSnapshot = INT_MAX;
  /// Which snapshot of a file holding several (its heading repeats) the next loads read:
  /// kWholeFile, an index from 0 (one past the last loads the last), or kLastSnapshot.
  /// The rows of the snapshots before the chosen one are dropped (their variables stay in
  /// the table, as columns of the chosen one); lines after it are not read.
  void setSnapshot(int index) { m_snapshot = index; }
  /// Whether loads measure values for the column widths (on by default). Off, every shown
  /// column gets the narrowest width: for callers that never show the grid, such as an
  /// export, whose cells and shown columns are the same either way.
  void setSizeColumns(bool on) { m_sizeColumns = on; }

  /// The "Snapshot timestamp" of the loaded snapshot's preamble, empty when it has none
  /// or when the whole file was read.
  [[nodiscard]] const std::string& snapshotTime() const { return m_snapshotTime; }

  /// Counters of the last (or running) load.
  [[nodiscard]] const LoadCounters& counters() const { return m_counters; }

  /// True while do_refresh runs (also while it yields to events).
  [[nodiscard]] bool loading() const { return m_loading; }

  /// The folder of the configuration files.
  [[nodiscard]] const std::string& configFolder() const { return m_configFolder; }

 private:
  void prepare(Grid& g);
  void read(const std::string& file, Grid& g);
  void finishEntry(Grid& g);
  void finish(Grid& g);

  SharedState& m_shared;
  LoadState& m_load;
  LoadObserver& m_observer;
  TextMeasure& m_measure;
  std::string m_configFolder;
  LoadCounters m_counters;
  bool m_hasdata = false;
  bool m_loading = false;
  int m_snapshot = kWholeFile;
  bool m_sizeColumns = true;
  std::string m_snapshotTime;
  LockOwners m_owners{m_shared.vars};
};

}  // namespace tarvolin::core
