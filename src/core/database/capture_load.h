#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/database/capture_store.h"
#include "core/read/report_loader.h"
#include "core/read/shared_state.h"
#include "core/values/counter_types.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// A file could not be stored; its transaction was rolled back. what() names the file and
/// says why: its load's error, a full disk, another failure of the database, or a stop.
class CaptureError : public std::runtime_error {
 public:
  enum class Cause { Load, Full, Database, Stopped };
  CaptureError(Cause cause, const std::string& message) : std::runtime_error(message), m_cause(cause) {}
  [[nodiscard]] Cause cause() const { return m_cause; }

 private:
  Cause m_cause;
};

/// How the files of a capture are read.
struct CaptureOptions {
  std::string configFolder = ".";      ///< where the kinds' configuration files are
  std::optional<DateOrder> dateOrder;  ///< how every date reads; nothing: as each file's timestamps show
  CounterTypes types;                  ///< which variables are counters, for the intervals
};

/// What the load of one file did.
struct CaptureOutcome {
  bool skipped = false;            ///< the file was loaded before (same name, size and time): nothing done
  int added = 0;                   ///< snapshots stored
  int present = 0;                 ///< snapshots left out as stored before
  std::vector<std::string> kinds;  ///< the headings of the file's kinds
};

/// Loads report files into a CaptureStore, each in a transaction of its own: every kind of
/// the file, each snapshot as the loader reads it (one kind at a time; after a first read
/// that finds each kind's place, a kind's reading reads only its records, except in a gzip
/// or UTF-16 file). Memory: one snapshot of each kind, however many files and snapshots.
class CaptureLoader {
 public:
  CaptureLoader(CaptureStore& store, CaptureOptions options);

  /// Loads `path`, recorded under `name` (the path itself when empty). A file already in
  /// `captures` with that name, size and time is skipped; of another, only the snapshots
  /// not yet stored are added. Throws CaptureError after rolling the file back.
  CaptureOutcome load(const std::string& path, const std::string& name = {});

  /// Called with the snapshots done and the file's total, after each one.
  using Progress = std::function<void(int done, int total)>;
  void setProgress(Progress progress) { m_progress = std::move(progress); }

  /// Ends the load running (or the next) at its next line, which then rolls back; from any
  /// thread, or a signal handler. Lasts until clearStop().
  void requestStop() { m_state.stopRequested.store(true); }
  void clearStop() { m_state.stopRequested.store(false); }
  [[nodiscard]] bool stopRequested() const { return m_state.stopRequested.load(); }

 private:
  CaptureOutcome loadFile(const std::string& path, const std::string& name);
  void loadKind(const std::string& path, const std::string& name, const std::shared_ptr<const KindsIndex>& index,
                int kind, DateOrder order, CaptureOutcome& out);
  /// Stores the snapshot the loader has just completed in `current` (the one place that
  /// reads what the loader tells of a snapshot besides its grid).
  void take(LoadedSnapshot& current, const SnapshotPlace& place, CaptureOutcome& out);

  CaptureStore& m_store;
  CaptureOptions m_options;
  LoadState m_state;
  Progress m_progress;
  int m_done = 0;
  int m_total = 0;
  std::optional<std::string> m_first, m_last;  // of the file's snapshots
};

/// A file's name, size and modification time as `captures` records them. Throws ReadError
/// when it can't be looked at.
[[nodiscard]] CaptureFile captureFileOf(const std::string& path, const std::string& name);

}  // namespace tarvolin::core
