#include "core/compare/snapshot_time.h"

#include <chrono>

#include "core/compare/decimal.h"
#include "core/text_encoding.h"

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

}  // namespace

std::optional<int64_t> parseSnapshotTime(std::string_view text) {
  text = trimBlanks(text);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (text.size() < 19 || text[10] != ' ') return std::nullopt;
  if (text[4] == '-' && text[7] == '-') {
    if (!digits(text, 0, 4, y) || !digits(text, 5, 2, mo) || !digits(text, 8, 2, d)) return std::nullopt;
  } else if ((text[2] == '/' || text[2] == '-') && text[5] == text[2]) {
    if (!digits(text, 0, 2, mo) || !digits(text, 3, 2, d) || !digits(text, 6, 4, y)) return std::nullopt;
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

std::string secondsText(int64_t micros) {
  std::string text = formatDecimal(Decimal{micros, 6});
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace tarvolin::core
