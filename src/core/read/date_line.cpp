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

/// A time zone's abbreviation ("UTC", "CEST") or offset ("+0100").
bool isZone(std::string_view w) {
  if (w.empty() || w.size() > 6) return false;
  if (w[0] == '+' || w[0] == '-') return zoneEnds(w);
  return std::all_of(w.begin(), w.end(), [](char ch) { return ch >= 'A' && ch <= 'Z'; });
}

/// `date` as the C locale prints it ("Mon Dec  7 16:05:00 UTC 2026") and as the English
/// locales do: en_US with a 12-hour clock ("Mon Dec  7 04:05:00 PM UTC 2026"), en_GB with
/// the day before the month ("Mon  7 Dec 16:05:00 GMT 2026"); the zone may be left out.
std::optional<Clock> cLocaleTime(std::string_view s) {
  size_t at = 0;
  if (std::find(kDays.begin(), kDays.end(), word(s, at)) == kDays.end()) return std::nullopt;
  Clock c;
  bool clock = false;
  bool zone = false;
  std::string_view half;  // "AM" or "PM" after a 12-hour clock
  for (std::string_view w = word(s, at); !w.empty(); w = word(s, at)) {
    const auto month = std::find(kMonths.begin(), kMonths.end(), w);
    size_t i = 0;
    if (month != kMonths.end() && c.month == 0)
      c.month = static_cast<int>(month - kMonths.begin()) + 1;
    else if (w.size() <= 2 && c.day == 0 && number(w, i, w.size(), c.day))
      continue;
    else if (w.size() == 4 && c.year == 0 && number(w, i, 4, c.year))
      continue;
    else if (!clock && readClock(w, i, c, false) && i == w.size())
      clock = true;
    else if (clock && half.empty() && (w == "AM" || w == "PM"))
      half = w;
    else if (!zone && isZone(w))
      zone = true;
    else
      return std::nullopt;
  }
  if (c.month == 0 || c.day == 0 || c.year == 0 || !clock) return std::nullopt;
  if (!half.empty()) {
    if (c.hour < 1 || c.hour > 12) return std::nullopt;
    c.hour = c.hour % 12 + (half == "PM" ? 12 : 0);
  }
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
