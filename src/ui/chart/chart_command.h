#pragma once

#include <QString>
#include <string>
#include <vector>

#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"
#include "platform/file_choosers.h"
#include "platform/platform.h"
#include "ui/chart/chart_window.h"

class QWidget;

namespace tarvolin::ui {

/// "Chart Over Time...": charts the current column of the report loaded from `path` (shown
/// by `grid`) over the snapshots
/// of its kind, the current row's entry first. The column must be a counter or a gauge of
/// counter_types.txt (found from the program's folder), or one of `derived`, the derived
/// columns the grid shows. A report of one snapshot is said to be one, and the files of
/// later snapshots are asked for. Opens a ChartWindow over `owner` and returns it, or
/// nullptr after saying in a message box why it can't chart. With `window` (the viewer's
/// From/To) only its snapshots are drawn; a window of one snapshot is said to be too short.
ChartWindow* chartOverTime(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                           const std::string& configFolder, const QString& path, const core::GridStore& grid,
                           const std::vector<const core::DerivedColumn*>& derived = {},
                           const core::SnapshotWindow& window = {});

}  // namespace tarvolin::ui
