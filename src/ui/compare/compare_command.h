#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/read/kinds_index.h"
#include "core/values/counter_types.h"
#include "platform/platform.h"
#include "ui/compare/comparison_window.h"

class QWidget;

namespace tarvolin::ui {

/// Picks the snapshots to compare from each report's snapshot times: false on Cancel.
using SnapshotPick = std::function<bool(const std::vector<std::string>& earlierTimes,
                                        const std::vector<std::string>& laterTimes, int& earlier, int& later)>;

/// Asks with a modal SnapshotChooser over `owner`.
bool chooseSnapshots(QWidget* owner, const std::vector<std::string>& earlierTimes,
                     const std::vector<std::string>& laterTimes, int& earlier, int& later);

/// Loads snapshot `earlierIndex` of `earlierPath` and `laterIndex` of `laterPath` (at once,
/// with the configuration files of `configFolder`) and compares them, leaving out the
/// columns kept for derived columns of `definitions` (its ColumnPlan). Throws
/// std::runtime_error with the text for the user when a load fails or they can't be compared.
[[nodiscard]] std::unique_ptr<ComparedSnapshots> compareReportFiles(
    const std::string& earlierPath, int earlierIndex, const std::string& laterPath, int laterIndex,
    const std::string& configFolder, const core::CounterTypes& types, const core::KindChoice& kind = {},
    const core::DerivedDefinitions* definitions = nullptr);

/// "Compare With Earlier Snapshot...": the earlier report from the file dialog (which starts
/// at `dialogPath` and leaves the chosen path there), then, when either report holds several
/// snapshots, which ones (`pick`; the earlier's first and the later's last otherwise); the
/// counters list found from the program's folder; the kinds' configuration from
/// `configFolder`. Opens a ComparisonWindow over `owner` (with the derived columns of
/// `definitions` for the later report's kind among them when `addDerived`; the columns a
/// configuration keeps for them left out either way) and returns it, or nullptr after Cancel
/// or after showing what went wrong in a message box. Both reports are read as `kind`. The
/// file dialog opens in the folder of `dialogPath` (else of the later report) with no file
/// chosen. The window opens sorted by the change of the counter `sortBy` (or by a derived
/// column in the interval), largest first (see sortByChangeOf).
ComparisonWindow* compareWithEarlier(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                     const QString& laterPath, QString& dialogPath, const core::KindChoice& kind,
                                     const SnapshotPick& pick, const core::DerivedDefinitions* definitions = nullptr,
                                     const std::string& sortBy = {}, bool addDerived = true);

/// "Compare From/To": compares snapshots `first` and `last` (from 0) of the report at `path`,
/// read as `kind`, with no file dialog; otherwise as compareWithEarlier.
ComparisonWindow* compareSnapshotsOf(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                     const QString& path, const core::KindChoice& kind, int first, int last,
                                     const core::DerivedDefinitions* definitions = nullptr,
                                     const std::string& sortBy = {}, bool addDerived = true);

}  // namespace tarvolin::ui
