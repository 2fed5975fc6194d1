#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::core {

/// Where the day, the month and the year stand in a date.
enum class DateOrder { DMY, MDY, YMD };

/// "DMY", "MDY" or "YMD" (any case); nothing for another text.
[[nodiscard]] std::optional<DateOrder> parseDateOrder(std::string_view text);

/// The order of a date as DB2 prints it in the client's territory format, from its form
/// alone: "/" means month first, "." day first, "-" year first after a four-digit field and
/// day first otherwise; a field above 12 where the month would be means the other order.
/// Nothing when `text` holds no date of those forms.
[[nodiscard]] std::optional<DateOrder> dateOrderOf(std::string_view text);

/// The order of the dates of one file, from its timestamps: that of the first with a date,
/// unless a field above 12 where its month would be shows another one in any of them.
/// MDY when none holds a date.
[[nodiscard]] DateOrder fileDateOrder(const std::vector<std::string_view>& stamps);

/// The order of the dates of a file or of a series of files, gathered stamp by stamp as
/// fileDateOrder decides it, and the stamps that tell day first or month first for certain
/// (a field above 12), to say where dates contradict an order.
class DateOrderEvidence {
 public:
  /// Takes one timestamp; text without a day-first or month-first date is passed over.
  void add(std::string_view stamp);
  /// The order the stamps taken show: as fileDateOrder.
  [[nodiscard]] DateOrder order() const;
  /// The first stamp that can only be read in `order` (DMY or MDY), or empty.
  [[nodiscard]] const std::string& onlyIn(DateOrder order) const {
    return order == DateOrder::DMY ? m_dayFirst : m_monthFirst;
  }
  /// A stamp taken that can't be read in `order`, or empty.
  [[nodiscard]] const std::string& against(DateOrder order) const;

 private:
  std::optional<DateOrder> m_form;                // of the first short date
  std::optional<DateOrder> m_other;               // shown by a field above 12 against m_form
  std::string m_first, m_dayFirst, m_monthFirst;  // the first day-or-month-first stamp, those sure of it
};

/// A timestamp such as "Snapshot timestamp" as microseconds since 1970-01-01 00:00 of the
/// same clock (DB2 prints local time; both reports of a comparison come from one server).
/// The date is "2022-08-02", or two two-digit fields and the year joined by "/", "-" or ".",
/// read in `order` (by default as dateOrderOf tells; a four-digit first field is always the
/// year); the time "14:19:43" or "14.19.43", with a fraction of 0 to 6 digits. Nothing for
/// any other text, an impossible date or time, or a two-digit first field with order YMD.
[[nodiscard]] std::optional<int64_t> parseSnapshotTime(std::string_view text,
                                                       std::optional<DateOrder> order = std::nullopt);

/// The time of day of a timestamp, "17:05:50", or the text itself when it has none.
[[nodiscard]] std::string timeOfDay(std::string_view text);

/// "Snapshot of 17:06:00": the time of day of a "Snapshot timestamp", for status lines
/// of the result windows; empty when there is no timestamp.
[[nodiscard]] std::string snapshotOfText(std::string_view timestamp);

/// The span of a capture for the main window's heading, from its snapshots' "Snapshot
/// timestamp" texts in file order (empty where one has none): "15:35 – 16:35, 61 snapshots"
/// from the first to the last time (with seconds when both fall in one minute, with the dates
/// when they fall on two days); a single snapshot's time as printed; empty with no time.
[[nodiscard]] std::string captureSpanText(const std::vector<std::string>& times);

/// A clock reading as a report prints its "Snapshot timestamp", in the date order of the
/// report's stamp `like` ("12/07/2026 17:05:00" month first when `like` has no date of its
/// own); `month` and `day` from 1.
struct ClockReading {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
[[nodiscard]] std::string stampText(const ClockReading& at, std::string_view like = {});

/// Microseconds as seconds: "60", "0.5", "-2.0001" (no trailing zeros after the point).
[[nodiscard]] std::string secondsText(int64_t micros);

}  // namespace tarvolin::core
