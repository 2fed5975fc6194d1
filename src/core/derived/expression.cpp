#include "core/derived/expression.h"

#include <cmath>
#include <optional>

namespace tarvolin::core {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

__int128 pow10(int n) {
  __int128 p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

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

Ratio reduced(__int128 num, __int128 den) {
  const __int128 g = gcd(num, den);
  return g > 1 ? Ratio{num / g, den / g} : Ratio{num, den};
}

Outcome add(Ratio& a, const Ratio& b, bool subtract) {
  const __int128 bn = subtract ? -b.num : b.num;
  if (a.den == b.den) {
    if (__builtin_add_overflow(a.num, bn, &a.num)) return Outcome::Overflow;
    a = reduced(a.num, a.den);
    return Outcome::Value;
  }
  __int128 left, right, num, den;
  if (__builtin_mul_overflow(a.num, b.den, &left) || __builtin_mul_overflow(bn, a.den, &right) ||
      __builtin_add_overflow(left, right, &num) || __builtin_mul_overflow(a.den, b.den, &den))
    return Outcome::Overflow;
  a = reduced(num, den);
  return Outcome::Value;
}

/// a * (num / den), den > 0, crossing out common factors first.
Outcome multiply(Ratio& a, __int128 num, __int128 den) {
  const __int128 g1 = gcd(a.num, den);
  const __int128 g2 = gcd(num, a.den);
  __int128 n, d;
  if (__builtin_mul_overflow(g1 > 1 ? a.num / g1 : a.num, g2 > 1 ? num / g2 : num, &n) ||
      __builtin_mul_overflow(g2 > 1 ? a.den / g2 : a.den, g1 > 1 ? den / g1 : den, &d))
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

std::string formatted(const Decimal& d) {
  std::string text = formatDecimal(d);
  if (d.scale > 0) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
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

Ratio ratioOf(const Decimal& d) { return reduced(d.units, pow10(d.scale)); }

}  // namespace

std::string Expression::evaluate(const std::function<std::string_view(size_t)>& value) const {
  std::vector<Decimal> operands(m_variables.size());
  for (size_t i = 0; i < m_variables.size(); ++i) {
    const std::optional<Decimal> d = operand(value(i));
    if (!d) return {};
    operands[i] = *d;
  }
  // Exact first; past 128 bits the same steps once more in extended floating point.
  std::vector<Ratio> stack;
  stack.reserve(m_steps.size());
  Outcome outcome = Outcome::Value;
  for (const Step& s : m_steps) {
    switch (s.op) {
      case Op::Number:
        stack.push_back(ratioOf(m_numbers[s.index]));
        continue;
      case Op::Variable:
        stack.push_back(ratioOf(operands[s.index]));
        continue;
      case Op::Neg:
        stack.back().num = -stack.back().num;
        continue;
      default:
        break;
    }
    const Ratio b = stack.back();
    stack.pop_back();
    Ratio& a = stack.back();
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
    const Ratio& r = stack.back();
    const __int128 scale = pow10(kDerivedDecimals);
    __int128 whole, frac;
    if (!__builtin_mul_overflow(r.num / r.den, scale, &whole) && !__builtin_mul_overflow(r.num % r.den, scale, &frac))
      return formatted({whole + roundedQuotient(frac, r.den), kDerivedDecimals});
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
  return formatted({static_cast<__int128>(units), kDerivedDecimals});
}

}  // namespace tarvolin::core
