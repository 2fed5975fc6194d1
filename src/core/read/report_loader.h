#pragma once

#include <array>
#include <bitset>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/grid/entry_filter.h"
#include "core/grid/grid.h"
#include "core/grid/lock_owners.h"
#include "core/grid/text_measure.h"
#include "core/read/kinds_index.h"
#include "core/read/load_observer.h"
#include "core/read/report.h"
#include "core/read/report_reader.h"
#include "core/read/shared_state.h"

namespace tarvolin::core {

class ColumnWidths;
class EntryReader;

/// The column a kind with more than one snapshot in the file gets: its snapshot's time.
inline constexpr std::string_view kSnapshotColumn = "Snapshot";

/// Counters of one load.
struct LoadCounters {
  int32_t nread = 0;    ///< lines read by the main step
  int32_t nout = 0;     ///< entries written
  int32_t nentry = 0;   ///< entries begun
  bool failed = false;  ///< an error ended the reading
};

/// Reads DB2 reports into a grid: `load` is one whole load. Owns nothing: the
/// shared state, the report, the per-load state, the observer and the measure are the
/// caller's and must outlive it. The cells and their layout go through the Grid; what the
/// load learns of the report (its kind, variables, snapshot times, start name, preamble and
/// file index) goes into the report, which is the load's while it runs. The grid may show
/// that report (a GridStore over it) or not (a GridRecorder on another thread, or one grid
/// per snapshot given to a sink). The lines are cut by EntryReader, the widths kept by ColumnWidths,
/// rows and headers written by writeEntryRow and writeHeaderRow, progress shown by
/// LoadProgress; this class applies the reload filter and keeps the counters.
///
/// Without a sink, a kind that has more than one snapshot in the file gets the variable
/// kSnapshotColumn, first unless its configuration puts it elsewhere: each row's snapshot
/// time (KindSection::time), or "#N" (N from 1) for a snapshot without one. It is added
/// when the second snapshot begins, and the rows of the first get it then (not when the
/// table is full). The filters name it like any variable. A kind of one snapshot has no
/// such column; a configuration's column of that name then stays empty.
class ReportLoader {
 public:
  /// `configFolder`: where readConfiguration finds the configuration of the kind read.
  ReportLoader(SharedState& shared, Report& report, LoadState& load, LoadObserver& observer, TextMeasure& measure,
               std::string configFolder);

  /// The report the loads fill: at once its kind's heading and variables; once the load
  /// ended (and at each delivery to a sink, but for the index) its kind (an index into
  /// its index's kinds), the snapshot times (KindSection::time of each snapshot read, or
  /// of the one delivered to the sink), the start name (EntryReader::startName), the
  /// preamble (of the snapshot delivered, else of the last) and the file's index.
  [[nodiscard]] Report& report() const { return m_report; }

  /// Loads the report at `file` into `g`. Never throws: read errors, a full table and
  /// grid errors are shown through the observer and the load finishes with the rows
  /// written so far, as it does once the load state's stopRequested is set (which it
  /// leaves as it is: a Stop made before the load began, from another thread, counts).
  void load(const std::string& file, Grid& g);

  /// For loadSnapshot: every snapshot of the kind as one grid.
  static constexpr int kWholeFile = -1;
  /// For loadSnapshot: the last snapshot of the kind.
  static constexpr int kLastSnapshot = INT_MAX;

  /// Which kind of a file of several the next loads read (the first by default). The
  /// other kinds' sections are cut, and counted in index(), but add nothing to the grid
  /// or the table. A file whose sections are all of the chosen kind loads as one report.
  void setKind(KindChoice choice) { m_choice = std::move(choice); }
  /// Called with the grid each time a snapshot of the chosen kind is complete: before the
  /// next one begins (its grid is then emptied; the table keeps its variables, as columns
  /// of the later snapshots) and once at the end. Returning false ends the reading
  /// there. Without a sink (the default) the kind's snapshots load as one grid.
  using SnapshotSink = std::function<bool(Grid& g)>;
  void setSnapshotSink(SnapshotSink sink) { m_sink = std::move(sink); }
  /// The snapshots and kinds of the file read by the last load (complete when it read to
  /// the end). With a sink, only the records of each kind's last two snapshots are kept
  /// (KindsIndex::keepRecentOnly); the kinds and their counts are whole.
  [[nodiscard]] const KindsIndex& index() const {
    return m_partsOf ? *m_partsOf : m_loadedIndex ? *m_loadedIndex : m_index;
  }
  /// The kind loaded, an index into index().kinds(), or -1 when the file has none such.
  [[nodiscard]] int loadedKind() const { return m_kind; }
  /// Whether loads measure values for the column widths (on by default). Off, every shown
  /// column gets the narrowest width: for callers that never show the grid, such as an
  /// export, whose cells and shown columns are the same either way.
  void setSizeColumns(bool on) { m_sizeColumns = on; }
  /// How the next loads read their file's bytes (see ReportReader); empty for ::read.
  void setReadFunction(ReadFunction read) { m_read = std::move(read); }
  /// Which entries the next loads keep, besides the reload filter of the load state (which
  /// lasts for one load); this one lasts until replaced. The reload filter's column is
  /// taken by the name it has in the table the load begins with (the grid on show), so a
  /// column the load inserts does not move it; a column past that table is taken by index.
  void setEntryFilter(EntryFilter filter) { m_filter = std::move(filter); }

