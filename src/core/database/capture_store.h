#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/database/sqlite_db.h"
#include "core/read/snapshot_load.h"
#include "core/values/counter_types.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// A database Tarvolin did not make, or whose tables have another shape than it makes;
/// it is left as it was.
class ForeignDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A report file as the `captures` table knows it.
struct CaptureFile {
  std::string name;      ///< as given
  uint64_t size = 0;     ///< bytes
  std::string modified;  ///< local time, "YYYY-MM-DD HH:MM:SS.ffffff"
};

/// One snapshot to store, with where it comes from.
struct SnapshotPlace {
  std::string heading;             ///< its kind's heading
  std::optional<std::string> iso;  ///< its time as ISO text, or nothing
  std::string file;                ///< the file's name as given
  int number = 0;                  ///< the snapshot of its kind it is in the file, from 1
  DateOrder dateOrder{};           ///< how the file's dates read
};

/// A database of captures (see the user guide for its tables): one table per kind, named
/// from its heading, with columns snapshot, file, entry and one per variable; for each kind
/// whose snapshots compare, `<kind>_intervals` with what --series writes for it; `snapshots`
/// (one row per snapshot stored), `captures` (one per file loaded) and `kinds` (each kind's
/// tables and its last snapshot, which the next snapshot of the kind, in this run or a
/// later one, is compared with). Marked with kApplicationId. Changes are made inside
/// begin() ... commit() or rollback(). Not thread-safe.
class CaptureStore {
 public:
  static constexpr int32_t kApplicationId = 0x54766C6E;  // "Tvln"

  /// Opens `path`, creating it when it does not exist, and its tables when it is empty.
  /// Throws ForeignDatabaseError for a database (or another file) that is neither empty
  /// nor one this class made, without changing it; DatabaseError when it can't be opened.
  explicit CaptureStore(const std::string& path);

  /// Whether a file of that name, size and modification time is in `captures`.
  [[nodiscard]] bool hasCapture(const CaptureFile& file);
  /// Whether the snapshot is stored: that file's snapshot of that number of the kind, or
  /// one of the kind and time from another file (a copy of the capture).
  [[nodiscard]] bool hasSnapshot(const SnapshotPlace& place);

  /// Begins the transaction of one file (waiting up to 10 s for another writer).
  void begin();
  /// Keeps each kind's last snapshot for the next run, and commits. Throws DatabaseError.
  void commit();
  /// Undoes everything since begin(), here and in the database.
  void rollback();

  /// Stores the entries of `s` as rows of its kind's table, adding the table and the
  /// columns it lacks, and the interval from the kind's last snapshot to `s`, with
  /// `types` telling which variables are counters. Moves from `s`'s grid. Throws DatabaseError.
  void addSnapshot(LoadedSnapshot& s, const SnapshotPlace& place, const CounterTypes& types);

  /// Records a file as loaded: its kinds' headings and the times of its first and last
  /// snapshot (ISO text, or nothing); replaces an earlier row of its name.
  void addCapture(const CaptureFile& file, const std::vector<std::string>& kinds,
                  const std::optional<std::string>& first, const std::optional<std::string>& last);

  [[nodiscard]] Database& database() { return m_db; }

 private:
  /// A table's columns and the statement that inserts the last set of them used.
  struct Table {
    std::string name;
    std::vector<std::string> columns;
    std::unordered_map<std::string, int> exact;
    std::unordered_set<std::string> folded;  // the columns' names in lower case
    std::vector<int> insertColumns;
    Statement insert;
    void add(std::string column);
  };
  struct Kind {
    std::string heading;
    Table rows;
    std::optional<Table> intervals;  // none for a kind whose snapshots don't compare
    bool previousRead = false;       // `previous` is what the database keeps
    std::optional<LoadedSnapshot> previous;
    std::optional<std::string> previousIso;
    bool touched = false;  // a snapshot came in this transaction
  };

  void checkForeign();
  void createTables();
  void checkShape();
  Kind& kindOf(const std::string& heading);
  void readColumns(Table& t);
  int columnFor(Table& t, std::string_view name);
  Statement& insertFor(Table& t, const std::vector<int>& columns);
  void addRows(Kind& k, const LoadedSnapshot& s, const SnapshotPlace& place);
  void addInterval(Kind& k, LoadedSnapshot& s, const SnapshotPlace& place, const CounterTypes& types);
  void readPrevious(Kind& k);

  Database m_db;
  std::map<std::string, Kind> m_kinds;  // by table name, as met since the last rollback
  Statement m_hasSnapshot, m_hasPlace, m_addSnapshot;
};

}  // namespace tarvolin::core
