#include "core/read/date_line.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tarvolin::core {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kDays = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

/// Reads `n` digits at `at` and moves past them.
bool number(std::string_view s, size_t& at, size_t n, int& out) {
  out = 0;
  for (size_t end = at + n; at < end; ++at) {
    if (at >= s.size() || s[at] < '0' || s[at] > '9') return false;
    out = out * 10 + (s[at] - '0');
  }
  return true;
}

bool skip(std::string_view s, size_t& at, char c) {
  if (at >= s.size() || s[at] != c) return false;
  ++at;
  return true;
}

struct Clock {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string fraction;

  [[nodiscard]] bool valid() const {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59 && second <= 60;
  }
  [[nodiscard]] std::string text() const {
    std::array<char, 64> out{};
    std::snprintf(out.data(), out.size(), "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return std::string(out.data()) + (fraction.empty() ? "" : "." + fraction);
  }
};

/// "HH:MM:SS" at `at`, with a fraction after '.' or ',' when `fractions`.
bool readClock(std::string_view s, size_t& at, Clock& c, bool fractions) {
  if (!number(s, at, 2, c.hour) || !skip(s, at, ':') || !number(s, at, 2, c.minute) || !skip(s, at, ':') ||
      !number(s, at, 2, c.second))
    return false;
  if (!fractions || at >= s.size() || (s[at] != '.' && s[at] != ',')) return true;
  for (++at; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at)
    if (c.fraction.size() < 6) c.fraction += s[at];
  return !c.fraction.empty();
}

/// "Z", "+01", "+0100" or "+01:00", or nothing, up to the end.
bool zoneEnds(std::string_view rest) {
  if (rest.empty() || rest == "Z") return true;
  if (rest[0] != '+' && rest[0] != '-') return false;
  size_t at = 1;
  int h = 0, m = 0;
  if (!number(rest, at, 2, h)) return false;
  if (at < rest.size() && rest[at] == ':') ++at;
  return at == rest.size() || (number(rest, at, 2, m) && at == rest.size());
}

std::optional<Clock> isoTime(std::string_view s) {
  Clock c;
  size_t at = 0;
  if (!number(s, at, 4, c.year) || !skip(s, at, '-') || !number(s, at, 2, c.month) || !skip(s, at, '-') ||
      !number(s, at, 2, c.day) || at >= s.size() || (s[at] != ' ' && s[at] != 'T'))
    return std::nullopt;
  ++at;
  if (!readClock(s, at, c, true) || !zoneEnds(s.substr(at))) return std::nullopt;
  return c;
}

/// The next word after blanks, moving past it.
std::string_view word(std::string_view s, size_t& at) {
  while (at < s.size() && s[at] == ' ') ++at;
  const size_t from = at;
  while (at < s.size() && s[at] != ' ') ++at;
  return s.substr(from, at - from);
}

std::optional<Clock> cLocaleTime(std::string_view s) {
  Clock c;
  size_t at = 0;
  const std::string_view day = word(s, at);
  const std::string_view month = word(s, at);
  const std::string_view date = word(s, at);
  std::string_view clock = word(s, at);
  std::string_view year = word(s, at);
  const std::string_view more = word(s, at);
  if (!more.empty()) {  // a zone before the year
    year = more;
    if (!word(s, at).empty()) return std::nullopt;
  }
  if (std::find(kDays.begin(), kDays.end(), day) == kDays.end()) return std::nullopt;
  const auto m = std::find(kMonths.begin(), kMonths.end(), month);
  if (m == kMonths.end()) return std::nullopt;
  c.month = static_cast<int>(m - kMonths.begin()) + 1;
  size_t i = 0;
  if (date.empty() || date.size() > 2 || !number(date, i, date.size(), c.day)) return std::nullopt;
  i = 0;
  if (!readClock(clock, i, c, false) || i != clock.size()) return std::nullopt;
  i = 0;
  if (year.size() != 4 || !number(year, i, 4, c.year)) return std::nullopt;
  return c;
}

}  // namespace

std::optional<std::string> dateLineTime(std::string_view trimmed) {
  if (trimmed.size() < 19 || trimmed.size() > 40) return std::nullopt;
  const char first = trimmed[0];
  std::optional<Clock> c;
  if (first >= '0' && first <= '9')
    c = isoTime(trimmed);
  else if (first >= 'A' && first <= 'Z')
    c = cLocaleTime(trimmed);
  if (!c || !c->valid()) return std::nullopt;
  return c->text();
}

}  // namespace tarvolin::core
