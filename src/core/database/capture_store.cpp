#include "core/database/capture_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <utility>
#include <variant>

#include "core/compare/snapshot_compare.h"
#include "core/database/snapshot_cells.h"
#include "core/database/sql_values.h"
#include "core/series/series.h"

namespace tarvolin::core {

namespace {

/// The columns every kind's table and every intervals table begin with.
const std::vector<std::string> kRowColumns = {"snapshot", "file", "entry"};
const std::vector<std::string> kIntervalColumns = {"from", "to"};

/// The tables of the store itself and their columns.
const std::vector<std::pair<std::string, std::vector<std::string>>> kOwnTables = {
    {"kinds", {"heading", "table_name", "intervals", "last_snapshot", "last_time"}},
    {"snapshots", {"kind", "snapshot", "file", "number", "entries"}},
    {"captures", {"file", "size", "modified", "kinds", "first_snapshot", "last_snapshot", "loaded"}},
};

constexpr const char* kCreateTables =
    "CREATE TABLE kinds(heading TEXT NOT NULL, table_name TEXT PRIMARY KEY, intervals TEXT, last_snapshot BLOB,"
    " last_time TEXT);"
    "CREATE TABLE snapshots(kind TEXT NOT NULL, snapshot TEXT, file TEXT NOT NULL, number INTEGER NOT NULL,"
    " entries INTEGER NOT NULL);"
    "CREATE INDEX snapshots_of_kind ON snapshots(kind, snapshot);"
    "CREATE INDEX snapshots_of_file ON snapshots(kind, file, number);"
    "CREATE TABLE captures(file TEXT PRIMARY KEY, size INTEGER NOT NULL, modified TEXT NOT NULL, kinds TEXT,"
    " first_snapshot TEXT, last_snapshot TEXT, loaded TEXT NOT NULL);";

std::string folded(std::string_view name) {
  std::string f(name);
  for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return f;
}

void bindValue(Statement& st, int at, std::string_view text) {
  const SqlValue v = sqlValue(text);
  if (std::holds_alternative<int64_t>(v))
    st.bind(at, std::get<int64_t>(v));
  else if (std::holds_alternative<double>(v))
    st.bind(at, std::get<double>(v));
  else if (std::holds_alternative<std::string_view>(v))
    st.bind(at, std::get<std::string_view>(v));
  else
    st.bindNull(at);
}

void bindOptional(Statement& st, int at, const std::optional<std::string>& text) {
  if (text)
    st.bind(at, std::string_view(*text));
  else
    st.bindNull(at);
}

/// The names of the columns of `table`, in order; none when there is no such table.
std::vector<std::string> columnsOf(Database& db, const std::string& table) {
  Statement st = db.prepare("SELECT name FROM pragma_table_info(?)");
  st.bind(1, std::string_view(table));
  std::vector<std::string> names;
  while (st.step()) names.push_back(st.text(0));
  return names;
}

bool beginsWith(const std::vector<std::string>& columns, const std::vector<std::string>& first) {
  return columns.size() >= first.size() && std::equal(first.begin(), first.end(), columns.begin());
}

std::string localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &t);
  return text;
}

}  // namespace

void CaptureStore::Table::add(std::string column) {
  exact.emplace(column, static_cast<int>(columns.size()));
  folded.insert(tarvolin::core::folded(column));
  columns.push_back(std::move(column));
}

CaptureStore::CaptureStore(const std::string& path) : m_db(path) {
  m_db.exec("PRAGMA busy_timeout = 10000");
  checkForeign();
  m_db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
  if (m_db.integer("SELECT count(*) FROM sqlite_master") == 0) createTables();
  m_hasSnapshot = m_db.prepare("SELECT 1 FROM snapshots WHERE kind = ? AND snapshot = ? AND file <> ?");
  m_hasPlace = m_db.prepare("SELECT 1 FROM snapshots WHERE kind = ? AND file = ? AND number = ?");
  m_addSnapshot = m_db.prepare("INSERT INTO snapshots VALUES (?, ?, ?, ?, ?)");
}

