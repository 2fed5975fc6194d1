#include "core/database/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

namespace tarvolin::core {

namespace {

[[noreturn]] void fail(sqlite3* db, int rc) {
  throw DatabaseError(rc, db != nullptr && sqlite3_errcode(db) == rc ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

}  // namespace

bool DatabaseError::full() const { return (m_code & 0xff) == SQLITE_FULL; }

Statement::Statement(sqlite3* db, std::string_view sql) : m_db(db) {
  const int rc =
      sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
  if (rc != SQLITE_OK) fail(db, rc);
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement::Statement(Statement&& other) noexcept : m_db(other.m_db), m_stmt(std::exchange(other.m_stmt, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(m_stmt);
    m_db = other.m_db;
    m_stmt = std::exchange(other.m_stmt, nullptr);
  }
  return *this;
}

void Statement::check(int rc) {
  if (rc != SQLITE_OK) fail(m_db, rc);
}

void Statement::bindNull(int at) { check(sqlite3_bind_null(m_stmt, at)); }
void Statement::bind(int at, int64_t value) { check(sqlite3_bind_int64(m_stmt, at, value)); }
void Statement::bind(int at, double value) { check(sqlite3_bind_double(m_stmt, at, value)); }
void Statement::bind(int at, std::string_view text) {
  check(sqlite3_bind_text64(m_stmt, at, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}
void Statement::bindBlob(int at, std::string_view bytes) {
  check(sqlite3_bind_blob64(m_stmt, at, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
}

bool Statement::step() {
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(m_stmt);
  fail(m_db, rc);
}

void Statement::reset() {
  sqlite3_reset(m_stmt);
  sqlite3_clear_bindings(m_stmt);
}

void Statement::run() {
  while (step()) {
  }
  reset();
}

bool Statement::isNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }
int64_t Statement::integer(int col) const { return sqlite3_column_int64(m_stmt, col); }
std::string Statement::text(int col) const {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
  return t == nullptr ? std::string() : std::string(t, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col)));
}
std::string Statement::blob(int col) const {
  const auto* b = static_cast<const char*>(sqlite3_column_blob(m_stmt, col));
  return b == nullptr ? std::string() : std::string(b, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col)));
}

Database::Database(const std::string& path, bool create) {
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    sqlite3_close(m_db);
    throw DatabaseError(rc, message);
  }
  sqlite3_extended_result_codes(m_db, 1);
}

Database::~Database() { sqlite3_close(m_db); }

void Database::exec(const std::string& sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message);
  if (rc == SQLITE_OK) return;
  const std::string text = message != nullptr ? message : sqlite3_errstr(rc);
  sqlite3_free(message);
  throw DatabaseError(rc, text);
}

int64_t Database::integer(const std::string& sql) {
  Statement s = prepare(sql);
  return s.step() ? s.integer(0) : 0;
}

bool Database::autocommit() const { return sqlite3_get_autocommit(m_db) != 0; }

std::string sqlName(std::string_view name) {
  std::string q = "\"";
  for (const char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

}  // namespace tarvolin::core
