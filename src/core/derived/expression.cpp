#include "core/derived/expression.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <type_traits>

namespace tarvolin::core {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

/// The least 128-bit value: never held, so that every value can be negated.
constexpr __int128 kLeast = static_cast<__int128>(static_cast<unsigned __int128>(1) << 127);

__int128 absolute(__int128 v) { return v < 0 ? -v : v; }

__int128 gcd(__int128 a, __int128 b) {
  a = absolute(a);
  b = absolute(b);
  while (b != 0) {
    const __int128 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

/// An exact fraction, den > 0.
struct Ratio {
  __int128 num = 0;
  __int128 den = 1;
};

enum class Outcome { Value, Empty, Overflow };

bool fits64(__int128 v) { return v >= INT64_MIN && v <= INT64_MAX; }

Ratio reduced(const Ratio& r) {
  const __int128 g = gcd(r.num, r.den);
  return g > 1 ? Ratio{r.num / g, r.den / g} : r;
}

/// a + b (a - b with `subtract`) over the product of the denominators; past 128 bits the
/// fractions are reduced and tried once more. Reducing only then keeps the common case free
/// of the slow 128-bit remainders of a gcd.
Outcome add(Ratio& a, Ratio b, bool subtract) {
  if (subtract) b.num = -b.num;
  if (a.den == b.den)
    return __builtin_add_overflow(a.num, b.num, &a.num) || a.num == kLeast ? Outcome::Overflow : Outcome::Value;
  for (int attempt = 0; attempt < 2; ++attempt) {
    __int128 left, right, num, den;
    if (!__builtin_mul_overflow(a.num, b.den, &left) && !__builtin_mul_overflow(b.num, a.den, &right) &&
        !__builtin_add_overflow(left, right, &num) && !__builtin_mul_overflow(a.den, b.den, &den) && num != kLeast) {
      a = {num, den};
      return Outcome::Value;
    }
    a = reduced(a);
    b = reduced(b);
  }
  return Outcome::Overflow;
}

/// a * (num / den), den > 0; past 128 bits common factors are crossed out and it is tried
/// once more.
Outcome multiply(Ratio& a, __int128 num, __int128 den) {
  if (fits64(a.num) && fits64(num) && fits64(a.den) && fits64(den)) {  // products of 64-bit values fit
    a = {a.num * num, a.den * den};
    return Outcome::Value;
  }
  __int128 n, d;
  if (!__builtin_mul_overflow(a.num, num, &n) && !__builtin_mul_overflow(a.den, den, &d) && n != kLeast) {
    a = {n, d};
    return Outcome::Value;
  }
  const __int128 g1 = gcd(a.num, den);
  const __int128 g2 = gcd(num, a.den);
  if (__builtin_mul_overflow(g1 > 1 ? a.num / g1 : a.num, g2 > 1 ? num / g2 : num, &n) ||
      __builtin_mul_overflow(g2 > 1 ? a.den / g2 : a.den, g1 > 1 ? den / g1 : den, &d) || n == kLeast)
    return Outcome::Overflow;
  a = {n, d};
  return Outcome::Value;
}

/// num / den rounded half away from zero, den > 0.
__int128 roundedQuotient(__int128 num, __int128 den) {
  __int128 q = num / den;
  const __int128 r = absolute(num % den);
  if (r >= den - r) q += num < 0 ? -1 : 1;
  return q;
}

/// The digits of `u` / 10^kDerivedDecimals without trailing zeros or point, written
/// backwards before `end`; returns where they begin.
template <typename Unsigned>
char* writeDigits(Unsigned u, char* end) {
  char* p = end;
  int digits = 0;
  bool any = false;  // a digit after the point that is not a trailing zero
  do {
    const char c = static_cast<char>('0' + static_cast<int>(u % 10));
    u /= 10;
    if (digits < kDerivedDecimals) {
      if (c != '0' || any) {
        *--p = c;
        any = true;
      }
      if (++digits == kDerivedDecimals && any) *--p = '.';
      continue;
    }
    *--p = c;
    ++digits;
  } while (u != 0 || digits <= kDerivedDecimals);
  return p;
}

/// units / 10^kDerivedDecimals as text ("0.25", "302", "-1.5").
std::string formatted(__int128 units) {
  char buf[64];
  char* const end = buf + sizeof buf;
  const unsigned __int128 u =
      units < 0 ? -static_cast<unsigned __int128>(units) : static_cast<unsigned __int128>(units);
  char* p = u <= UINT64_MAX ? writeDigits(static_cast<uint64_t>(u), end) : writeDigits(u, end);
  if (units < 0) *--p = '-';
  return {p, static_cast<size_t>(end - p)};
}

std::optional<Decimal> operand(std::string_view text) {
  return parseDecimal(text);  // values are trimmed by the loader; anything else is no number
}

}  // namespace

class ExpressionParser {
 public:
  ExpressionParser(std::string_view text, Expression& out) : m_text(text), m_out(out) {}

  void parse() {
    sum();
    skipBlanks();
    if (m_at < m_text.size()) fail("unexpected \"" + std::string(1, m_text[m_at]) + "\"");
  }

 private:
  [[noreturn]] void fail(const std::string& what) const { throw ExpressionError(what, m_at + 1); }
  void skipBlanks() {
    while (m_at < m_text.size() && isBlank(m_text[m_at])) ++m_at;
  }
  bool take(char c) {
    skipBlanks();
    if (m_at < m_text.size() && m_text[m_at] == c) {
      ++m_at;
      return true;
    }
    return false;
  }
  void emit(Expression::Op op, size_t index = 0) { m_out.m_steps.push_back({op, static_cast<uint32_t>(index)}); }

  void sum() {
    product();
    for (;;) {
      if (take('+')) {
        product();
        emit(Expression::Op::Add);
      } else if (take('-')) {
        product();
        emit(Expression::Op::Sub);
      } else {
        return;
      }
    }
  }
  void product() {
    factor();
    for (;;) {
      if (take('*')) {
        factor();
        emit(Expression::Op::Mul);
      } else if (take('/')) {
        factor();
        emit(Expression::Op::Div);
      } else {
        return;
      }
    }
  }
  void factor() {
    if (++m_depth > kMaxDepth) fail("formula nested too deeply");
    if (take('-')) {
      factor();
      emit(Expression::Op::Neg);
    } else if (take('+')) {
      factor();
    } else if (take('(')) {
      sum();
      if (!take(')')) fail("missing \")\"");
    } else if (take('[')) {
      variable();
    } else {
      number();
    }
    --m_depth;
  }
  void variable() {
    const size_t close = m_text.find(']', m_at);
    if (close == std::string_view::npos) fail("missing \"]\"");
    const std::string_view name = trimmed(m_text.substr(m_at, close - m_at));
    if (name.empty()) fail("empty variable name");
    m_at = close + 1;
    std::vector<std::string>& names = m_out.m_variables;
    size_t i = 0;
    while (i < names.size() && names[i] != name) ++i;
    if (i == names.size()) names.emplace_back(name);
    emit(Expression::Op::Variable, i);
  }
  void number() {
    skipBlanks();
    const size_t start = m_at;
    while (m_at < m_text.size() && ((m_text[m_at] >= '0' && m_text[m_at] <= '9') || m_text[m_at] == '.')) ++m_at;
    if (m_at == start) {
      if (m_at >= m_text.size()) fail("formula ends early");
      fail("expected a number, \"[\" or \"(\" but found \"" + std::string(1, m_text[m_at]) + "\"");
    }
    const std::optional<Decimal> d = parseDecimal(m_text.substr(start, m_at - start));
    if (!d) fail("bad number \"" + std::string(m_text.substr(start, m_at - start)) + "\"");
    m_out.m_numbers.push_back(*d);
    emit(Expression::Op::Number, m_out.m_numbers.size() - 1);
  }

  static constexpr int kMaxDepth = 200;
  std::string_view m_text;
  Expression& m_out;
  size_t m_at = 0;
  int m_depth = 0;
};

Expression Expression::parse(std::string_view text) {
  Expression e;
  ExpressionParser(text, e).parse();
  return e;
}

namespace {

/// 10^0 to 10^kMaxDecimalScale.
const std::array<__int128, kMaxDecimalScale + 1> kPowers = [] {
  std::array<__int128, kMaxDecimalScale + 1> p{};
  for (int i = 0; i <= kMaxDecimalScale; ++i) p[static_cast<size_t>(i)] = powerOfTen(i);
  return p;
}();

Ratio ratioOf(const Decimal& d) { return {d.units, kPowers[static_cast<size_t>(d.scale)]}; }

/// Room for `n` values: on the stack up to a small count, else on the heap. Only the `n`
/// are made: a formula's few values cost no more than they need, per row.
template <typename T>
class Scratch {
  static_assert(std::is_trivially_destructible_v<T>);

 public:
  explicit Scratch(size_t n) {
    if (n > kSmall) {
      m_heap = std::make_unique<T[]>(n);
      m_data = m_heap.get();
      return;
    }
    for (size_t i = 0; i < n; ++i) ::new (static_cast<void*>(m_small + i * sizeof(T))) T;
    m_data = std::launder(reinterpret_cast<T*>(m_small));
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  T& operator[](size_t i) { return m_data[i]; }

 private:
  static constexpr size_t kSmall = 16;
  alignas(T) std::byte m_small[kSmall * sizeof(T)];
  std::unique_ptr<T[]> m_heap;
  T* m_data = nullptr;
};

}  // namespace

std::string Expression::evaluate(ValueSource value) const {
  Scratch<Decimal> operands(m_variables.size());
  for (size_t i = 0; i < m_variables.size(); ++i) {
    const std::optional<Decimal> d = operand(value(i));
    if (!d) return {};
    operands[i] = *d;
  }
  // Exact first; past 128 bits the same steps once more in extended floating point.
  Scratch<Ratio> stack(m_steps.size());
  size_t top = 0;  // values on the stack
  Outcome outcome = Outcome::Value;
  for (const Step& s : m_steps) {
    switch (s.op) {
      case Op::Number:
        stack[top++] = ratioOf(m_numbers[s.index]);
        continue;
      case Op::Variable:
        stack[top++] = ratioOf(operands[s.index]);
        continue;
      case Op::Neg:
        stack[top - 1].num = -stack[top - 1].num;
        continue;
      default:
        break;
    }
    const Ratio b = stack[--top];
    Ratio& a = stack[top - 1];
    if (s.op == Op::Add || s.op == Op::Sub) {
      outcome = add(a, b, s.op == Op::Sub);
    } else if (s.op == Op::Mul) {
      outcome = multiply(a, b.num, b.den);
    } else if (b.num == 0) {
      return {};
    } else {
      outcome = multiply(a, b.num < 0 ? -b.den : b.den, absolute(b.num));
    }
    if (outcome == Outcome::Overflow) break;
  }
  if (outcome == Outcome::Value) {
    const Ratio& r = stack[0];
    constexpr int64_t kScale = 1'000'000;
    static_assert(kDerivedDecimals == 6);
    constexpr int64_t kFast = INT64_MAX / kScale;
    if (r.num > -kFast && r.num < kFast && r.den < INT64_MAX) {  // one 64-bit division
      const int64_t num = static_cast<int64_t>(r.num) * kScale;
      const int64_t den = static_cast<int64_t>(r.den);
      int64_t q = num / den;
      const int64_t rest = num % den < 0 ? -(num % den) : num % den;
      if (rest >= den - rest) q += num < 0 ? -1 : 1;
      return formatted(q);
    }
    __int128 whole, frac;
    if (!__builtin_mul_overflow(r.num / r.den, __int128{kScale}, &whole) &&
        !__builtin_mul_overflow(r.num % r.den, __int128{kScale}, &frac))
      return formatted(whole + roundedQuotient(frac, r.den));
  }
  std::vector<long double> wide;
  wide.reserve(m_steps.size());
  auto toWide = [](const Decimal& d) { return static_cast<long double>(d.units) / std::pow(10.0L, d.scale); };
  for (const Step& s : m_steps) {
    if (s.op == Op::Number || s.op == Op::Variable) {
      wide.push_back(toWide(s.op == Op::Number ? m_numbers[s.index] : operands[s.index]));
      continue;
    }
    if (s.op == Op::Neg) {
      wide.back() = -wide.back();
      continue;
    }
    const long double b = wide.back();
    wide.pop_back();
    long double& a = wide.back();
    if (s.op == Op::Add) a += b;
    if (s.op == Op::Sub) a -= b;
    if (s.op == Op::Mul) a *= b;
    if (s.op == Op::Div) {
      if (b == 0) return {};
      a /= b;
    }
  }
  const long double units = std::round(wide.back() * std::pow(10.0L, kDerivedDecimals));
  if (!std::isfinite(units) || std::fabs(units) >= 1e36L) return {};
  return formatted(static_cast<__int128>(units));
}

}  // namespace tarvolin::core
