#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// --sqlite: loads every kind of every snapshot of options.reports into the database
/// options.database (core::CaptureStore, core::CaptureLoader), each file in a transaction
/// of its own, all dates read in options.dateOrder when given. Standard error names each
/// file skipped as loaded before, and ends with the counts of files and snapshots. A
/// SIGINT or SIGTERM during a file rolls that file back. Counters list from the folder of
/// `argv0`. Standard input ("-") is read through a temporary file.
/// Returns the exit status: 0 all loaded; 1 when the database is refused or can't be
/// opened, or a file fails (a load error, a full disk, a stop): that file is rolled back,
/// the files before it stay, the files after it are not read.
int exportSqlite(const ExportOptions& options, const char* argv0);

}  // namespace tarvolin::app
