#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarvolin::core {

/// Number of records the variable table holds (indices 0 to 500).
inline constexpr int kMaxVars = 501;

/// One performance variable of the report kind on show; variable i is grid column i.
struct Variable {
  std::string name;
  bool show = true;
  bool cmark = false;  ///< "C" flag of its configuration line: written back as "C", so it always returns shown
  std::string cfg2;    ///< second field of its configuration line, kept and written back unchanged
  std::string cfg3;    ///< third field of its configuration line, kept and written back unchanged
  std::string cfg4;    ///< fourth field of its configuration line, kept and written back unchanged
  int16_t seqno = 0;
  int16_t width = 0;  ///< Twips the widest value of this load needs.
};

/// Thrown by VariableTable::appendName when all 501 records are in use.
class TableFullError : public std::runtime_error {
 public:
  explicit TableFullError(const std::string& name);
};

/// The fixed table of 501 variable records with `lastIndex` as the last index in use.
///
/// Lookup answers exactly what a linear scan from index 0 answers (the first
/// record whose name equals the text), through a hash index that is rebuilt
/// lazily after any mutable access to a record.
///
/// The records take memory only once one is written: a table never filled (a result
/// grid's report) costs a pointer. A copy is deep.
class VariableTable {
 public:
  VariableTable() = default;
  VariableTable(const VariableTable& other);
  VariableTable& operator=(const VariableTable& other);
  VariableTable(VariableTable&& other) noexcept;
  VariableTable& operator=(VariableTable&& other) noexcept;
  ~VariableTable() = default;

  /// Index of the last record in use; -1 when empty.
  [[nodiscard]] int16_t lastIndex() const { return m_lastIndex; }
  [[nodiscard]] int count() const { return m_lastIndex + 1; }
  [[nodiscard]] bool full() const { return m_lastIndex + 1 >= kMaxVars; }

  /// Read access to any of the 501 slots (records above lastIndex hold leftovers).
  [[nodiscard]] const Variable& operator[](int i) const;

  /// Write access to a record. Invalidates the name index: cost O(lastIndex) at the next lookup.
  Variable& edit(int i);

  /// Changes the measured width only; keeps the name index.
  void setWidth(int i, int16_t width) { records().at(static_cast<size_t>(i)).width = width; }

  /// lastIndex becomes -1.
  void reset();

  /// First index whose name equals `name` exactly, or -1.
  [[nodiscard]] int lookup(std::string_view name) const;

  /// Appends a record with the parser's initial values (shown, no mark, empty kept
  /// fields, seqno = its index, width 0). Throws TableFullError when 501 are in use.
  int appendName(std::string_view name);

  /// Appends a slot for the configuration reader: lastIndex grows by one and the record is
  /// reset (name and kept fields empty, shown, no mark, width 0; seqno untouched).
  /// Throws TableFullError when 501 are in use.
  Variable& appendBlank();

  /// Inserts a record named `name` at index `at` (0 to count()), with the settings
  /// appendName gives; the records from `at` on move up by one, so column i of a grid
  /// written before is column i + 1 now. Throws TableFullError when 501 are in use.
  void insertName(int at, std::string_view name);

 private:
  using Slots = std::array<Variable, kMaxVars>;
  void rebuildIndex() const;
  /// The records, made (all of them new) at the first call.
  Slots& records();

  std::unique_ptr<Slots> m_vars;
  int16_t m_lastIndex = -1;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  mutable std::unordered_map<std::string, int16_t, Hash, std::equal_to<>> m_index;
  mutable bool m_indexDirty = false;
};

}  // namespace tarvolin::core