void CaptureStore::checkForeign() {
  int64_t id = 0;
  int64_t objects = 0;
  try {
    id = m_db.integer("PRAGMA application_id");
    objects = m_db.integer("SELECT count(*) FROM sqlite_master");
  } catch (const DatabaseError& e) {
    if ((e.code() & 0xff) == SQLITE_NOTADB) throw ForeignDatabaseError("not an SQLite database");
    throw;
  }
  if (objects == 0) return;
  if (id != kApplicationId) throw ForeignDatabaseError("a database Tarvolin did not make");
  checkShape();
}

void CaptureStore::checkShape() {
  const auto refuse = [](const std::string& table) {
    throw ForeignDatabaseError("its table " + table + " has another shape than Tarvolin makes");
  };
  for (const auto& [table, columns] : kOwnTables)
    if (columnsOf(m_db, table) != columns) refuse(table);
  Statement kinds = m_db.prepare("SELECT table_name, intervals FROM kinds");
  while (kinds.step()) {
    const std::string table = kinds.text(0);
    if (!beginsWith(columnsOf(m_db, table), kRowColumns)) refuse(table);
    const std::string intervals = kinds.text(1);
    if (!intervals.empty() && !beginsWith(columnsOf(m_db, intervals), kIntervalColumns)) refuse(intervals);
  }
}

void CaptureStore::createTables() {
  begin();
  try {
    m_db.exec(kCreateTables);
    m_db.exec("PRAGMA application_id = " + std::to_string(kApplicationId));
    m_db.exec("COMMIT");
  } catch (...) {
    rollback();
    throw;
  }
}

bool CaptureStore::hasCapture(const CaptureFile& file) {
  Statement st = m_db.prepare("SELECT 1 FROM captures WHERE file = ? AND size = ? AND modified = ?");
  st.bind(1, std::string_view(file.name));
  st.bind(2, static_cast<int64_t>(file.size));
  st.bind(3, std::string_view(file.modified));
  return st.step();
}

bool CaptureStore::hasSnapshot(const SnapshotPlace& place) {
  const std::string kind = tableNameOf(place.heading);
  const auto found = [](Statement& st) {
    const bool any = st.step();
    st.reset();
    return any;
  };
  m_hasPlace.bind(1, std::string_view(kind));
  m_hasPlace.bind(2, std::string_view(place.file));
  m_hasPlace.bind(3, static_cast<int64_t>(place.number));
  if (found(m_hasPlace)) return true;
  if (!place.iso) return false;
  m_hasSnapshot.bind(1, std::string_view(kind));
  m_hasSnapshot.bind(2, std::string_view(*place.iso));
  m_hasSnapshot.bind(3, std::string_view(place.file));
  return found(m_hasSnapshot);
}

void CaptureStore::begin() { m_db.exec("BEGIN IMMEDIATE"); }

void CaptureStore::commit() {
  Statement keep = m_db.prepare("UPDATE kinds SET last_snapshot = ?, last_time = ? WHERE table_name = ?");
  for (auto& [table, k] : m_kinds) {
    if (!k.touched || !k.previous) continue;
    keep.bindBlob(1, snapshotBytes(*k.previous));
    bindOptional(keep, 2, k.previousIso);
    keep.bind(3, std::string_view(table));
    keep.run();
    k.touched = false;
  }
  m_db.exec("COMMIT");
}

void CaptureStore::rollback() {
  m_kinds.clear();  // read again from the database as it is after the rollback
  if (!m_db.autocommit()) m_db.exec("ROLLBACK");
}

void CaptureStore::readColumns(Table& t) {
  for (std::string& c : columnsOf(m_db, t.name)) t.add(std::move(c));
}

