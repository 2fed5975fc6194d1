#pragma once

#include <QString>
#include <functional>
#include <string>

#include "core/series/snapshot_window.h"
#include "platform/file_choosers.h"
#include "platform/platform.h"
#include "ui/summary/summary_window.h"

class QWidget;

namespace tarvolin::ui {

/// Where a click on a top row goes: the main window's entry of kind `kind` keyed `key`.
using ShowEntry = std::function<void(const std::string& kind, const std::string& key)>;

/// Options > Capture Summary: summarizes the capture loaded from `path` (core::summarizeCapture,
/// read off the window's thread) with the figures of summary_figures.txt beside the program and
/// in `configFolder`, and opens a SummaryWindow over `owner`. A click on a figure's chart opens
/// Chart Over Time on that figure (a ChartWindow of it as a derived column); a click on a top row
/// calls `showEntry`. A wrong line of a figures file is told and left out. Returns the window, or
/// nullptr after saying in a message box why there is no summary (no report, fewer than two
/// snapshots of a kind the figures are of). `window`: only its snapshots (the viewer's From and To).
SummaryWindow* showCaptureSummary(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                                  const std::string& configFolder, const QString& path, ShowEntry showEntry,
                                  const core::SnapshotWindow& window = {});

}  // namespace tarvolin::ui
