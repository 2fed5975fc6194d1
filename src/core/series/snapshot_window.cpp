#include "core/series/snapshot_window.h"

#include <utility>

#include "core/read/text_encoding.h"

namespace tarvolin::core {

namespace {

constexpr int64_t kSecond = 1000000;
constexpr int64_t kDay = 86400 * kSecond;

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int64_t number(std::string_view s) {
  int64_t n = 0;
  for (const char c : s) n = n * 10 + (c - '0');
  return n;
}

/// The microseconds a time of day covers: a minute without seconds, else 10^(6 - digits of its fraction).
/// Reads "HH:MM", "HH:MM:SS" and "HH:MM:SS.f" (up to 6 digits, ":" or "." between the fields);
/// `micros` gets its start since midnight. Nothing for other text.
std::optional<int64_t> clockSpan(const std::string_view text, int64_t& micros) {
  std::string_view t = text;
  const size_t sep = t.find_first_of(":.");
  if (sep == std::string_view::npos || sep == 0 || sep > 2 || t.size() < sep + 3) return std::nullopt;
  const std::string_view h = t.substr(0, sep), m = t.substr(sep + 1, 2);
  if (!allDigits(h) || !allDigits(m) || number(h) > 23 || number(m) > 59) return std::nullopt;
  micros = (number(h) * 3600 + number(m) * 60) * kSecond;
  t.remove_prefix(sep + 3);
  if (t.empty()) return 60 * kSecond;
  if (t.size() < 3 || t[0] != text[sep]) return std::nullopt;  // both separators alike
  const std::string_view s = t.substr(1, 2);
  if (!allDigits(s) || number(s) > 59) return std::nullopt;
  micros += number(s) * kSecond;
  t.remove_prefix(3);
  if (t.empty()) return kSecond;
  const std::string_view f = t.substr(1);
  if (t[0] != '.' || !allDigits(f) || f.size() > 6) return std::nullopt;
  int64_t span = 1;
  int64_t fraction = number(f);
  for (size_t n = f.size(); n < 6; ++n) {
    span *= 10;
    fraction *= 10;
  }
  micros += fraction;
  return span;
}

}  // namespace

WindowBound parseWindowBound(std::string_view text) {
  text = trimBlanks(text);
  WindowBound b;
  b.text = text;
  if (text.empty()) return b;
  if (text[0] == '#') {
    const std::string_view n = text.substr(1);
    if (!allDigits(n) || n.size() > 9 || number(n) < 1)
      throw WindowError("\"" + b.text + "\" is no snapshot number: #N counts the snapshots from 1");
    b.form = WindowBound::Form::Number;
    b.number = static_cast<int>(number(n));
    return b;
  }
  if (const auto span = clockSpan(text, b.clock)) {
    b.form = WindowBound::Form::Clock;
    b.span = *span;
    return b;
  }
  // A timestamp: its date, a blank and a time of day as above.
  int64_t clock = 0;
  const bool shaped = text.size() >= 16 && text[10] == ' ' && (text[13] == ':' || text[13] == '.');
  const auto span = shaped ? clockSpan(text.substr(11), clock) : std::nullopt;
  std::string stamp(text.substr(0, 11));
  if (span) {
    stamp += std::string(text.substr(11, 5)) + (*span == 60 * kSecond ? ":00" : std::string(text.substr(16)));
    stamp[13] = stamp[16] = text[13];  // as the report separates them
  }
  if (!span || (!parseSnapshotTime(stamp, DateOrder::MDY) && !parseSnapshotTime(stamp, DateOrder::DMY) &&
                !parseSnapshotTime(stamp)))
    throw WindowError("\"" + b.text +
                      "\" is no time: give it as the report prints it (12/07/2026 16:06:00.121034), as HH:MM[:SS] or "
                      "as #N");
  b.form = WindowBound::Form::Stamp;
  b.text = std::move(stamp);
  b.span = *span;
  return b;
}

std::string SnapshotWindow::text() const {
  std::string t;
  if (from.form != WindowBound::Form::None) t = "--from " + from.text;
  if (to.form != WindowBound::Form::None) t += (t.empty() ? "--to " : " --to ") + to.text;
  return t;
}

SnapshotWindow parseSnapshotWindow(std::string_view from, std::string_view to) {
  return {parseWindowBound(from), parseWindowBound(to)};
}

WindowMatcher::WindowMatcher(SnapshotWindow window, std::optional<DateOrder> order)
    : m_window(std::move(window)), m_order(order) {
  for (const WindowBound* b : {&m_window.from, &m_window.to})
    if (b->form == WindowBound::Form::Stamp) m_evidence.add(b->text);
}

std::optional<int64_t> WindowMatcher::startOf(const WindowBound& b) const {
  if (b.form == WindowBound::Form::Stamp) {
    const DateOrder order = m_order.value_or(m_evidence.order());
    if (const auto t = parseSnapshotTime(b.text, order)) return t;
    throw WindowError("\"" + b.text + "\" is no date " +
                      (order == DateOrder::DMY   ? "day first"
                       : order == DateOrder::MDY ? "month first"
                                                 : "year first") +
                      ", the order of the capture's dates (--date-order sets it)");
  }
  if (b.form != WindowBound::Form::Clock || !m_day) return std::nullopt;
  const WindowBound& from = m_window.from;
  const bool overMidnight = &b == &m_window.to && from.form == WindowBound::Form::Clock && b.clock < from.clock;
  return *m_day + b.clock + (overMidnight ? kDay : 0);
}

std::optional<int64_t> WindowMatcher::lowest() { return startOf(m_window.from); }

std::optional<int64_t> WindowMatcher::highest() {
  const std::optional<int64_t> start = startOf(m_window.to);
  return start ? std::optional<int64_t>(*start + m_window.to.span - 1) : std::nullopt;
}

WindowMatcher::Place WindowMatcher::place(int number, std::string_view time) {
  using Form = WindowBound::Form;
  if (m_placed++ == 0) m_first = time;
  m_last = time;
  if (!m_order) m_evidence.add(time);
  const std::optional<int64_t> t = parseSnapshotTime(time, m_order.value_or(m_evidence.order()));
  if (t && !m_day) m_day = *t - ((*t % kDay) + kDay) % kDay;
  const WindowBound& from = m_window.from;
  const WindowBound& to = m_window.to;
  if (to.form == Form::Number && number > to.number) return Place::After;
  const bool timed =
      (from.form == Form::Clock || from.form == Form::Stamp || to.form == Form::Clock || to.form == Form::Stamp);
  if (timed && !t) return Place::Before;  // can't be placed: left out
  if (timed) {
    if (const auto hi = highest(); hi && *t > *hi) return Place::After;
    if (const auto lo = lowest(); lo && *t < *lo) return Place::Before;
  }
  if (from.form == Form::Number && number < from.number) return Place::Before;
  ++m_inside;
  return Place::Inside;
}

bool WindowMatcher::endsBy(int number) const {
  return m_window.to.form == WindowBound::Form::Number && m_window.to.number <= number;
}

std::string WindowMatcher::emptyMessage(const std::string& last) const {
  if (m_placed == 0) return m_window.text() + ": the capture holds no snapshot of the kind";
  const std::string first = m_first.empty() ? std::string("#1") : m_first;
  return m_window.text() + " holds no snapshot; the capture's snapshots are from " + first + " to " +
         (last.empty() ? "#" + std::to_string(m_placed) : last);
}

}  // namespace tarvolin::core
