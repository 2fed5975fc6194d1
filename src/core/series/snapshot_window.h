#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// A window's TIME that can't be read, or a window that holds no snapshot of the capture.
class WindowError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One end of a window, as given.
struct WindowBound {
  enum class Form {
    None,    ///< not given: the window is open at that end
    Number,  ///< "#N": the Nth snapshot of the kind, from 1
    Clock,   ///< "HH:MM[:SS[.ffffff]]": a time of the capture's day
    Stamp,   ///< a timestamp as the report prints it ("12/07/2026 16:06:00.121034")
  };
  Form form = Form::None;
  std::string text;   ///< as given, trimmed
  int number = 0;     ///< Number: N
  int64_t clock = 0;  ///< Clock: microseconds since midnight
  int64_t span = 1;   ///< the microseconds it covers: a minute without seconds, a second without fraction
};

/// Reads one TIME: "#N" (N from 1), "HH:MM", "HH:MM:SS" or "HH:MM:SS.ffffff", or a
/// timestamp such as the report prints ("12/07/2026 16:06:00.121034", "2026-12-07
/// 16:06:00", also without seconds or fraction); whether its date reads, and how, is
/// settled against the capture. Empty text gives an open end. Throws WindowError.
[[nodiscard]] WindowBound parseWindowBound(std::string_view text);

/// A window of time over the snapshots of a capture: those whose time lies from `from` to
/// `to`, both included, a bound covering all of its minute, second or fraction (`to`
/// 16:15 takes a snapshot of 16:15:40); by number, those from #N to #M. A value: the
/// capture is matched with WindowMatcher.
struct SnapshotWindow {
  WindowBound from;
  WindowBound to;
  /// Whether either end is given.
  [[nodiscard]] bool given() const {
    return from.form != WindowBound::Form::None || to.form != WindowBound::Form::None;
  }
  /// "from 16:05 to 16:20", "from #3", "to 16:20": the window as given, for messages.
  [[nodiscard]] std::string text() const;
};

/// Reads --from and --to (either may be empty). Throws WindowError.
[[nodiscard]] SnapshotWindow parseSnapshotWindow(std::string_view from, std::string_view to);

/// Decides which snapshots of a capture a window holds, taking the capture's snapshots in
/// order (number from 1 across the capture, time as its "Snapshot timestamp"). A clock time
/// is on the day of the capture's first snapshot with a time (`to` on the next day when it is
/// a clock time earlier than a clock `from`: a window over midnight). Dates, of the bounds and
/// the snapshots, read in `order` when given, else in the order the snapshots' times seen so
/// far and the bounds' own dates show (DateOrderEvidence). A snapshot whose time can't be read
/// is outside a window bounded by times. Snapshots are taken to come in time order: the first
/// after the window ends it.
class WindowMatcher {
 public:
  enum class Place { Before, Inside, After };
  explicit WindowMatcher(SnapshotWindow window, std::optional<DateOrder> order = std::nullopt);

  /// Where snapshot `number` of time `time` (may be empty) lies. Throws WindowError when a
  /// bound's date can't be read in the order of the capture's dates.
  Place place(int number, std::string_view time);
  /// Whether no snapshot after snapshot `number` can be inside: the window ends at #N, N <= number.
  [[nodiscard]] bool endsBy(int number) const;
  /// Snapshots found inside so far.
  [[nodiscard]] int inside() const { return m_inside; }
  /// The time of the first snapshot placed, and of the last (empty for none).
  [[nodiscard]] const std::string& firstTime() const { return m_first; }
  [[nodiscard]] const std::string& lastTime() const { return m_last; }
  /// What to say of a window that holds no snapshot: "--from 16:30 --to 16:40 holds no
  /// snapshot; the capture's snapshots are from FIRST to LAST", `last` the capture's last
  /// time (lastTime() when the capture was read to its end).
  [[nodiscard]] std::string emptyMessage(const std::string& last) const;

 private:
  [[nodiscard]] std::optional<int64_t> lowest();
  [[nodiscard]] std::optional<int64_t> highest();
  [[nodiscard]] std::optional<int64_t> startOf(const WindowBound& b) const;

  SnapshotWindow m_window;
  std::optional<DateOrder> m_order;
  DateOrderEvidence m_evidence;
  std::optional<int64_t> m_day;  // midnight of the capture's first snapshot with a time
  std::string m_first;
  std::string m_last;
  int m_placed = 0;
  int m_inside = 0;
};

}  // namespace tarvolin::core
