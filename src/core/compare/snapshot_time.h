#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvolin::core {

/// A "Snapshot timestamp" value as microseconds since 1970-01-01 00:00 of the same clock
/// (DB2 prints local time; both reports of a comparison come from one server). Forms:
/// "2022-08-02 14:19:43.798840", "08/02/2022 14:19:43.798840", "08-02-2022 14:19:43.798840"
/// (month first in the latter two), the time also as "14.19.43.798840"; the fraction may
/// have 0 to 6 digits. Nothing for any other text or an impossible date or time.
[[nodiscard]] std::optional<int64_t> parseSnapshotTime(std::string_view text);

/// Microseconds as seconds: "60", "0.5", "-2.0001" (no trailing zeros after the point).
[[nodiscard]] std::string secondsText(int64_t micros);

}  // namespace tarvolin::core
