#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarvolin::core {

/// Number of records the variable table holds (indices 0 to 500).
inline constexpr int kMaxVars = 501;

/// One performance variable of the report kind on show; variable i is grid column i.
struct perfvar {
  std::string name;
  bool show = true;
  bool cmark = false;
  std::string cfg2;
  std::string cfg3;
  std::string cfg4;
  int16_t seqno = 0;
  int16_t width = 0;  ///< Twips the widest value of this load needs.
};

/// Thrown by VariableTable::appendName when all 501 records are in use.
class TableFullError : public std::runtime_error {
 public:
  explicit TableFullError(const std::string& name);
};

/// The fixed table of 501 variable records with `maxvar` as the last index in use.
///
/// Lookup answers exactly what a linear scan from index 0 answers (the first
/// record whose name equals the text), through a hash index that is rebuilt
/// lazily after any mutable access to a record.
class VariableTable {
 public:
  VariableTable();

  /// Index of the last record in use; -1 when empty.
  [[nodiscard]] int16_t maxvar() const { return m_maxvar; }
  [[nodiscard]] int count() const { return m_maxvar + 1; }
  [[nodiscard]] bool full() const { return m_maxvar + 1 >= kMaxVars; }

  /// Read access to any of the 501 slots (records above maxvar hold leftovers).
  [[nodiscard]] const perfvar& operator[](int i) const { return m_vars.at(static_cast<size_t>(i)); }

  /// Write access to a record. Invalidates the name index: cost O(maxvar) at the next lookup.
  perfvar& edit(int i);

  /// Changes the measured width only; keeps the name index.
  void setWidth(int i, int16_t width) { m_vars.at(static_cast<size_t>(i)).width = width; }

  /// maxvar becomes -1.
  void reset();

  /// First index whose name equals `name` exactly, or -1.
  [[nodiscard]] int lookup(std::string_view name) const;

  /// The same answer as lookup(name), checking the guess `hint` first: when record `hint`
  /// carries that name and no earlier record does, no hashing is needed. Any hint is
  /// allowed (out of range ones are ignored).
  [[nodiscard]] int lookupHint(std::string_view name, int hint) const {
    if (!m_indexDirty && hint >= 0 && hint <= m_maxvar && m_firstOfName[static_cast<size_t>(hint)] &&
        sameText(m_vars[static_cast<size_t>(hint)].name, name))
      return hint;
    return lookup(name);
  }

  /// Appends a record with the parser's initial values (shown, no mark, empty kept
  /// fields, seqno = its index, width 0). Throws TableFullError when 501 are in use.
  int appendName(std::string_view name);

  /// Appends a slot for the configuration reader: maxvar grows by one and the record is
  /// reset (name and kept fields empty, shown, no mark, width 0; seqno untouched).
  /// Throws TableFullError when 501 are in use.
  perfvar& appendBlank();

 private:
  void rebuildIndex() const;

  /// a == b, inline: the hint check runs once per report line, and names are short
  /// enough that a call to memcmp costs more than the comparison.
  static bool sameText(const std::string& a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    if (n < 8) {
      for (size_t i = 0; i < n; ++i)
        if (p[i] != q[i]) return false;
      return true;
    }
    // Words from the front, then the last word (which may overlap the one before).
    for (size_t i = 0; i + 8 < n; i += 8)
      if (word(p + i) != word(q + i)) return false;
    return word(p + n - 8) == word(q + n - 8);
  }
  static uint64_t word(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }

  std::array<perfvar, kMaxVars> m_vars;
  int16_t m_maxvar = -1;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  mutable std::unordered_map<std::string, int16_t, Hash, std::equal_to<>> m_index;
  mutable bool m_indexDirty = false;
  mutable std::array<bool, kMaxVars> m_firstOfName{};  ///< no earlier record has this one's name
};

}  // namespace tarvolin::core
