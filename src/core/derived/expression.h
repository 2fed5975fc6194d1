#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/values/decimal.h"

namespace tarvolin::core {

/// A line or formula that does not parse; what() says what is wrong and, for a formula,
/// at which column (counted from 1).
class ExpressionError : public std::runtime_error {
 public:
  explicit ExpressionError(const std::string& reason) : std::runtime_error(reason), m_reason(reason) {}
  ExpressionError(const std::string& reason, size_t column)
      : std::runtime_error(reason + " at column " + std::to_string(column)), m_reason(reason), m_column(column) {}
  [[nodiscard]] const std::string& reason() const { return m_reason; }
  /// 0 when the error has no column.
  [[nodiscard]] size_t column() const { return m_column; }

 private:
  std::string m_reason;
  size_t m_column = 0;
};

/// Decimals a derived value is rounded to.
inline constexpr int kDerivedDecimals = 6;

/// A callable `std::string_view(size_t)` borrowed for one call: no copy, no allocation.
class ValueSource {
 public:
  template <typename F>
  ValueSource(const F& f)  // NOLINT(google-explicit-constructor): passed like a lambda
      : m_object(&f), m_call([](const void* o, size_t i) { return (*static_cast<const F*>(o))(i); }) {}
  std::string_view operator()(size_t i) const { return m_call(m_object, i); }

 private:
  const void* m_object;
  std::string_view (*m_call)(const void*, size_t);
};

/// A formula over the variables of one report entry: decimal numbers, `[variable name]`,
/// + - * / (also as a sign) and parentheses, with * and / binding tighter than + and -, all
/// left to right.
class Expression {
 public:
  /// Parses `text`. Throws ExpressionError on a formula that does not parse. Cost: linear.
  static Expression parse(std::string_view text);

  /// The names in brackets, each once, in the order they first appear (trimmed of blanks).
  [[nodiscard]] const std::vector<std::string>& variables() const { return m_variables; }

  /// The value with `value(i)` the text of variables()[i]: exact (rational arithmetic,
  /// falling back to extended floating point only past 128 bits), rounded half away from
  /// zero to kDerivedDecimals decimals, without trailing zeros or point ("0.25", "302").
  /// Empty when an operand is empty or not a plain number, or a divisor is 0. Never throws
  /// except std::bad_alloc.
  [[nodiscard]] std::string evaluate(ValueSource value) const;

 private:
  enum class Op : uint8_t { Number, Variable, Add, Sub, Mul, Div, Neg };
  struct Step {
    Op op;
    uint32_t index;  ///< into m_numbers or m_variables
  };
  friend class ExpressionParser;

  std::vector<Step> m_steps;  ///< postfix order
  std::vector<Decimal> m_numbers;
  std::vector<std::string> m_variables;
};

}  // namespace tarvolin::core
