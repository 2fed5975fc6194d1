#include "core/values/snapshot_time.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>

#include "core/read/text_encoding.h"
#include "core/values/decimal.h"

namespace tarvolin::core {

namespace {

/// Reads exactly `n` digits at `at`.
bool digits(std::string_view s, size_t at, size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

/// The two leading two-digit fields of a day-first or month-first date, and its separator;
/// nothing for a year-first date or another text.
std::optional<std::array<int, 3>> shortDateFields(std::string_view text) {
  int a = 0, b = 0, y = 0;
  if (text.size() < 10 || text[5] != text[2] || !digits(text, 0, 2, a) || !digits(text, 3, 2, b) ||
      !digits(text, 6, 4, y))
    return std::nullopt;
  if (text[2] != '/' && text[2] != '-' && text[2] != '.') return std::nullopt;
  return std::array<int, 3>{a, b, text[2]};
}

bool yearFirst(std::string_view text) {
  int y = 0;
  return text.size() >= 10 && text[7] == text[4] && digits(text, 0, 4, y) &&
         (text[4] == '-' || text[4] == '/' || text[4] == '.');
}

}  // namespace

std::optional<DateOrder> parseDateOrder(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (upper == "DMY") return DateOrder::DMY;
  if (upper == "MDY") return DateOrder::MDY;
  if (upper == "YMD") return DateOrder::YMD;
  return std::nullopt;
}

std::optional<DateOrder> dateOrderOf(std::string_view text) {
  text = trimBlanks(text);
  if (yearFirst(text)) return DateOrder::YMD;
  const auto f = shortDateFields(text);
  if (!f) return std::nullopt;
  const DateOrder byForm = (*f)[2] == '/' ? DateOrder::MDY : DateOrder::DMY;
  const int month = byForm == DateOrder::MDY ? (*f)[0] : (*f)[1];
  if (month <= 12) return byForm;
  return byForm == DateOrder::MDY ? DateOrder::DMY : DateOrder::MDY;
}

DateOrder fileDateOrder(const std::vector<std::string_view>& stamps) {
  DateOrderEvidence evidence;
  for (const std::string_view stamp : stamps) evidence.add(stamp);
  return evidence.order();
}

void DateOrderEvidence::add(std::string_view stamp) {
  const std::string_view text = trimBlanks(stamp);
  if (yearFirst(text)) return;
  const std::optional<DateOrder> order = dateOrderOf(text);
  if (!order) return;
  const auto f = shortDateFields(text);
  const DateOrder form = (*f)[2] == '/' ? DateOrder::MDY : DateOrder::DMY;
  if (!m_form) {
    m_form = form;
    m_first = text;
  }
  if (*order != *m_form && !m_other) m_other = order;  // a month above 12 tells
  if ((*f)[0] > 12 && m_dayFirst.empty()) m_dayFirst = text;
  if ((*f)[1] > 12 && m_monthFirst.empty()) m_monthFirst = text;
}

DateOrder DateOrderEvidence::order() const { return m_other.value_or(m_form.value_or(DateOrder::MDY)); }

const std::string& DateOrderEvidence::against(DateOrder order) const {
  if (order == DateOrder::DMY) return m_monthFirst;
  if (order == DateOrder::MDY) return m_dayFirst;
  return m_first;
}

std::optional<int64_t> parseSnapshotTime(std::string_view text, std::optional<DateOrder> order) {
  text = trimBlanks(text);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (text.size() < 19 || text[10] != ' ') return std::nullopt;
  if (yearFirst(text)) {
    if (!digits(text, 5, 2, mo) || !digits(text, 8, 2, d)) return std::nullopt;
    digits(text, 0, 4, y);
  } else if (const auto f = shortDateFields(text)) {
    if (!order) order = dateOrderOf(text);
    if (*order == DateOrder::YMD) return std::nullopt;
    mo = *order == DateOrder::MDY ? (*f)[0] : (*f)[1];
    d = *order == DateOrder::MDY ? (*f)[1] : (*f)[0];
    digits(text, 6, 4, y);
  } else {
    return std::nullopt;
  }
  const char sep = text[13];
  if ((sep != ':' && sep != '.') || text[16] != sep || !digits(text, 11, 2, h) || !digits(text, 14, 2, mi) ||
      !digits(text, 17, 2, s))
    return std::nullopt;
  int64_t micros = 0;
  const std::string_view fraction = text.substr(19);
  if (!fraction.empty()) {
    int f = 0;
    if (fraction[0] != '.' || fraction.size() > 7 || !digits(fraction, 1, fraction.size() - 1, f)) return std::nullopt;
    micros = f;
    for (size_t n = fraction.size() - 1; n < 6; ++n) micros *= 10;
  }
  using namespace std::chrono;
  const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!date.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
  const auto at = sys_days{date} + hours{h} + minutes{mi} + seconds{s} + microseconds{micros};
  return duration_cast<microseconds>(at.time_since_epoch()).count();
}

std::string timeOfDay(std::string_view text) {
  text = trimBlanks(text);
  if (text.size() < 19 || text[10] != ' ') return std::string(text);
  std::string time(text.substr(11, 8));
  if (time[2] == '.' && time[5] == '.') time[2] = time[5] = ':';
  return time;
}

std::string secondsText(int64_t micros) {
  std::string text = formatDecimal(Decimal{micros, 6});
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string snapshotOfText(std::string_view timestamp) {
  const size_t space = timestamp.find(' ');
  if (space == std::string_view::npos) return {};
  std::string clock(timestamp.substr(space + 1, 8));
  std::replace(clock.begin(), clock.end(), '.', ':');
  return "Snapshot of " + clock;
}

namespace {

/// The time of day of a stamp to the minute, "16:35", or to the second when `seconds`.
std::string clockText(std::string_view stamp, bool seconds) {
  const std::string time = timeOfDay(stamp);
  return time.size() == 8 ? time.substr(0, seconds ? 8 : 5) : time;
}

/// The date of a stamp ("12/07/2026"), or empty when it has none.
std::string_view dateOf(std::string_view stamp) {
  stamp = trimBlanks(stamp);
  return stamp.size() >= 19 && stamp[10] == ' ' ? stamp.substr(0, 10) : std::string_view();
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

std::string captureSpanText(const std::vector<std::string>& times) {
  const auto timed = [](const std::string& t) { return !trimBlanks(t).empty(); };
  const auto first = std::find_if(times.begin(), times.end(), timed);
  if (first == times.end()) return {};
  const auto last = std::find_if(times.rbegin(), times.rend(), timed);
  if (times.size() < 2) return std::string(trimBlanks(*first));
  const bool oneMinute = clockText(*first, false) == clockText(*last, false);
  const bool oneDay = dateOf(*first) == dateOf(*last);
  const auto end = [&](const std::string& stamp) {
    const std::string clock = clockText(stamp, oneMinute && oneDay);
    return oneDay ? clock : std::string(dateOf(stamp)) + ' ' + clock;
  };
  return end(*first) + " \u2013 " + end(*last) + ", " + std::to_string(times.size()) + " snapshots";
}

std::string stampText(const ClockReading& at, std::string_view like) {
  const std::string_view date = dateOf(like);
  const std::string dd = twoDigits(at.day), mm = twoDigits(at.month), yyyy = std::to_string(at.year);
  std::string text;
  if (date.size() == 10 && date[4] == '-')
    text = yyyy + '-' + mm + '-' + dd;
  else if (date.size() == 10 && (date[2] == '.' || date[2] == '-'))
    text = dd + date[2] + mm + date[2] + yyyy;
  else
    text = mm + '/' + dd + '/' + yyyy;
  const char sep = trimBlanks(like).size() >= 19 && trimBlanks(like)[13] == '.' ? '.' : ':';
  return text + ' ' + twoDigits(at.hour) + sep + twoDigits(at.minute) + sep + twoDigits(at.second);
}

}  // namespace tarvolin::core
