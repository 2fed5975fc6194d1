#include "core/column_widths.h"

#include <algorithm>
#include <cmath>

#include "core/text_encoding.h"

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
  if (utf8Length(value) >= kLongValueChars) return kLongValueWidth;
  return roundHalfEven(measure.textWidthTwips(value) * 1.2);
}

ColumnWidths::ColumnWidths(VariableTable& vars, TextMeasure& measure)
    : m_vars(vars), m_measure(measure), m_maxAdvance(measure.maxAsciiAdvanceTwips()) {}

void ColumnWidths::widen(int idx, std::string_view value) {
  if (value.empty()) return;
  const int current = m_vars[idx].width;
  if (value.size() < shortestWidening(idx, current) && isAscii(value)) return;
  const int w = valueWidth(value, m_measure);
  if (w > current) m_vars.setWidth(idx, static_cast<int16_t>(std::min(w, 32767)));
}

/// The bound of n ASCII characters is rounded as a measured width is (n times the
/// widest advance, times 1.2) and grows with n: the first n from 1 to 60 whose bound
/// beats `width` is kept per column until the column's width changes.
size_t ColumnWidths::shortestWidening(int idx, int width) {
  if (m_maxAdvance <= 0) return 0;
  Bound& b = m_bounds[static_cast<size_t>(idx)];
  if (b.width != width) {
    b.width = width;
    b.length = 1;
    while (b.length < kLongValueChars && roundHalfEven(static_cast<double>(b.length) * m_maxAdvance * 1.2) <= width)
      ++b.length;
  }
  return b.length;
}

}  // namespace tarvolin::core
