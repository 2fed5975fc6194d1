#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// The plain export: the report loaded as the viewer loads it (the kind's .cfg from the
/// current folder, options.kind, the --filter entries), written as its grid's shown columns
/// (--all-columns, --hide-constant, --derived), the status on standard error. Returns the
/// exit status: 0 written, 1 a load error (the rows read before it are written) or a filter
/// on a variable the report lacks, 2 no such kind.
int exportReport(const ExportOptions& options, const char* argv0);

}  // namespace tarvolin::app
