#include "core/derived/statement_shape.h"

#include <algorithm>
#include <array>
#include <vector>

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

/// Words after which "(" stands apart, as after IN or VALUES; after any other name it opens
/// the arguments of a function, or a table's columns, and stands close: COUNT(*), T(A, B).
bool keywordBeforeParenthesis(std::string_view up) {
  static constexpr std::array<std::string_view, 22> kWords = {
      "FROM",  "JOIN",   "EXISTS",    "UNION",   "ALL",  "ANY", "SOME", "WITH", "USING", "OVER", "DISTINCT",
      "TABLE", "EXCEPT", "INTERSECT", "LATERAL", "INTO", "ROW", "ROWS", "ONLY", "ASC",   "DESC", "DO"};
  for (const std::string_view w : kWords)
    if (w == up) return true;
  return signFollows(up);
}

/// What came last, to tell a sign from a subtraction.
enum class Last { Nothing, Operator, Word, Value };

/// A piece of the shape: a name (a word, a quoted name, a host variable), a value ("?"), a
/// comment, or any other mark; the shape writes them with one rule of spacing whatever
/// spacing the statement had.
struct Token {
  enum class Type { Word, Value, Comment, Mark };
  Type type;
  std::string text;
};

bool isMark(const Token& t, std::string_view text) { return t.type == Token::Type::Mark && t.text == text; }

/// Whether a blank stands between `a` and `b`: none inside a qualified name (A.B), after "("
/// or before ")", "," and ";", nor before a function's "(" (after a name that is no keyword,
/// unless `intoTable`: it is the table of INTO); one elsewhere.
bool blankBetween(const Token& a, const Token& b, bool intoTable) {
  if (isMark(b, ")") || isMark(b, ",") || isMark(b, ";") || isMark(b, ".") || isMark(a, "(") || isMark(a, "."))
    return false;
  if (!isMark(b, "(") || a.type != Token::Type::Word) return true;
  return intoTable || a.text[0] == '"' || keywordBeforeParenthesis(a.text);
}

/// Replaces each list of values only after IN, and each run of such lists after VALUES
/// (the rows of a multi-row insert), by "(?+)": a list of any length is one shape.
void foldLists(std::vector<Token>& tokens) {
  std::vector<Token> out;
  out.reserve(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) {
    out.push_back(std::move(tokens[i]));
    const Token& t = out.back();
    const bool values = t.type == Token::Type::Word && t.text == "VALUES";
    if (!values && !(t.type == Token::Type::Word && t.text == "IN")) continue;
    size_t end = i + 1;  // past the lists taken
    for (size_t at = i + 1;;) {
      if (at >= tokens.size() || !isMark(tokens[at], "(")) break;
      size_t k = at + 1;
      while (k + 1 < tokens.size() && tokens[k].type == Token::Type::Value && isMark(tokens[k + 1], ",")) k += 2;
      if (k + 1 >= tokens.size() || tokens[k].type != Token::Type::Value || !isMark(tokens[k + 1], ")")) break;
      end = k + 2;
      if (!values || end >= tokens.size() || !isMark(tokens[end], ",")) break;
      at = end + 1;
    }
    if (end == i + 1) continue;
    out.push_back({Token::Type::Mark, "("});
    out.push_back({Token::Type::Value, "?+"});
    out.push_back({Token::Type::Mark, ")"});
    i = end - 1;
  }
  tokens = std::move(out);
}

class Shaper {
 public:
  explicit Shaper(std::string_view sql) : m_sql(sql) {}

  std::string run() {
    while (m_at < m_sql.size()) {
      const char c = m_sql[m_at];
      if (isSpace(c)) {
        ++m_at;
        continue;
      }
      step(c);
    }
    foldLists(m_tokens);
    std::string out;
    out.reserve(m_sql.size());
    enum { None, AfterInto, InTable, AfterDot } into = None;  // the table of INTO, S.T, being written
    for (size_t i = 0; i < m_tokens.size(); ++i) {
      const Token& t = m_tokens[i];
      if (i > 0 && blankBetween(m_tokens[i - 1], t, into == InTable)) out.push_back(' ');
      out += t.text;
      const bool word = t.type == Token::Type::Word;
      if (word && t.text == "INTO")
        into = AfterInto;
      else if (word && (into == AfterInto || into == AfterDot))
        into = InTable;
      else
        into = into == InTable && isMark(t, ".") ? AfterDot : None;
    }
    return out;
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
    if (isNameChar(c) || (c == ':' && isNameChar(peek(1)))) return name();
    if (c == '?') return value(peek(1) == '+' && peek(2) == ')' ? 2 : 1, peek(1) == '+' && peek(2) == ')');
    size_t n = 1;  // an operator of several marks, such as <>, >= or ||, is one
    while (kJoined.find(c) != std::string_view::npos && kJoined.find(peek(n)) != std::string_view::npos) ++n;
    m_tokens.push_back({Token::Type::Mark, std::string(m_sql.substr(m_at, n))});
    m_at += n;
    m_last = c == ')' ? Last::Value : Last::Operator;
  }

  static constexpr std::string_view kJoined = "<>=!|^~";

  [[nodiscard]] char peek(size_t ahead) const { return m_at + ahead < m_sql.size() ? m_sql[m_at + ahead] : '\0'; }

  [[nodiscard]] bool signAllowed() const {
    return m_last == Last::Nothing || m_last == Last::Operator || (m_last == Last::Word && signFollows(m_word));
  }

  /// Length of X, G, N, UX, GX or BX before a quote that starts a literal, else 0.
  [[nodiscard]] size_t literalPrefix() const {
    if (m_last == Last::Word && m_at > 0 && isNameChar(m_sql[m_at - 1])) return 0;
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
    std::string text;
    bool blank = false;
    for (; m_at < end; ++m_at) {
      if (isSpace(m_sql[m_at])) {
        blank = true;
        continue;
      }
      if (blank && !text.empty()) text.push_back(' ');
      blank = false;
      text.push_back(m_sql[m_at]);
    }
    m_tokens.push_back({Token::Type::Comment, std::move(text)});
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
    m_tokens.push_back({Token::Type::Word, std::string(m_sql.substr(start, m_at - start))});
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

  /// A name, in capitals as DB2 reads it unquoted; a host variable (:hv) as written.
  void name() {
    const size_t start = m_at++;
    while (m_at < m_sql.size() && isNameChar(m_sql[m_at])) ++m_at;
    m_word = m_sql.substr(start, m_at - start);
    std::string text(m_word);
    if (text[0] != ':') std::transform(text.begin(), text.end(), text.begin(), upper);
    m_tokens.push_back({Token::Type::Word, std::move(text)});
    m_last = Last::Word;
  }

  /// A value ends here, `skip` bytes on; `list`: a shape's list of values, "?+", met again.
  void value(size_t skip = 0, bool list = false) {
    m_at += skip;
    m_tokens.push_back({Token::Type::Value, list ? "?+" : "?"});
    m_last = Last::Value;
  }

  std::string_view m_sql;
  std::vector<Token> m_tokens;
  size_t m_at = 0;
  Last m_last = Last::Nothing;
  std::string_view m_word;
};

}  // namespace

std::string statementShape(std::string_view sql) { return Shaper(sql).run(); }

}  // namespace tarvolin::core
