#pragma once

#include <QString>
#include <memory>

#include "core/lockwait/lock_waits.h"
#include "core/read/kinds_index.h"

#include "core/read/snapshot_load.h"
#include "ui/result/result_window.h"

class QTreeView;
class QWidget;

namespace tarvolin::ui {

/// A window of who blocks whom in one report: the lock-wait tree of a lock snapshot
/// (`frmlockwaits`) or the deadlocks of an event log (`frmdeadlocks`). It owns the report as
/// loaded, so that a row's entry detail shows that report's entry whatever the main window
/// loads meanwhile. Copying and sorting are ResultWindow's.
class BlockingWindow final : public ResultWindow {
  Q_OBJECT

 public:
  BlockingWindow(const Names& names, const QString& title, std::unique_ptr<core::LoadedSnapshot> report,
                 platform::Platform& platform, QWidget* parent = nullptr);
  ~BlockingWindow() override;

  /// Opens the entry detail window on the report's entry behind store row `row`; a row
  /// with none (a holder not in the report, a missing record) is told in a message box.
  void showDetailOf(int row) override;
  [[nodiscard]] const core::LoadedSnapshot& report() const { return *m_report; }
  using ResultWindow::showGrid;

  /// Shows `waits` as an indented tree (`trvlockwaits`) in place of the grid, after
  /// showGrid(): each waiter under its holder, all branches open. Sorting then sorts siblings
  /// within their level, and "Tree Order" (`mentreeorder`) brings the first order back. The
  /// store keeps the rows in tree order; the tree's current cell is the store's, for copying
  /// and the entry detail.
  void showTree(const core::LockWaits& waits);
  /// Sorts the tree by its current column when there is one, else the grid's selection.
  void sort(core::SortOrder order) override;

 private:
  void followTreeCell(const QModelIndex& current);

  std::unique_ptr<core::LoadedSnapshot> m_report;
  QTreeView* m_tree = nullptr;
};

/// "Show Lock Waits": loads the lock snapshot at `path` (with the configuration files of
/// `configFolder`) and opens its lock-wait tree over `owner`. Returns the window, or nullptr
/// after telling in a message box why there is none: the load failed, the report is no lock
/// snapshot, or no application waits for a lock. Of a file of several snapshots the last
/// one of `kind` (by default the file's lock kind) is read, and the status line names its time.
BlockingWindow* showLockWaits(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind = {});

/// "Show Deadlocks": the same for the deadlocks of the event monitor log at `path`, read
/// from its event log kind whatever `kind` says.
BlockingWindow* showDeadlocks(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind = {});

}  // namespace tarvolin::ui
