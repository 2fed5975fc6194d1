#pragma once

#include <string>

#include "core/grid/grid_store.h"
#include "core/series/capture_summary.h"

namespace tarvolin::core {

/// A figure's value as the summary prints it: a whole number as it is, another with two
/// decimals; "-" for none.
[[nodiscard]] std::string summaryNumber(const std::string& value);

/// The summary as text for a terminal, in sections of aligned columns: the figures over
/// the window (with their median, lowest, highest and rule), the intervals that break a
/// rule (the first kSummaryBreaksShown), the figures' farthest intervals from their median,
/// each top list, and what is left out. About one screen.
[[nodiscard]] std::string summaryText(const CaptureSummary& s);

/// The intervals a table: "From", "To", each shown figure, "Rules broken" ("Total hit
/// ratio (%) < 90; ..."); one row per interval after the header row.
void writeSummaryGrid(const CaptureSummary& s, GridStore& out);

/// How many broken rules summaryText lists before it says how many more there are.
inline constexpr int kSummaryBreaksShown = 10;

}  // namespace tarvolin::core
