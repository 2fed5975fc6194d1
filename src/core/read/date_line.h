#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvolin::core {

/// The time a line shows when it is the output of `date` alone: the default output in the
/// C locale ("Mon Dec  7 16:05:00 UTC 2026", with or without the zone), in en_US ("Mon Dec  7
/// 04:05:00 PM UTC 2026") or in en_GB ("Mon  7 Dec 16:05:00 GMT 2026"), or an ISO 8601 time
/// ("2026-12-07 16:05:00", "2026-12-07T16:05:00,5+01:00"). Returned as
/// "YYYY-MM-DD HH:MM:SS[.ffffff]" (a fraction cut to six digits, a zone dropped: DB2 prints
/// local time too); nothing for any other line. `trimmed` has no leading or trailing blanks.
[[nodiscard]] std::optional<std::string> dateLineTime(std::string_view trimmed);

}  // namespace tarvolin::core
