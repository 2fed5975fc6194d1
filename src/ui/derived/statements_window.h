#pragma once

#include <QString>
#include <memory>
#include <unordered_map>

#include "core/derived/derived_columns.h"
#include "core/derived/statement_groups.h"
#include "core/read/snapshot_load.h"
#include "core/series/snapshot_window.h"
#include "ui/result/result_window.h"

class QWidget;

namespace tarvolin::ui {

/// "Statements by Shape" (`frmshapes`): one row per statement shape of a Dynamic SQL report
/// with its counters summed and the derived columns on the sums, the most total execution
/// time first; or, over a window of time, the shapes' change over it (writeShapeChangeGrid),
/// `report` then being the window's last snapshot. A row's detail lists the statements of that
/// shape. It owns the report as loaded. Copying and sorting are ResultWindow's.
class StatementsWindow final : public ResultWindow {
  Q_OBJECT

 public:
  StatementsWindow(std::unique_ptr<core::LoadedSnapshot> report, core::StatementShapes shapes,
                   const std::vector<const core::DerivedColumn*>& derived, const QString& title,
                   platform::Platform& platform, QWidget* parent = nullptr, const QString& snapshotNote = {},
                   bool changes = false);
  ~StatementsWindow() override;

  /// Opens the entry detail window on the list of the statements of store row `row`'s shape.
  void showDetailOf(int row) override;

 private:
  std::unique_ptr<core::LoadedSnapshot> m_report;
  core::StatementShapes m_shapes;
  std::unordered_map<int, size_t> m_groupOfFirstRow;  ///< the hidden column's report row -> group
};

/// Loads the last snapshot of `kind` (the default: the Dynamic SQL kind) of the report at
/// `path` (with the configuration files of `configFolder`), groups its statements and opens
/// the window over `owner`; its status line says which snapshot of how many it is. With
/// `window` (the viewer's From/To) the shapes are ranked by their change from the window's
/// first snapshot to its last (groupChangesByShape), as its status line says. Returns it, or
/// nullptr after telling in a message box why there is none: the load failed, the report is
/// no Dynamic SQL snapshot, the window holds fewer than two, or the list of counters can't be read.
StatementsWindow* showStatementsByShape(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                                        const QString& path, const core::DerivedDefinitions& definitions,
                                        const core::KindChoice& kind = {}, const core::SnapshotWindow& window = {});

}  // namespace tarvolin::ui
