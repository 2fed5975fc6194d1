#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// --compare: the first snapshot of options.earlierReport against the last of options.report
/// (one pass when they are one file), written as the comparison's rows, a slice at a time;
/// the interval, the reset note and the counts on standard error. Returns the exit status: 0
/// written, 1 a load or comparison error (nothing written), 2 no such kind.
int exportComparison(const ExportOptions& options, const char* argv0);

}  // namespace tarvolin::app