CaptureStore::Kind& CaptureStore::kindOf(const std::string& heading) {
  const std::string table = tableNameOf(heading);
  if (const auto it = m_kinds.find(table); it != m_kinds.end()) return it->second;
  Kind& k = m_kinds[table];
  k.heading = heading;
  k.rows.name = table;
  Statement st = m_db.prepare("SELECT intervals FROM kinds WHERE table_name = ?");
  st.bind(1, std::string_view(table));
  if (st.step()) {
    readColumns(k.rows);
    const bool none = !st.isNull(0) && st.text(0).empty();  // its snapshots don't compare
    if (!none) {
      k.intervals.emplace();
      k.intervals->name = table + "_intervals";
      readColumns(*k.intervals);
    }
    return k;
  }
  m_db.exec("CREATE TABLE " + sqlName(table) + " (snapshot TEXT, file TEXT, entry INTEGER)");
  m_db.exec("CREATE INDEX " + sqlName(table + "_by_snapshot") + " ON " + sqlName(table) + " (snapshot)");
  for (const std::string& c : kRowColumns) k.rows.add(c);
  Statement add = m_db.prepare("INSERT INTO kinds (heading, table_name) VALUES (?, ?)");
  add.bind(1, std::string_view(heading));
  add.bind(2, std::string_view(table));
  add.run();
  k.previousRead = true;
  k.intervals.emplace();
  k.intervals->name = table + "_intervals";
  return k;
}

int CaptureStore::columnFor(Table& t, std::string_view name) {
  std::string candidate(name);
  for (int n = 2;; ++n) {
    if (const auto it = t.exact.find(candidate); it != t.exact.end()) return it->second;
    if (!t.folded.contains(folded(candidate))) break;
    candidate = std::string(name) + " (" + std::to_string(n) + ")";
  }
  m_db.exec("ALTER TABLE " + sqlName(t.name) + " ADD COLUMN " + sqlName(candidate));
  t.add(std::move(candidate));
  return static_cast<int>(t.columns.size()) - 1;
}

Statement& CaptureStore::insertFor(Table& t, const std::vector<int>& columns) {
  if (columns == t.insertColumns) return t.insert;
  std::string sql = "INSERT INTO " + sqlName(t.name) + " (";
  std::string values;
  for (size_t i = 0; i < columns.size(); ++i) {
    sql += (i > 0 ? ", " : "") + sqlName(t.columns[static_cast<size_t>(columns[i])]);
    values += i > 0 ? ", ?" : "?";
  }
  t.insert = m_db.prepare(sql + ") VALUES (" + values + ")");
  t.insertColumns = columns;
  return t.insert;
}

void CaptureStore::addRows(Kind& k, const LoadedSnapshot& s, const SnapshotPlace& place) {
  std::vector<int> columns = {0, 1, 2};
  std::vector<int> vars;  // by bound value after the first three: the snapshot's column
  for (int c = 0; c < variableCount(s); ++c) {
    const int column = columnFor(k.rows, variableName(s, c));
    if (std::find(columns.begin(), columns.end(), column) != columns.end()) continue;  // a name met twice
    columns.push_back(column);
    vars.push_back(c);
  }
  Statement& insert = insertFor(k.rows, columns);
  const int entries = entryCount(s);
  for (int e = 0; e < entries; ++e) {
    bindOptional(insert, 1, place.iso);
    insert.bind(2, std::string_view(place.file));
    insert.bind(3, static_cast<int64_t>(e + 1));
    for (size_t i = 0; i < vars.size(); ++i) bindValue(insert, static_cast<int>(i) + 4, cellOf(s, e, vars[i]));
    insert.run();
  }
  bindOptional(m_addSnapshot, 2, place.iso);
  m_addSnapshot.bind(1, std::string_view(k.rows.name));
  m_addSnapshot.bind(3, std::string_view(place.file));
  m_addSnapshot.bind(4, static_cast<int64_t>(place.number));
  m_addSnapshot.bind(5, static_cast<int64_t>(entries));
  m_addSnapshot.run();
}

