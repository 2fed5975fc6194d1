#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "core/lockwait/lock_waits.h"
#include "core/read/kinds_index.h"

#include "core/read/snapshot_load.h"
#include "core/series/snapshot_window.h"
#include "ui/result/result_window.h"

class QListWidget;
class QTreeView;
class QWidget;

namespace tarvolin::ui {

/// One lock snapshot of a window of several, as the Lock Waits window lists it.
struct LockSnapshotWaits {
  std::string label;              ///< its time as printed, or "#N"
  core::LoadedSnapshot snapshot;  ///< as loaded
  core::LockWaits waits;          ///< found in it
  core::GridStore tree;           ///< writeLockWaitGrid of `waits`: its rows tie the tree to the entries
};

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
  /// Of a window of snapshots, a row of the blocker table shows that row.
  void showDetailOf(int row) override;
  /// The report loaded: of a window of snapshots, the one chosen in the list.
  [[nodiscard]] const core::LoadedSnapshot& report() const;
  using ResultWindow::showGrid;

  /// Shows `waits` as an indented tree (`trvlockwaits`) in place of the grid, after
  /// showGrid(): each waiter under its holder, all branches open. Sorting then sorts siblings
  /// within their level, and "Tree Order" (`mentreeorder`) brings the first order back. The
  /// store keeps the rows in tree order; the tree's current cell is the store's, for copying
  /// and the entry detail.
  void showTree(const core::LockWaits& waits);
  /// Shows a window of lock snapshots, after showGrid() over its root blockers (the store
  /// holds BlockerHistory::write's grid): the list of its snapshots (`lstsnapshots`, each
  /// with how many applications wait in it) beside the tree of the one chosen
  /// (`trvlockwaits`) over the blocker table. Snapshot `chosen` is chosen first.
  void showHistory(std::vector<LockSnapshotWaits> snapshots, int chosen);
  /// Shows the tree of snapshot `index` of the history (an index into its list).
  void chooseSnapshot(int index);
  /// Sorts the tree by its current column when there is one, else the grid's selection.
  void sort(core::SortOrder order) override;

 private:
  void followTreeCell(const QModelIndex& current);
  /// A double click on the history's tree: the chosen snapshot's entry behind it.
  void showTreeEntry(const QModelIndex& index);

  std::unique_ptr<core::LoadedSnapshot> m_report;
  QTreeView* m_tree = nullptr;
  std::vector<LockSnapshotWaits> m_history;  ///< a window of snapshots, or empty
  int m_chosen = 0;
  QListWidget* m_snapshots = nullptr;
  QTreeView* m_historyTree = nullptr;
};

/// "Show Lock Waits": loads the lock snapshot at `path` (with the configuration files of
/// `configFolder`) and opens its lock-wait tree over `owner`. Returns the window, or nullptr
/// after telling in a message box why there is none: the load failed, the report is no lock
/// snapshot, or no application waits for a lock. Of `kind` (by default the file's lock kind)
/// a file of one snapshot shows its tree; one of several, or the snapshots `window` (the
/// viewer's From/To) holds, show as a history (showHistory): the root blockers, the last
/// snapshot with waits chosen, and the status line says when the last snapshot has none.
BlockingWindow* showLockWaits(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind = {},
                              const core::SnapshotWindow& window = {});

/// "Show Deadlocks": the same for the deadlocks of the event monitor log at `path`, read
/// from its event log kind whatever `kind` says.
BlockingWindow* showDeadlocks(QWidget* owner, platform::Platform& platform, const std::string& configFolder,
                              const QString& path, const core::KindChoice& kind = {});

}  // namespace tarvolin::ui
