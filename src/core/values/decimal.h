#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvolin::core {

/// An exact decimal number: units / 10^scale.
struct Decimal {
  __int128 units = 0;
  int scale = 0;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

/// Most digits, and most of them after the point, parseDecimal accepts: every 64-bit counter,
/// and a difference scaled for a rate still fits in 128 bits.
inline constexpr int kMaxDecimalDigits = 20;
inline constexpr int kMaxDecimalScale = 12;

/// The text as a number: an optional sign, digits and an optional point with digits, at least
/// one digit, no blanks ("12345", "-3", "0.004257", ".5"). Nothing for any other text ("Not
/// Collected", "", "0x1F", "1e3") or beyond those limits.
[[nodiscard]] std::optional<Decimal> parseDecimal(std::string_view text);

/// 10^n, exact for n from 0 to 38.
[[nodiscard]] __int128 powerOfTen(int n);

/// a + b, exact at the larger scale of the two; nothing when it needs more than 128 bits.
[[nodiscard]] std::optional<Decimal> checkedSum(const Decimal& a, const Decimal& b);

/// later - earlier, exact, at the larger scale of the two.
[[nodiscard]] Decimal difference(const Decimal& later, const Decimal& earlier);

/// The same of two values as printed; nothing when either is no number (a counter that went
/// down gives a negative difference, for the caller to call a reset).
[[nodiscard]] std::optional<Decimal> difference(std::string_view later, std::string_view earlier);

/// Fixed-point text with `d.scale` decimals ("-0.000120", "15320").
[[nodiscard]] std::string formatDecimal(const Decimal& d);

/// Decimals of a rate.
inline constexpr int kRateDecimals = 3;

/// `change` per second over `micros` microseconds, rounded half away from zero to
/// kRateDecimals decimals. Nothing when micros is not positive.
[[nodiscard]] std::optional<Decimal> ratePerSecond(const Decimal& change, int64_t micros);

}  // namespace tarvolin::core
