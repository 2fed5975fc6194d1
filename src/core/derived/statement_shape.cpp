#include "core/derived/statement_shape.h"

#include <algorithm>
#include <array>

namespace tarvolin::core {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
/// Characters of an ordinary name; bytes of multi-byte UTF-8 count as letters.
bool isNameChar(char c) {
  return isLetter(c) || isDigit(c) || c == '_' || c == '$' || c == '#' || c == '@' ||
         static_cast<unsigned char>(c) >= 0x80;
}
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

/// Words after which "-" or "+" is the sign of a number rather than a subtraction.
bool signFollows(std::string_view word) {
  static constexpr std::array<std::string_view, 22> kWords = {
      "SELECT", "WHERE",  "AND",  "OR", "NOT", "THEN", "ELSE", "WHEN",   "IN", "BETWEEN", "VALUES",
      "SET",    "RETURN", "LIKE", "IS", "BY",  "ON",   "CASE", "HAVING", "AS", "OFFSET",  "FETCH"};
  if (word.size() > 7) return false;
  std::string up;
  for (const char c : word) up.push_back(upper(c));
  for (const std::string_view w : kWords)
    if (w == up) return true;
  return false;
}

/// What came last, to tell a sign from a subtraction.
enum class Last { Nothing, Operator, Word, Value };

class Shaper {
 public:
  explicit Shaper(std::string_view sql) : m_sql(sql) { m_out.reserve(sql.size()); }

  std::string run() {
    while (m_at < m_sql.size()) {
      const char c = m_sql[m_at];
      if (isSpace(c)) {
        m_blank = !m_out.empty();
        ++m_at;
        continue;
      }
      if (m_blank) m_out.push_back(' ');
      m_blank = false;
      step(c);
    }
    return std::move(m_out);
  }

 private:
  void step(char c) {
    if (c == '/' && peek(1) == '*') return comment(m_sql.find("*/", m_at + 2), 2);
    if (c == '-' && peek(1) == '-') return comment(m_sql.find('\n', m_at + 2), 0);
    if (c == '\'') return literal(m_at);
    if (size_t p = literalPrefix(); p > 0) return literal(m_at + p);
    if (c == '"') return quotedName();
    if (isDigit(c) || (c == '.' && isDigit(peek(1)))) return number(m_at);
    if ((c == '-' || c == '+') && signAllowed() && (isDigit(peek(1)) || (peek(1) == '.' && isDigit(peek(2)))))
      return number(m_at + 1);
    if (isNameChar(c)) return name();
    m_out.push_back(c);
    ++m_at;
    m_last = c == ')' || c == '?' ? Last::Value : Last::Operator;
  }

  [[nodiscard]] char peek(size_t ahead) const { return m_at + ahead < m_sql.size() ? m_sql[m_at + ahead] : '\0'; }

  [[nodiscard]] bool signAllowed() const {
    return m_last == Last::Nothing || m_last == Last::Operator || (m_last == Last::Word && signFollows(m_word));
  }

  /// Length of X, G, N, UX, GX or BX before a quote that starts a literal, else 0.
  [[nodiscard]] size_t literalPrefix() const {
    if (m_last == Last::Word && !m_out.empty() && isNameChar(m_out.back())) return 0;
    const char a = upper(peek(0));
    const char b = upper(peek(1));
    if ((a == 'X' || a == 'G' || a == 'N') && b == '\'') return 1;
    if ((a == 'U' || a == 'G' || a == 'B') && b == 'X' && peek(2) == '\'') return 2;
    return 0;
  }

  /// A comment from here to `end` (npos: the end of the text) and `closing` bytes more: kept
  /// as written, blanks run together, so that a quote inside it starts no literal.
  void comment(size_t end, size_t closing) {
    end = end == std::string_view::npos ? m_sql.size() : std::min(end + closing, m_sql.size());
    bool blank = false;
    for (; m_at < end; ++m_at) {
      if (isSpace(m_sql[m_at])) {
        blank = true;
        continue;
      }
      if (blank) m_out.push_back(' ');
      blank = false;
      m_out.push_back(m_sql[m_at]);
    }
    m_blank = blank;
  }

  /// A literal whose opening quote is at `quote`; '' inside it is a quote.
  void literal(size_t quote) {
    m_at = quote + 1;
    while (m_at < m_sql.size()) {
      if (m_sql[m_at++] != '\'') continue;
      if (m_at < m_sql.size() && m_sql[m_at] == '\'') {
        ++m_at;
        continue;
      }
      break;
    }
    value();
  }

  void quotedName() {
    const size_t start = m_at++;
    while (m_at < m_sql.size()) {
      if (m_sql[m_at++] != '"') continue;
      if (m_at < m_sql.size() && m_sql[m_at] == '"') {
        ++m_at;
        continue;
      }
      break;
    }
    m_out.append(m_sql.substr(start, m_at - start));
    m_last = Last::Word;
    m_word = {};
  }

  /// Digits, a point, more digits and an exponent (or 0x and hex digits) from `first`.
  void number(size_t first) {
    m_at = first;
    if (m_sql[m_at] == '0' && upper(peek(1)) == 'X') {
      m_at += 2;
      while (m_at < m_sql.size() && (isDigit(m_sql[m_at]) || (upper(m_sql[m_at]) >= 'A' && upper(m_sql[m_at]) <= 'F')))
        ++m_at;
    } else {
      while (m_at < m_sql.size() && (isDigit(m_sql[m_at]) || m_sql[m_at] == '.')) ++m_at;
      if (m_at < m_sql.size() && upper(m_sql[m_at]) == 'E') {
        size_t e = m_at + 1;
        if (e < m_sql.size() && (m_sql[e] == '+' || m_sql[e] == '-')) ++e;
        if (e < m_sql.size() && isDigit(m_sql[e])) {
          m_at = e;
          while (m_at < m_sql.size() && isDigit(m_sql[m_at])) ++m_at;
        }
      }
    }
    value();
  }

  void name() {
    const size_t start = m_at;
    while (m_at < m_sql.size() && isNameChar(m_sql[m_at])) ++m_at;
    m_word = m_sql.substr(start, m_at - start);
    m_out.append(m_word);
    m_last = Last::Word;
  }

  void value() {
    m_out.push_back('?');
    m_last = Last::Value;
  }

  std::string_view m_sql;
  std::string m_out;
  size_t m_at = 0;
  bool m_blank = false;
  Last m_last = Last::Nothing;
  std::string_view m_word;
};

}  // namespace

std::string statementShape(std::string_view sql) { return Shaper(sql).run(); }

}  // namespace tarvolin::core
