#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvolin::core {

/// A call of the SQLite library failed; code() is its result code (SQLITE_FULL for a full
/// disk), what() its message.
class DatabaseError : public std::runtime_error {
 public:
  DatabaseError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
  [[nodiscard]] int code() const { return m_code; }
  /// Whether the disk (or the database's size limit) is full.
  [[nodiscard]] bool full() const;

 private:
  int m_code;
};

/// One prepared statement of a Database, finalized with this object. Values are bound from
/// 1; bound text is copied by SQLite.
class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void bindNull(int at);
  void bind(int at, int64_t value);
  void bind(int at, double value);
  void bind(int at, std::string_view text);
  void bindBlob(int at, std::string_view bytes);
  /// Runs one step: true while a row is there to read, false once done. Throws DatabaseError.
  bool step();
  /// Ready to run again with new values.
  void reset();
  /// Runs it to its end and resets it.
  void run();

  [[nodiscard]] bool isNull(int col) const;
  [[nodiscard]] int64_t integer(int col) const;
  [[nodiscard]] std::string text(int col) const;
  [[nodiscard]] std::string blob(int col) const;

 private:
  void check(int rc);
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_stmt = nullptr;
};

/// An open SQLite database, closed with this object.
class Database {
 public:
  /// Opens `path` for reading and writing, creating it when `create`. Throws DatabaseError.
  explicit Database(const std::string& path, bool create = true);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  /// Runs SQL statements that return nothing needed. Throws DatabaseError.
  void exec(const std::string& sql);
  [[nodiscard]] Statement prepare(std::string_view sql) { return {m_db, sql}; }
  /// The first column of the first row of `sql`, as an integer (0 when there is no row).
  [[nodiscard]] int64_t integer(const std::string& sql);
  /// Whether no transaction is open.
  [[nodiscard]] bool autocommit() const;
  [[nodiscard]] sqlite3* handle() const { return m_db; }

 private:
  sqlite3* m_db = nullptr;
};

/// `name` as an SQL identifier: in double quotes, each quote doubled.
[[nodiscard]] std::string sqlName(std::string_view name);

}  // namespace tarvolin::core
