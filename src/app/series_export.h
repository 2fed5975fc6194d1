#pragma once

#include <filesystem>

#include "app/export_options.h"

namespace tarvolin::app {

/// --series: writes every consecutive pair of snapshots of options.reports as --compare
/// does, after columns "From" and "To", to standard output; the count of snapshots and
/// intervals and any notes to standard error. Counters list from `programDir`. Returns the
/// exit status: 0 written, 1 when a report can't be read or loaded (the rows before are
/// written) or there are fewer than two snapshots (nothing is written).
int exportSeries(const ExportOptions& options, const std::filesystem::path& programDir);

}  // namespace tarvolin::app
