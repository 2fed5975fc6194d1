#pragma once

#include <string_view>

#include "core/grid/text_measure.h"
#include "core/read/variable_table.h"

namespace tarvolin::core {

/// Width counted for a value of 60 characters or more, in twips.
inline constexpr int kLongValueWidth = 2000;

/// Twips a value needs under the column width rule: its measured width times 1.2,
/// rounded half to even; 2000 for 60 characters or more (not measured); 0 if empty.
[[nodiscard]] int valueWidth(std::string_view value, TextMeasure& measure);

/// Keeps each variable's `width` at the widest value of a load. Holds references to
/// the table and the measure, which must outlive it.
class ColumnWidths {
 public:
  ColumnWidths(VariableTable& vars, TextMeasure& measure);

  /// Raises vars[idx].width to valueWidth(value) when that is wider (at most 32767).
  void widen(int idx, std::string_view value);

 private:
  VariableTable& m_vars;
  TextMeasure& m_measure;
};

}  // namespace tarvolin::core
