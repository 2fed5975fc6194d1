#pragma once

#include <string>
#include <vector>

#include "app/export_options.h"
#include "core/read/snapshot_load.h"

namespace tarvolin::app {

/// --compare: the first snapshot of options.earlierReport against the last of options.report
/// (one pass when they are one file), written as the comparison's rows, a slice at a time;
/// the interval, the reset note and the counts on standard error. Returns the exit status: 0
/// written, 1 a load or comparison error (nothing written), 2 no such kind.
int exportComparison(const ExportOptions& options, const char* argv0);

/// The first and last snapshot of options.window over `paths` read as one capture (of the
/// kind --kind names, else `fallback`). False, with the reason on standard error, when they
/// can't be had: `status` 2 for a window without a snapshot, of one only (`mode` needs two)
/// or a kind the capture lacks; 1 for a report that can't be read or holds none.
bool loadWindowPair(const ExportOptions& options, const std::vector<std::string>& paths,
                    const core::KindChoice& fallback, core::LoadedSnapshot& first, core::LoadedSnapshot& last,
                    int& status, const char* mode);

}  // namespace tarvolin::app