void CaptureStore::readPrevious(Kind& k) {
  if (k.previousRead) return;
  k.previousRead = true;
  Statement st = m_db.prepare("SELECT last_snapshot, last_time FROM kinds WHERE table_name = ?");
  st.bind(1, std::string_view(k.rows.name));
  if (!st.step() || st.isNull(0)) return;
  k.previous = snapshotFromBytes(st.blob(0));
  if (!st.isNull(1)) k.previousIso = st.text(1);
}

void CaptureStore::addInterval(Kind& k, LoadedSnapshot& s, const SnapshotPlace& place, const CounterTypes& types) {
  readPrevious(k);
  // A snapshot no later than the one before it (files loaded out of order) begins the pairs afresh.
  const bool later = !place.iso || !k.previousIso || *place.iso > *k.previousIso;
  if (k.previous && later) {
    try {
      Comparison c = compareSnapshots(*k.previous, s, types, std::nullopt, place.dateOrder);
      if (k.intervals->columns.empty()) {
        m_db.exec("CREATE TABLE " + sqlName(k.intervals->name) + " (\"from\" TEXT, \"to\" TEXT)");
        m_db.exec("CREATE INDEX " + sqlName(k.intervals->name + "_by_to") + " ON " + sqlName(k.intervals->name) +
                  " (\"to\")");
        for (const std::string& col : kIntervalColumns) k.intervals->add(col);
        Statement named = m_db.prepare("UPDATE kinds SET intervals = ? WHERE table_name = ?");
        named.bind(1, std::string_view(k.intervals->name));
        named.bind(2, std::string_view(k.rows.name));
        named.run();
      }
      SeriesTable table;
      SeriesInterval iv{*k.previous, s, c, {}, {}, 0};
      std::vector<int> columns;  // by column written: the table's
      table.write(iv, [&](const GridStore& g, const std::vector<int>& cols) {
        if (columns.empty()) {  // the header, first
          for (size_t i = 0; i < cols.size(); ++i)
            columns.push_back(i < 2 ? static_cast<int>(i) : columnFor(*k.intervals, g.text(0, cols[i])));
          return;
        }
        Statement& insert = insertFor(*k.intervals, columns);
        for (int r = 0; r < g.rows(); ++r) {
          bindOptional(insert, 1, k.previousIso);
          bindOptional(insert, 2, place.iso);
          for (size_t i = 2; i < cols.size(); ++i) bindValue(insert, static_cast<int>(i) + 1, g.text(r, cols[i]));
          insert.run();
        }
      });
    } catch (const CompareError&) {
      Statement none = m_db.prepare("UPDATE kinds SET intervals = '' WHERE table_name = ?");
      none.bind(1, std::string_view(k.rows.name));
      none.run();
      k.intervals.reset();
      k.previous.reset();
      return;
    }
  }
  k.previous = takeSnapshot(s);
  k.previousIso = place.iso;
  k.touched = true;
}

void CaptureStore::addSnapshot(LoadedSnapshot& s, const SnapshotPlace& place, const CounterTypes& types) {
  Kind& k = kindOf(place.heading);
  addRows(k, s, place);
  if (k.intervals) addInterval(k, s, place, types);
}

void CaptureStore::addCapture(const CaptureFile& file, const std::vector<std::string>& kinds,
                              const std::optional<std::string>& first, const std::optional<std::string>& last) {
  std::string names;
  for (const std::string& k : kinds) names += (names.empty() ? "" : ", ") + k;
  Statement st = m_db.prepare("INSERT OR REPLACE INTO captures VALUES (?, ?, ?, ?, ?, ?, ?)");
  st.bind(1, std::string_view(file.name));
  st.bind(2, static_cast<int64_t>(file.size));
  st.bind(3, std::string_view(file.modified));
  st.bind(4, std::string_view(names));
  bindOptional(st, 5, first);
  bindOptional(st, 6, last);
  st.bind(7, std::string_view(localNow()));
  st.run();
}

}  // namespace tarvolin::core
