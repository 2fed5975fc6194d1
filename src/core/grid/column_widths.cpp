#include "core/grid/column_widths.h"

#include <algorithm>
#include <cmath>

#include "core/read/text_encoding.h"

namespace tarvolin::core {

namespace {

constexpr size_t kLongValueChars = 60;

int roundHalfEven(double x) {
  const double r = std::nearbyint(x);  // the default rounding mode is to nearest, ties to even
  return r > 2147483647.0 ? 2147483647 : static_cast<int>(r);
}

}  // namespace

int valueWidth(std::string_view value, TextMeasure& measure) {
  if (value.empty()) return 0;
  if (value.size() >= kLongValueChars && utf8Length(value) >= kLongValueChars) return kLongValueWidth;
  return roundHalfEven(measure.textWidthTwips(value) * 1.2);
}

ColumnWidths::ColumnWidths(VariableTable& vars, TextMeasure& measure) : m_vars(vars), m_measure(measure) {}

void ColumnWidths::widen(int idx, std::string_view value) {
  const int w = valueWidth(value, m_measure);
  if (w > m_vars[idx].width) m_vars.setWidth(idx, static_cast<int16_t>(std::min(w, 32767)));
}

}  // namespace tarvolin::core
