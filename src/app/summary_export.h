#pragma once

#include "app/export_options.h"

namespace tarvolin::app {

/// --summary: the one-page summary of the capture options.reports (core::summarizeCapture
/// with the figures of summary_figures.txt beside the program and in the current folder)
/// as text to standard output; with --csv or --tsv the intervals' figures instead
/// (core::writeSummaryGrid). Returns the exit status: 0 written; 1 when a report can't be
/// read or loaded, a line of summary_figures.txt is wrong, or the capture holds fewer than
/// two snapshots of any kind the figures are of; 2 when the window holds no snapshot.
/// Standard input ("-") is read through a temporary file.
int exportSummary(ExportOptions options, const char* argv0);

}  // namespace tarvolin::app
