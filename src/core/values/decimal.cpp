#include "core/values/decimal.h"

#include <algorithm>
#include <limits>

namespace tarvolin::core {

__int128 powerOfTen(int n) {
  __int128 p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

std::optional<Decimal> checkedSum(const Decimal& a, const Decimal& b) {
  const int scale = std::max(a.scale, b.scale);
  __int128 x, y, sum;
  if (__builtin_mul_overflow(a.units, powerOfTen(scale - a.scale), &x) ||
      __builtin_mul_overflow(b.units, powerOfTen(scale - b.scale), &y) || __builtin_add_overflow(x, y, &sum))
    return std::nullopt;
  return Decimal{sum, scale};
}

std::optional<Decimal> parseDecimal(std::string_view text) {
  Decimal d;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int digits = 0;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (++digits > kMaxDecimalDigits) return std::nullopt;
      d.units = d.units * 10 + (c - '0');
      if (point && ++d.scale > kMaxDecimalScale) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  if (negative) d.units = -d.units;
  return d;
}

Decimal difference(const Decimal& later, const Decimal& earlier) {
  const int scale = std::max(later.scale, earlier.scale);
  return {later.units * powerOfTen(scale - later.scale) - earlier.units * powerOfTen(scale - earlier.scale), scale};
}

std::optional<Decimal> difference(std::string_view later, std::string_view earlier) {
  const std::optional<Decimal> a = parseDecimal(earlier);
  const std::optional<Decimal> b = a ? parseDecimal(later) : std::nullopt;
  return b ? std::optional(difference(*b, *a)) : std::nullopt;
}

std::string formatDecimal(const Decimal& d) {
  __int128 u = d.units < 0 ? -d.units : d.units;
  // Digits from the last on; a 128-bit division is a library call, so the digits of what fits
  // in 64 bits (every counter DB2 prints) are taken in 64 bits.
  char digits[64];
  size_t n = 0;
  for (; u > std::numeric_limits<uint64_t>::max(); u /= 10)
    digits[n++] = static_cast<char>('0' + static_cast<int>(u % 10));
  for (auto v = static_cast<uint64_t>(u); n == 0 || v != 0; v /= 10) digits[n++] = static_cast<char>('0' + v % 10);
  while (static_cast<int>(n) <= d.scale && n < sizeof digits) digits[n++] = '0';
  std::string out;
  out.reserve(n + 2);
  if (d.units < 0) out.push_back('-');
  for (size_t i = n; i-- > 0;) {
    out.push_back(digits[i]);
    if (i == static_cast<size_t>(d.scale) && i > 0) out.push_back('.');
  }
  return out;
}

std::optional<Decimal> ratePerSecond(const Decimal& change, int64_t micros) {
  if (micros <= 0) return std::nullopt;
  // units / 10^scale / (micros / 10^6), in units of 10^-kRateDecimals: both sides scaled to integers.
  __int128 num = change.units < 0 ? -change.units : change.units;
  __int128 den = static_cast<__int128>(micros);
  const int shift = 6 + kRateDecimals - change.scale;
  if (shift >= 0)
    num *= powerOfTen(shift);
  else
    den *= powerOfTen(-shift);
  __int128 q = num / den;
  if ((num % den) * 2 >= den) ++q;
  return Decimal{change.units < 0 ? -q : q, kRateDecimals};
}

}  // namespace tarvolin::core