  /// The next loads of `file`, while it is unchanged since `index` was built by a whole
  /// read of it, read only the records of the chosen kind there, snapshots `first` to
  /// `last` (from 0) of it: each record's bytes, sought to, under the same rules as a
  /// whole read (EntryReader with parts). index() is then `index` and loadedKind() the
  /// kind in it; the snapshots read are numbered from `first`. A file whose records have
  /// no place (gzip, UTF-16, standard input), a changed file or another file are read
  /// whole. Lasts until replaced; a null index reads every file whole.
  void setKnownIndex(std::string file, std::shared_ptr<const KindsIndex> index, int first = 0, int last = INT_MAX);
  /// Whether the last load read only records of its kind (see setKnownIndex).
  [[nodiscard]] bool readParts() const { return m_readParts; }

  /// Counters of the last (or running) load.
  [[nodiscard]] const LoadCounters& counters() const { return m_counters; }

  /// True while load runs; for the thread that runs it (a window keeps its own flag).
  [[nodiscard]] bool loading() const { return m_loading; }

  /// The folder of the configuration files.
  [[nodiscard]] const std::string& configFolder() const { return m_configFolder; }

 private:
  void prepare(Grid& g);
  void prepareGrid(Grid& g);
  void read(const std::string& file, Grid& g);
  /// The records to read of `file`, or none to read it whole (see setKnownIndex).
  [[nodiscard]] std::vector<KindSection> partsOf(const std::string& file) const;
  /// Opens `file` as a whole, or the records in `parts` when it is unchanged since.
  void open(std::optional<EntryReader>& in, const std::string& file, const std::vector<KindSection>& parts);
  /// The section of `heading` names kind `kind` of the file; returns whether it is chosen here.
  bool takeKind(const std::string& heading, int kind);
  bool deliver(Grid& g);
  /// Gives the report what the load knows of the snapshot(s) read: all but its index.
  void describe();
  bool beginSnapshot(EntryReader& in, Grid& g, ColumnWidths& widths, ReportItem& item);
  void noteSnapshotTime(const EntryReader& in, ColumnWidths& widths);
  void repeatsInserted(int at);
  bool addSnapshotColumn(EntryReader& in, Grid& g);
  [[nodiscard]] std::string_view valueOf(std::string_view name) const;
  [[nodiscard]] bool passesFilters() const;
  void finishGrid(Grid& g);
  void finishEntry(Grid& g);
  void finish(Grid& g);
  int columnOf(int var);

  SharedState& m_shared;
  Report& m_report;
  LoadState& m_load;
  LoadObserver& m_observer;
  TextMeasure& m_measure;
  std::string m_configFolder;
  ReadFunction m_read;
  LoadCounters m_counters;
  bool m_hasdata = false;
  bool m_loading = false;
  bool m_sizeColumns = true;
  KindChoice m_choice;
  KindChoice m_readChoice;  // the choice of the load running: m_choice, or by heading when it reads parts
  std::string m_knownFile;
  std::shared_ptr<const KindsIndex> m_known;
  int m_knownFirst = 0;
  int m_knownLast = INT_MAX;
  bool m_readParts = false;
  std::shared_ptr<const KindsIndex> m_partsOf;  // the index whose records the last load read, or null
  SnapshotSink m_sink;
  KindsIndex m_index;                               // of the load running
  std::shared_ptr<const KindsIndex> m_loadedIndex;  // m_index once the load ended, shared with the report
  int m_kind = -1;
  bool m_active = false;  // the section being read is of the chosen kind
  int m_snapshots = 0;    // of the chosen kind, begun so far
  bool m_sinkStopped = false;
  std::string m_snapshotTime;
  std::string m_label;             // of the snapshot being read: its time, or "#N"
  int m_snapshotCol = -1;          // the kSnapshotColumn variable once it is filled, else -1
  std::string m_filterColumnName;  // the reload filter's column by name, or empty to take it by index
  std::vector<std::pair<std::string, std::string>> m_preamble;
  std::string m_startName;
  EntryFilter m_filter;
  LockOwners m_owners{m_report.vars};
  std::bitset<kMaxVars> m_filled;         // columns that have a value in the entry being read
  std::array<int16_t, kMaxVars> m_again;  // by column: the one of the name's next time in an entry, or -1
};

}  // namespace tarvolin::core
