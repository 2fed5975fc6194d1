#include "ui/customise/customise_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "core/read/config_file.h"
#include "core/read/text_encoding.h"

namespace tarvolin::ui {

namespace {

constexpr int kScrollBeyondRow = 12;  // the list scrolls only for a selection below this row
constexpr int kRowsAboveSelection = 10;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Length of the decimal number at the start of `s` ([+-]digits[.digits][(e|E)[+-]digits]),
/// or 0 when `s` does not start with one.
size_t numberLength(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t expStart = j;
    while (j < s.size() && isDigit(s[j])) ++j;
    if (j == expStart) return 0;
    i = j;
  }
  return i;
}

std::string_view trimSpaceAndTab(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

double roundHalfToEven(double x) {
  const double below = std::floor(x);
  const double fraction = x - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace

CustomiseList::CustomiseList(const core::VariableTable& vars) {
  m_rows.reserve(static_cast<size_t>(vars.count()));
  for (int i = 0; i <= vars.lastIndex(); ++i) {
    const core::Variable& v = vars[i];
    m_rows.push_back({v.name, v.show ? "Y" : "N", v.cmark, v.cfg2, v.cfg3, v.cfg4});
  }
}

UpDownState CustomiseList::updown(bool selectedVisible) const {
  const int n = rowCount();
  UpDownState s;
  s.down = m_selrow >= 1 && m_selrow < n - 1;
  s.up = m_selrow > 1;
  if (!selectedVisible && m_selrow > kScrollBeyondRow) s.scrollTop = m_selrow - kRowsAboveSelection;
  return s;
}

RowSpan CustomiseList::click(int row, int col) {
  selChange(row);
  if (col != 2 || m_selrow == 0) return {};
  std::string& show = m_rows[static_cast<size_t>(m_selrow - 1)].show;
  show = show == "Y" ? "N" : "Y";
  return {m_selrow, m_selrow};
}

void CustomiseList::selChange(int row) { m_selrow = static_cast<int16_t>(row >= 1 && row < rowCount() ? row : 0); }

RowSpan CustomiseList::up() {
  if (m_selrow <= 1) return {};
  const int r = m_selrow;
  std::swap(m_rows[static_cast<size_t>(r - 1)], m_rows[static_cast<size_t>(r - 2)]);
  m_selrow = static_cast<int16_t>(r - 1);
  return {r - 1, r};
}

RowSpan CustomiseList::down() {
  if (m_selrow < 1 || m_selrow >= rowCount() - 1) return {};
  const int r = m_selrow;
  std::swap(m_rows[static_cast<size_t>(r - 1)], m_rows[static_cast<size_t>(r)]);
  m_selrow = static_cast<int16_t>(r + 1);
  return {r, r + 1};
}

RowSpan CustomiseList::moveAfter(std::string_view answer) {
  if (m_selrow == 0) return {};
  const std::optional<int32_t> place = moveAfterPlace(answer);
  if (!place) return {};
  const int p = *place;
  if (p < 1 || p > rowCount() - 2 || p == m_selrow) return {};
  const int from = m_selrow;
  const auto at = [this](int r) { return m_rows.begin() + (r - 1); };
  // The rows between the two places shift by one towards the selected row's old place.
  if (p > from)
    std::rotate(at(from), at(from + 1), at(p + 1));
  else
    std::rotate(at(p), at(from), at(from + 1));
  m_selrow = static_cast<int16_t>(p);
  return {std::min(from, p), std::max(from, p)};
}

RowSpan CustomiseList::setAllShown(const char* text) {
  for (CustomiseRow& r : m_rows) r.show = text;
  return {1, variableCount()};
}

RowSpan CustomiseList::dispAll() { return setAllShown("Y"); }

RowSpan CustomiseList::dispNone() { return setAllShown("N"); }

void CustomiseList::writeBack(core::VariableTable& vars) const {
  const int last = std::min(static_cast<int>(vars.lastIndex()), variableCount() - 1);
  for (int i = 0; i <= last; ++i) {
    const CustomiseRow& r = m_rows[static_cast<size_t>(i)];
    core::Variable& v = vars.edit(i);
    v.name = r.name;
    v.show = core::trimBlanks(r.show) == "Y";
    v.cmark = r.cmark;
    v.cfg2 = r.cfg2;
    v.cfg3 = r.cfg3;
    v.cfg4 = r.cfg4;
  }
}

std::optional<std::string> CustomiseList::commit(core::Report& report, const std::string& folder) const {
  writeBack(report.vars);
  return core::writecfg(report.vars, folder, report.kindHeading);
}

std::optional<int32_t> CustomiseList::moveAfterPlace(std::string_view answer) {
  std::string_view text = trimSpaceAndTab(answer);
  if (text.empty() || numberLength(text) != text.size()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0;
  const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (err == std::errc::result_out_of_range) {
    // Too small for a double is zero; too large is out of any range.
    const bool tiny = text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
    if (!tiny) return std::nullopt;
    value = 0;
  } else if (err != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  const double p = roundHalfToEven(value + 1);
  if (!(p >= std::numeric_limits<int32_t>::min() && p <= std::numeric_limits<int32_t>::max())) return std::nullopt;
  return static_cast<int32_t>(p);
}

}  // namespace tarvolin::ui
