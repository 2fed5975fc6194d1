#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// --series: writes every consecutive pair of snapshots of options.reports as --compare
/// does, after columns "From" and "To", to standard output, with every column of every
/// interval (core::SeriesTable::plan); the count of snapshots and intervals and any notes to
/// standard error (a file without the kind is skipped with a note); all dates read in one
/// order (options.dateOrder, else as all the reports' timestamps show); with options.derived
/// the kind's derived columns after the others, twice each. Counters and derived columns
/// list from the folder of `argv0`.
/// Returns the exit status: 0 written, 1 when a report can't be read or loaded (found by
/// the first pass, before any row), a derived column's line is wrong, or there are fewer
/// than two snapshots (nothing is written); 2 when the first report holding any lacks the
/// kind numbered --kind. Standard input ("-") is read through a temporary file.
int exportSeries(ExportOptions options, const char* argv0);

}  // namespace tarvolin::app
