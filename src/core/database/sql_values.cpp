#include "core/database/sql_values.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace tarvolin::core {

namespace {

bool allDigits(std::string_view s) {
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

/// Days since 1970-01-01 as year, month and day of the proleptic Gregorian calendar.
void civilFromDays(int64_t days, int64_t& y, unsigned& m, unsigned& d) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
}

}  // namespace

SqlValue sqlValue(std::string_view text) {
  if (text.empty() || text == "Not Collected") return std::monostate{};
  const std::string_view digits = text.front() == '-' ? text.substr(1) : text;
  if (digits.empty()) return text;
  const size_t point = digits.find('.');
  if (point == std::string_view::npos) {
    if (!allDigits(digits) || (digits.size() > 1 && digits.front() == '0')) return text;
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return text;
    return v;
  }
  const std::string_view whole = digits.substr(0, point);
  const std::string_view fraction = digits.substr(point + 1);
  if (fraction.empty() || !allDigits(whole) || !allDigits(fraction) || (whole.size() > 1 && whole.front() == '0'))
    return text;
  return std::strtod(std::string(text).c_str(), nullptr);
}

std::string isoTimeOf(int64_t micros) {
  int64_t days = micros / 86'400'000'000;
  int64_t rest = micros % 86'400'000'000;
  if (rest < 0) {
    rest += 86'400'000'000;
    --days;
  }
  int64_t y = 0;
  unsigned m = 0, d = 0;
  civilFromDays(days, y, m, d);
  const int64_t seconds = rest / 1'000'000;
  char out[40];
  std::snprintf(out, sizeof out, "%04lld-%02u-%02u %02lld:%02lld:%02lld.%06lld", static_cast<long long>(y), m, d,
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60), static_cast<long long>(rest % 1'000'000));
  return out;
}

std::optional<std::string> isoTime(std::string_view stamp, DateOrder order) {
  const std::optional<int64_t> micros = parseSnapshotTime(stamp, order);
  if (!micros) return std::nullopt;
  return isoTimeOf(*micros);
}

std::string tableNameOf(std::string_view heading) {
  std::string name;
  for (const char c : heading)
    name += c == ' ' || c == '\t' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace tarvolin::core
