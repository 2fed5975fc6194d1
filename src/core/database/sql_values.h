#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/values/snapshot_time.h"

namespace tarvolin::core {

/// A report's value as the database stores it: NULL (monostate), an INTEGER, a REAL or TEXT.
using SqlValue = std::variant<std::monostate, int64_t, double, std::string_view>;

/// How a value of a report is stored: NULL when empty or "Not Collected"; an INTEGER when it
/// is a whole number ("-12"; not one with leading zeros such as "007", nor one beyond 64
/// bits: those stay TEXT, so nothing of them is lost); a REAL when it is a decimal ("3.25",
/// "-0.5", ".5"); else the text itself.
[[nodiscard]] SqlValue sqlValue(std::string_view text);

/// A timestamp of a report as ISO 8601 text, "2026-12-07 17:05:00.118034" (always six
/// decimals), its date read in `order`; nothing when it is no timestamp in that order.
[[nodiscard]] std::optional<std::string> isoTime(std::string_view stamp, DateOrder order);

/// Microseconds since 1970-01-01 00:00 as "YYYY-MM-DD HH:MM:SS.ffffff".
[[nodiscard]] std::string isoTimeOf(int64_t micros);

/// A kind's heading as a table name: lower case, each blank "_" ("Table Snapshot" ->
/// "table_snapshot").
[[nodiscard]] std::string tableNameOf(std::string_view heading);

}  // namespace tarvolin::core
